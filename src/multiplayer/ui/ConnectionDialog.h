#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "multiplayer/SessionService.h"
#include "shared/Rounding.h"

namespace scopewatch {

struct ProgramState;
class MessageBoxes;
class TimerClock;
class WindowFlow;

// "Scopewatch v1.0 - Connection": picks a connection type, locates the sessions reachable
// through it, joins one under a nickname and waits for the host to accept the player; then
// it closes itself and the main window opens. Locating, joining and creating the player are
// steps of the session that end later; while one waits the window goes on painting, the
// controls that would start another are disabled, and "Exit" calls it off.
class ConnectionDialog : public QWidget {
    Q_OBJECT
  public:
    ConnectionDialog(ProgramState& state, SessionService& session, MessageBoxes& messages,
                     WindowFlow& flow, const TimerClock& clock, QWidget* parent = nullptr);

    // The timers' work, callable at once.
    void WaitForAcceptance();
    void RepeatJoinNotice();

    QListWidget& connectionTypeList() { return *List1; }
    QPushButton& locateButton() { return *Command1; }
    QListWidget& sessionList() { return *List2; }
    QLineEdit& nicknameBox() { return *Text1; }
    QPushButton& joinButton() { return *Command2; }
    QPushButton& exitButton() { return *Command3; }
    QLabel& statusLabel() { return *Label5; }
    QTimer& acceptanceTimer() { return Timer1; }
    QTimer& joinNoticeTimer() { return Timer2; }
    bool joinAccepted() const { return joinAccepted_ == kTrue16; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    void FillConnectionTypes();
    void SetStatus(const char* text);
    void Reset();
    void EnableSearch();
    void FailSearch(const std::string& message, bool exclamation);
    void DisableSearch();
    void OnLocateSession();
    // Follows the session's steps: each one ended leads to the next, or to starting over.
    void OnStepChanged(SessionStep step);
    void OnSessionsListed(const std::vector<SessionInfo>& sessions);
    void OnJoinSession();
    void CreateOurPlayer();
    void OnPlayerCreated(int32_t playerId);
    void Accept();
    void Refuse();
    void OnExit();

    ProgramState& state_;
    SessionService& session_;
    MessageBoxes& messages_;
    WindowFlow& flow_;
    Flag16 joinAccepted_ = kFalse16;
    std::string nickname_;  // as typed when "Join Session" was pressed
    bool closed_ = false;

    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QListWidget* List2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* Label5 = nullptr;
    QTimer Timer1;
    QTimer Timer2;
};

}  // namespace scopewatch
