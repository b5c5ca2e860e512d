#include "mainwindow/ui/MainWindow.h"

#include <QCloseEvent>

#include "mainwindow/AirportInfo.h"
#include "mainwindow/DatabaseReset.h"
#include "mainwindow/ui/SoundPlayer.h"
#include "model/ConflictAlert.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxes.h"
#include "scope/PointerInfo.h"
#include "scope/ScopePainter.h"
#include "scope/ui/ScopeWidget.h"
#include "shared/TimerClock.h"
#include "shared/WindowFlow.h"
#include "state/ProgramState.h"

namespace scopewatch {

MainWindow::MainWindow(ProgramState& state, SessionService& session, MessageBoxes& messages,
                       WindowFlow& flow, const TimerClock& clock, QWidget* parent)
    : QWidget(parent),
      state_(state),
      messages_(messages),
      flow_(flow),
      clock_(clock),
      live_(session, state, state.traffic, state.tracks, state.notes, state.airport.magVarGrid,
            clock),
      aids_{state.aids, state.tracks, labels_, &state.notes, &selected_},
      sounds_(std::make_unique<SoundPlayer>()) {
    setWindowTitle("Scopewatch v1.0");
    BuildLayout();
    Timer1.setInterval(clock.RealMs(kReceiveIntervalMs));
    Timer2.setInterval(clock.RealMs(kRepaintIntervalMs));
    Timer3.setInterval(clock.RealMs(kRefreshIntervalMs));
    ConnectControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::ConnectControls() {
    connect(&Timer1, &QTimer::timeout, this, &MainWindow::ReceiveTick);
    connect(&Timer2, &QTimer::timeout, this, &MainWindow::RepaintTick);
    connect(&Timer3, &QTimer::timeout, this, &MainWindow::RefreshTick);
    connect(Command2, &QPushButton::clicked, this, [this] {
        CentreAndRepaint(state_.airport.currentAirport.longitude,
                         state_.airport.currentAirport.latitude);
    });
    connect(Command5, &QPushButton::clicked, this, [this] { ZoomAndRepaint(true); });
    connect(Command6, &QPushButton::clicked, this, [this] { ZoomAndRepaint(false); });
    connect(Command3, &QPushButton::clicked, this, &MainWindow::Disconnect);
    connect(Command1, &QPushButton::clicked, this, &MainWindow::SendChatLine);
    connect(Text3, &QLineEdit::returnPressed, this, &MainWindow::SendChatLine);
    connect(Picture1, &ScopeWidget::pointerPressed, this, &MainWindow::OnPointerPressed);
    connect(Picture1, &ScopeWidget::pointerReleased, this, &MainWindow::OnPointerReleased);
    connect(Picture1, &ScopeWidget::pointerMoved, this, &MainWindow::OnPointerMoved);
    connect(Picture1, &ScopeWidget::resized, this, &MainWindow::OnScopeResized);
    connect(Picture1, &ScopeWidget::wheelTurned, this, &MainWindow::OnWheel);
    for (const ToolbarButton& button : kToolbarButtons) {
        connect(&toolbarButton(button.command), &QAction::triggered, this,
                [this, command = button.command] { OnToolbarCommand(command); });
    }
}

void MainWindow::Load() {
    if (state_.mainWindowOpen != kTrue16) {
        return;
    }
    const AirportRecord& airport = state_.airport.currentAirport;
    setWindowTitle(FromAnsi("Scopewatch v1.0 - " + airport.name));
    Picture1->Draw([](DrawingSurface& surface) { surface.Cls(); });
    view_ = WorldView(Picture1->width(), Picture1->height());
    CentreAndRepaint(airport.longitude, airport.latitude);
    for (int step = kMinZoomLevel; step < kInitialZoomLevel; ++step) {
        ZoomIn(view_);
    }
    Label7->setText(FromAnsi(ZoomLabelText(view_.ZoomLevel)));
    state_.displayFlags = DisplayFlags{};
    dragging_ = false;
    Picture1->setFocus();
    Timer1.start();
    Timer2.start();
    Timer3.start();
    selection_ = SelectedAirspace{};
    live_.Start();
}

ScopeScene MainWindow::Scene() {
    return ScopeScene{view_,      state_.airport, state_.traffic, state_.displayFlags,
                      selection_, &aids_};
}

void MainWindow::Repaint() {
    Picture1->Draw([this](DrawingSurface& surface) { RepaintScope(surface, Scene()); });
}

void MainWindow::CentreAndRepaint(double longitude, double latitude) {
    Timer2.stop();
    CentreView(view_, {latitude, longitude});
    Repaint();
    Timer2.start();
}

void MainWindow::ZoomAndRepaint(bool in) {
    Timer2.stop();
    if (in ? ZoomIn(view_) : ZoomOut(view_)) {
        ShowZoom();
    }
    Repaint();
    Timer2.start();
}

void MainWindow::ShowZoom() {
    Label7->setText(FromAnsi(ZoomLabelText(view_.ZoomLevel)));
    Label7->repaint();
}

void MainWindow::ReceiveTick() {
    if (live_.leaving()) {
        return;
    }
    ReceiveTickResult tick;
    {
        const TickStopwatch stopwatch(receiveStatistics_);
        tick = live_.Receive();
        if (tick.chatChanged) {
            ShowChatHistory();
        }
    }
    PlaySounds(tick.chatChanged);
    emit trafficTicked();
    if (!tick.recordingFailure.empty()) {
        messages_.Warn(tick.recordingFailure);
    }
    if (tick.farewell) {
        LeaveWithMessage(*tick.farewell);
    }
}

void MainWindow::PlaySounds(bool chatReceived) {
    const std::vector<Conflict> conflicts = WatchedConflicts(
        state_.traffic, state_.tracks, state_.aids, state_.airport.currentAirport.altitudeFt);
    for (const SoundCue cue : cues_.Tick(state_.aids.sounds, live_.secondsInSession(),
                                         state_.traffic, chatReceived, conflicts)) {
        sounds_->Play(cue);
    }
}

void MainWindow::RepaintTick() {
    if (!live_.leaving()) {
        const TickStopwatch stopwatch(repaintStatistics_);
        Repaint();
    }
}

void MainWindow::LeaveWithMessage(const std::string& text) {
    StopTimers();
    messages_.Inform(text);
    Disconnect();
}

void MainWindow::ShowReadout(const PointerPosition& pointer) {
    const CoordinateReadout readout = ReadoutFor(pointer);
    Text1->setText(FromAnsi(readout.longitudeText));
    Text2->setText(FromAnsi(readout.latitudeText));
    Label2->setText(FromAnsi(readout.eastWest));
    Label3->setText(FromAnsi(readout.northSouth));
}

// The scope follows the window's size: the view keeps its extent and the new size is used
// from the next drawing on.
void MainWindow::OnScopeResized(QSize size) {
    if (view_.WidthPx == 0) {
        return;  // not loaded yet
    }
    view_.WidthPx = size.width();
    view_.HeightPx = size.height();
    Repaint();
}

void MainWindow::SendChatLine() {
    const Status sent = live_.Say(ToAnsi(Text3->text()));
    if (!sent.ok()) {
        // The line stays in its box, to be sent once more.
        messages_.Warn("The line could not be sent: " + sent.failure);
        return;
    }
    ShowChatHistory();
    Text3->clear();
}

void MainWindow::ShowChatHistory() {
    QString shown = FromAnsi(live_.chatText());
    shown.remove(QChar('\r'));
    RichTextBox1->setPlainText(shown);
}

void MainWindow::OnToolbarCommand(ToolbarCommand command) {
    switch (command) {
        case ToolbarCommand::GotoAirport:
            Lock(true);
            flow_.ShowAirportWindow();
            break;
        case ToolbarCommand::Options:
            Lock(true);
            flow_.ShowOptionsWindow();
            break;
        case ToolbarCommand::CreateNewDatabase:
            Lock(true);
            CreateNewDatabase();
            break;
        case ToolbarCommand::AirportGeneralInfo:
            Lock(false);
            messages_.Show(kInformationTitle, AirportGeneralInfoText(state_.airport.currentAirport),
                           MessageIcon::Information, MessageButtons::Ok);
            Unlock();
            break;
        case ToolbarCommand::About:
            Lock(true);
            flow_.ShowAboutWindow();
            break;
        case ToolbarCommand::ControllerAids:
            Lock(true);
            flow_.ShowControllerAidsWindow();
            break;
        case ToolbarCommand::TrafficList:
            flow_.ShowTrafficList();
            break;
    }
}

// Deletes both data files, leaves the session and ends the program, so that the next start
// runs setup and builds the database anew; "Cancel" gives the window back.
void MainWindow::CreateNewDatabase() {
    if (messages_.Show(kMessageTitle, kDeleteDatabaseQuestion, MessageIcon::Question,
                       MessageButtons::OkCancel) != MessageAnswer::Ok) {
        Unlock();
        return;
    }
    StopTimers();
    live_.Leave();
    DeleteDatabaseFiles(state_.workDir);
    messages_.Inform(kDatabaseDeletedMessage);
    flow_.EndProgram();
}

void MainWindow::SetControlsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{Picture1, Command1, Command2, Command5, Command6, Command3,
                                         Toolbar1, Text1, Text2, Text3}) {
        control->setEnabled(enabled);
    }
}

