#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <string>

#include "builder/DatabaseBuild.h"

namespace scopewatch {

struct ProgramState;
class FileSystem;
class MessageBoxes;
class WindowFlow;

// "Creating Database": finds the scenery folders one second after it opens, then, when the
// user presses "CREATE ATC DATABASE FILE", examines one scenery file per 5 ms tick, writes
// world_airports.dat, completes the settings file and hands over to the airport window.
class BuilderWindow : public QWidget {
    Q_OBJECT
  public:
    BuilderWindow(ProgramState& state, const FileSystem& files, MessageBoxes& messages,
                  WindowFlow& flow, QWidget* parent = nullptr);

    // The timers' work, callable at once (tests need not wait for the intervals).
    void RunDiscoveryTick();
    void RunBuildTick();

    QTimer& discoveryTimer() { return Read_Sceneries_Paths; }
    QTimer& buildTimer() { return Read_All_Airports; }
    QPushButton& createButton() { return *Command2; }
    QLineEdit& statusText() { return *Text1; }
    QProgressBar& progressBar() { return *ProgressBar1; }
    const DatabaseBuild& build() const { return build_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    void SetStatus(const std::string& text);
    void OnCreatePressed();
    void RunFinalStep();

    MessageBoxes& messages_;
    WindowFlow& flow_;
    DatabaseBuild build_;
    bool finished_ = false;

    QTimer Read_Sceneries_Paths;
    QTimer Read_All_Airports;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* Command2 = nullptr;
};

}  // namespace scopewatch
