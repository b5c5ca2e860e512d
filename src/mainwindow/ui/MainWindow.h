#pragma once

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "multiplayer/MessageIntake.h"
#include "scope/LabelPlacement.h"
#include "scope/ScopeScene.h"
#include "scope/ScopeView.h"
#include "scope/SelectedAirspace.h"
#include "shared/Rounding.h"
#include "shared/TickStatistics.h"

namespace scopewatch {

struct ProgramState;
class MessageBoxes;
class SessionService;
class TimerClock;
class WindowFlow;
class ScopeWidget;

// "Scopewatch v1.0 - <airport>": the controller's radar display while joined to a session.
// The scope with its view controls and coordinate read-out, the chat, the toolbar and the
// disconnect button. Three timers drive it: message intake (1 s), repaint (1 s) and the
// traffic refresh (30 s).
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    MainWindow(ProgramState& state, SessionService& session, MessageBoxes& messages,
               WindowFlow& flow, const TimerClock& clock, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The window's load, once it is shown (the scope is measured here). Does nothing unless
    // the connection dialog has set mainWindowOpen.
    void Load();

    // Makes the window unusable while a command or a child window runs: the scope, the
    // buttons, the toolbar and the text boxes are disabled and the intake and repaint timers
    // stop; with windowToo the window itself is disabled as well. Unlock gives it all back.
    void Lock(bool windowToo);
    void Unlock();
    // After "GET AIRPORT" from "Goto Airport": the window is given back with the new
    // airport's name as caption and the view centred on it at the same zoom.
    void AirportChanged();
    // "> Disconnect" (and closing the window): leaves the session and hands over to the
    // connection dialog.
    void Disconnect();
    // Centres the scope on the position at the present zoom (the traffic list's double-click).
    void CentreOn(double latitude, double longitude);

    // The timers' work, callable at once.
    void ReceiveTick();
    void RepaintTick();
    void RefreshTick();

    ScopeWidget& scope() { return *Picture1; }
    QToolBar& toolbar() { return *Toolbar1; }
    QAction& toolbarButton(int index) {
        return *toolbarButtons_.at(static_cast<size_t>(index - 1));
    }
    QPushButton& centerButton() { return *Command2; }
    QPushButton& zoomInButton() { return *Command5; }
    QPushButton& zoomOutButton() { return *Command6; }
    QPushButton& disconnectButton() { return *Command3; }
    QPushButton& sendButton() { return *Command1; }
    QLineEdit& longitudeBox() { return *Text1; }
    QLineEdit& latitudeBox() { return *Text2; }
    QLineEdit& chatInput() { return *Text3; }
    QTextEdit& chatHistory() { return *RichTextBox1; }
    QLabel& eastWestLabel() { return *Label2; }
    QLabel& northSouthLabel() { return *Label3; }
    QLabel& zoomLabel() { return *Label7; }
    QTimer& receiveTimer() { return Timer1; }
    QTimer& repaintTimer() { return Timer2; }
    QTimer& refreshTimer() { return Timer3; }
    const ScopeView& view() const { return view_; }
    const SelectedAirspace& selection() const { return selection_; }
    const MessageIntake& intake() const { return intake_; }
    const LabelPlacer& labels() const { return labels_; }
    // How many receive and repaint ticks ran and how long they took (a receive tick's time
    // is the intake's: the messages, the table and the chat, without any message box).
    const TickStatistics& receiveStatistics() const { return receiveStatistics_; }
    const TickStatistics& repaintStatistics() const { return repaintStatistics_; }
    const std::string& chatText() const { return chatHistory_; }
    bool dragging() const { return scopeDragActive_ == kTrue16; }

  signals:
    // An intake tick has brought the traffic up to date (or the session ended and it is gone).
    void trafficTicked();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    void ConnectControls();
    QWidget* BuildSidePanel();
    QWidget* BuildViewControls();
    QWidget* BuildChat();

    ScopeScene Scene();
    void Repaint();
    void CentreAndRepaint(double longitude, double latitude);
    void ZoomAndRepaint(bool in);
    void OnPointerPressed(Qt::MouseButton button, QPointF pixel);
    void OnPointerReleased(Qt::MouseButton button, QPointF pixel);
    void OnPointerMoved(QPointF pixel);
    void OnScopeResized(QSize size);
    void ShowReadout(const PointerPosition& pointer);
    void SendChatLine();
    // Puts lines that arrived together on top of the history, the last one topmost.
    void AddChatLines(const std::vector<std::string>& lines);
    void OnToolbarButton(int index);
    void CreateNewDatabase();
    void LeaveWithMessage(const char* text);
    void StopTimers();
    void SetControlsEnabled(bool enabled);

    ProgramState& state_;
    SessionService& session_;
    MessageBoxes& messages_;
    WindowFlow& flow_;
    const TimerClock& clock_;
    MessageIntake intake_;
    ScopeView view_;
    SelectedAirspace selection_;
    LabelPlacer labels_;
    ScopeAids aids_;
    // Seconds since the window opened: one an intake tick, and the time it stood locked (the
    // pilots fly on meanwhile, and their motion is judged by this time).
    double secondsInSession_ = 0.0;
    QElapsedTimer lockedSince_;  // valid while a lock holds the intake back
    Flag16 scopeDragActive_ = kFalse16;
    std::string chatHistory_;
    bool leaving_ = false;
    bool waitingForChild_ = false;
    TickStatistics receiveStatistics_;
    TickStatistics repaintStatistics_;

    ScopeWidget* Picture1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    std::array<QAction*, 7> toolbarButtons_{};
    QPushButton* Command2 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label7 = nullptr;
    QTimer Timer1;
    QTimer Timer2;
    QTimer Timer3;
};

}  // namespace scopewatch
