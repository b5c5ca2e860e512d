#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <vector>

#include "platform/FileSystem.h"
#include "shared/Rounding.h"

namespace scopewatch {

struct ProgramState;
class MessageBoxes;
class WindowFlow;

// "Completing setup - settings": asks for the simulator's folder and writes the settings file.
class SetupDialog : public QWidget {
    Q_OBJECT
  public:
    SetupDialog(ProgramState& state, MessageBoxes& messages, WindowFlow& flow,
                std::vector<Drive> drives, QWidget* parent = nullptr);

    QLineEdit& folderText() { return *Text1; }
    QPushButton& nextButton() { return *Command1; }
    QListWidget& folderList() { return *Dir1; }
    QComboBox& driveList() { return *Drive1; }
    bool setupFinished() const { return setupFinished_ == kTrue16; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    void SelectWorkingDirectory();
    void OnDriveChanged(int index);
    void OnFolderActivated(QListWidgetItem* item);
    void ShowFolder(const QString& path);
    void OnNextStep();

    ProgramState& state_;
    MessageBoxes& messages_;
    WindowFlow& flow_;
    std::vector<Drive> drives_;
    Flag16 setupFinished_ = kFalse16;
    QString currentFolder_;

    QRadioButton* Option1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* currentDirectoryLabel_ = nullptr;
    QListWidget* Dir1 = nullptr;
    QComboBox* Drive1 = nullptr;
    QPushButton* Command1 = nullptr;
};

}  // namespace scopewatch
