#pragma once

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "mainwindow/LiveSession.h"
#include "mainwindow/SoundCues.h"
#include "mainwindow/ToolbarCommand.h"
#include "scope/LabelPlacement.h"
#include "scope/PointerGestures.h"
#include "scope/ScopeScene.h"
#include "scope/ScopeView.h"
#include "scope/SelectedAirspace.h"
#include "shared/TickStatistics.h"

namespace scopewatch {

struct ProgramState;
class MessageBoxes;
class SessionService;
class TimerClock;
class WindowFlow;
class ScopeWidget;
class SoundPlayer;

// "Scopewatch v1.0 - <airport>": the controller's radar display while joined to a session.
// The scope with its view controls and coordinate read-out, the chat, the toolbar and the
// disconnect button. Three timers drive the running session (LiveSession) and the scope:
// message intake (1 s), repaint (1 s) and the traffic refresh (30 s). Over the scope a drag
// measures, a click selects an aircraft (or ends the selection), the wheel zooms about the
// pointer and the keys move and zoom the view.
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
    // Selects the aircraft of that name ("" ends the selection) and repaints.
    void Select(const std::string& name);
    const std::string& selectedAircraft() const { return selected_; }
    // The clock's pace changed or it is held (a replay): the timers take the new intervals;
    // while it is held the intake and the refresh stand still, and the repaint goes on.
    void FollowClock();
    // Runs the session through `seconds` of its time at once and shows where it then stands
    // (a replay that jumped); the refresh's 30 seconds start anew.
    void Rerun(int seconds);

    // The timers' work, callable at once.
    void ReceiveTick();
    void RepaintTick();
    void RefreshTick() { live_.Refresh(); }

    ScopeWidget& scope() { return *Picture1; }
    QToolBar& toolbar() { return *Toolbar1; }
    QAction& toolbarButton(ToolbarCommand command) {
        return *toolbarButtons_.at(static_cast<size_t>(command));
    }
    QPushButton& centerButton() { return *Command2; }
    QPushButton& zoomInButton() { return *Command5; }
    QPushButton& zoomOutButton() { return *Command6; }
    QPushButton& disconnectButton() { return *Command3; }
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
    const LabelPlacer& labels() const { return labels_; }
    const LiveSession& session() const { return live_; }
    // How many receive and repaint ticks ran and how long they took (a receive tick's time
    // is the intake's and the history box's: the messages, the table and the chat, without
    // any message box).
    const TickStatistics& receiveStatistics() const { return receiveStatistics_; }
    const TickStatistics& repaintStatistics() const { return repaintStatistics_; }

  signals:
    // An intake tick has brought the traffic up to date (or the session ended and it is gone).
    void trafficTicked();
    // The user selected an aircraft on the scope, or ended the selection ("").
    void aircraftSelected(const std::string& name);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

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
    void ZoomAboutAndRepaint(int notches, QPointF pixel);
    void PanAndRepaint(int quartersRight, int quartersDown);
    void ShowZoom();
    void PlaySounds(bool chatReceived);
    void OnPointerPressed(Qt::MouseButton button, QPointF pixel);
    void OnPointerReleased(Qt::MouseButton button, QPointF pixel);
    void OnPointerMoved(QPointF pixel);
    void OnWheel(int angleDelta, QPointF pixel);
    void OnScopeResized(QSize size);
    void ShowReadout(const PointerPosition& pointer);
    void SendChatLine();
    void ShowChatHistory();
    void OnToolbarCommand(ToolbarCommand command);
    void CreateNewDatabase();
    void LeaveWithMessage(const std::string& text);
    void StopTimers();
    void SetControlsEnabled(bool enabled);

    ProgramState& state_;
    MessageBoxes& messages_;
    WindowFlow& flow_;
    const TimerClock& clock_;
    LiveSession live_;
    ScopeView view_;
    SelectedAirspace selection_;
    LabelPlacer labels_;
    std::string selected_;  // the selected aircraft's name
    ScopeAids aids_;
    bool dragging_ = false;  // the left button is held on the scope: a measuring drag
    ClickOrDrag leftButton_;
    WheelNotches wheel_;
    SoundCues cues_;
    std::unique_ptr<SoundPlayer> sounds_;
    bool waitingForChild_ = false;
    bool locked_ = false;  // a command or a child window runs: the intake waits
    TickStatistics receiveStatistics_;
    TickStatistics repaintStatistics_;

    ScopeWidget* Picture1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    std::array<QAction*, kToolbarButtons.size()> toolbarButtons_{};
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
