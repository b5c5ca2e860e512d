#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <string>

#include "bgl/FileBuffer.h"
#include "shared/Rounding.h"

namespace scopewatch {

struct ProgramState;
class FileSystem;
class MessageBoxes;
class WindowFlow;

// "Scopewatch v1.0 - Airport Area": loads the variation grid and the whole airport database
// one second after it opens, searches the airports by name and takes the chosen one over
// with "GET AIRPORT".
class AirportWindow : public QWidget {
    Q_OBJECT
  public:
    AirportWindow(ProgramState& state, const FileSystem& files, MessageBoxes& messages,
                  WindowFlow& flow, QWidget* parent = nullptr);

    // The loading timer's work, callable at once.
    void RunLoadingTick();

    QTimer& loadingTimer() { return Timer1; }
    QLineEdit& searchText() { return *Text1; }
    QPushButton& searchButton() { return *Command1; }
    QPushButton& getAirportButton() { return *Command3; }
    QPushButton& exitButton() { return *Command2; }
    QListWidget& resultList() { return *List1; }
    QLineEdit& statusText() { return *Text2; }
    QProgressBar& progressBar() { return *ProgressBar1; }
    bool airportChosen() const { return airportChosen_ == kTrue16; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    void SetStatus(const std::string& text);
    void SetControlsEnabled(bool enabled);
    std::string LoadMagVars();
    std::string ReadAirportDatabase();
    void ReleaseDatabase();
    void OnSearch();
    void OnGetAirport();
    void LookForAirspaces();
    void OnExit();

    ProgramState& state_;
    const FileSystem& files_;
    MessageBoxes& messages_;
    WindowFlow& flow_;
    Flag16 airportChosen_ = kFalse16;
    bool closed_ = false;
    FileBuffer fileBuffer_;

    QTimer Timer1;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
};

}  // namespace scopewatch