void MainWindow::StopTimers() {
    Timer1.stop();
    Timer2.stop();
    Timer3.stop();
}

void MainWindow::Lock(bool windowToo) {
    locked_ = true;
    SetControlsEnabled(false);
    live_.Lock();
    Timer1.stop();
    Timer2.stop();
    if (windowToo) {
        setEnabled(false);
        waitingForChild_ = true;
    }
}

void MainWindow::Unlock() {
    if (!live_.Unlock()) {
        return;
    }
    waitingForChild_ = false;
    locked_ = false;
    setEnabled(true);
    SetControlsEnabled(true);
    if (!clock_.held()) {
        Timer1.start();
    }
    Timer2.start();
}

void MainWindow::AirportChanged() {
    Unlock();
    setWindowTitle(FromAnsi("Scopewatch v1.0 - " + state_.airport.currentAirport.name));
    CentreAndRepaint(state_.airport.currentAirport.longitude,
                     state_.airport.currentAirport.latitude);
}

void MainWindow::Disconnect() {
    if (!live_.left()) {
        Command3->setText("PLEASE WAIT...");
        Command3->repaint();
        // The window is done: no tick of it runs from here on.
        StopTimers();
        live_.Leave();
        emit trafficTicked();
        flow_.ShowConnectionDialog();
    }
    close();
}

void MainWindow::CentreOn(double latitude, double longitude) {
    CentreAndRepaint(longitude, latitude);
}

void MainWindow::FollowClock() {
    Timer1.setInterval(clock_.RealMs(kReceiveIntervalMs));
    Timer2.setInterval(clock_.RealMs(kRepaintIntervalMs));
    Timer3.setInterval(clock_.RealMs(kRefreshIntervalMs));
    if (live_.leaving() || view_.WidthPx == 0) {
        return;  // done, or not loaded yet
    }
    if (clock_.held()) {
        Timer1.stop();
        Timer3.stop();
        return;
    }
    if (!Timer3.isActive()) {
        Timer3.start();
    }
    if (!Timer1.isActive() && !locked_) {
        Timer1.start();
    }
}

void MainWindow::Rerun(int seconds) {
    if (live_.leaving()) {
        return;
    }
    const ReceiveTickResult rerun = live_.Rerun(seconds);
    if (rerun.chatChanged) {
        ShowChatHistory();
    }
    if (Timer3.isActive()) {
        Timer3.start();
    }
    Repaint();
    emit trafficTicked();
    if (rerun.farewell) {
        LeaveWithMessage(*rerun.farewell);
    }
}

// While a child window ("Goto Airport", "Options", "About") or the "Create New Database"
// question is open, the main window waits for it and does not close: the child gives it back
// first.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (waitingForChild_ && !live_.left()) {
        event->ignore();
        return;
    }
    event->accept();
    if (!live_.left()) {
        Disconnect();
    }
}

}  // namespace scopewatch
