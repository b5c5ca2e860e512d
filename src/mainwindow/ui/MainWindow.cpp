#include "mainwindow/ui/MainWindow.h"

#include <QCloseEvent>

#include "mainwindow/AirportInfo.h"
#include "mainwindow/DatabaseReset.h"
#include "multiplayer/Chat.h"
#include "multiplayer/ConnectionSteps.h"
#include "multiplayer/GameMessages.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxes.h"
#include "scope/PointerInfo.h"
#include "scope/ScopePainter.h"
#include "scope/ui/ScopeWidget.h"
#include "shared/TimerClock.h"
#include "shared/WindowFlow.h"
#include "state/ProgramState.h"

namespace scopewatch {
namespace {

constexpr int kReceiveIntervalMs = 1000;
constexpr int kRepaintIntervalMs = 1000;
constexpr int kRefreshIntervalMs = 30000;

}  // namespace

MainWindow::MainWindow(ProgramState& state, SessionService& session, MessageBoxes& messages,
                       WindowFlow& flow, const TimerClock& clock, QWidget* parent)
    : QWidget(parent),
      state_(state),
      session_(session),
      messages_(messages),
      flow_(flow),
      clock_(clock),
      intake_(session, state, state.traffic, state.airport.magVarGrid),
      aids_{state.aids, state.tracks, labels_} {
    setWindowTitle("Scopewatch v1.0");
    BuildLayout();
    Timer1.setInterval(clock_.RealMs(kReceiveIntervalMs));
    Timer2.setInterval(clock_.RealMs(kRepaintIntervalMs));
    Timer3.setInterval(clock_.RealMs(kRefreshIntervalMs));
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
    for (int index = 1; index <= static_cast<int>(toolbarButtons_.size()); ++index) {
        connect(&toolbarButton(index), &QAction::triggered, this,
                [this, index] { OnToolbarButton(index); });
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
    scopeDragActive_ = kFalse16;
    Timer1.start();
    Timer2.start();
    Timer3.start();
    intake_.ResetWatchdog();
    selection_ = SelectedAirspace{};
    try {
        session_.SendToAll(state_.myPlayerId, MakeSignal(kinds::kIdentifyRequest));
    } catch (const SessionError&) {
        // The refresh asks again in 30 seconds; a link that broke shows through the watchdog.
    }
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
        Label7->setText(FromAnsi(ZoomLabelText(view_.ZoomLevel)));
        Label7->repaint();
    }
    Repaint();
    Timer2.start();
}

void MainWindow::ReceiveTick() {
    if (leaving_) {
        return;
    }
    IntakeEnd end = IntakeEnd::Normal;
    {
        const TickStopwatch stopwatch(receiveStatistics_);
        // The lines of a tick go into the history box together: laying the box out once per
        // line would make a busy chat cost the tick seconds.
        std::vector<std::string> lines;
        end = intake_.ReceiveMessages([&lines](const std::string& line) { lines.push_back(line); });
        AddChatLines(lines);
        secondsInSession_ += 1.0;
        state_.tracks.Record(state_.traffic, secondsInSession_);
    }
    emit trafficTicked();
    if (end == IntakeEnd::ConnectionLost) {
        LeaveWithMessage(kConnectionLostMessage);
    } else if (end == IntakeEnd::RemovedByHost) {
        LeaveWithMessage(kRemovedByHostMessage);
    }
}

void MainWindow::RepaintTick() {
    if (!leaving_) {
        const TickStopwatch stopwatch(repaintStatistics_);
        Repaint();
    }
}

void MainWindow::RefreshTick() {
    if (!leaving_) {
        intake_.RefreshTraffic();
    }
}

void MainWindow::LeaveWithMessage(const char* text) {
    StopTimers();
    messages_.Inform(text);
    Disconnect();
}

void MainWindow::OnPointerPressed(Qt::MouseButton button, QPointF pixel) {
    const PointerPosition pointer = PointerAt(view_, pixel.x(), pixel.y());
    if (button == Qt::LeftButton) {
        view_.DragAnchorLat = pointer.latitude;
        view_.DragAnchorLon = pointer.longitude;
        scopeDragActive_ = kTrue16;
        Timer2.stop();
    } else if (button == Qt::RightButton) {
        CentreAndRepaint(pointer.longitude, pointer.latitude);
    }
}

void MainWindow::OnPointerReleased(Qt::MouseButton button, QPointF /*pixel*/) {
    if (button != Qt::LeftButton) {
        return;
    }
    view_.DragAnchorLat = 0.0;
    view_.DragAnchorLon = 0.0;
    scopeDragActive_ = kFalse16;
    Timer2.start();
}

void MainWindow::OnPointerMoved(QPointF pixel) {
    if (!Picture1->tipText().empty()) {
        Picture1->SetTipText("");
    }
    if (selection_.Exists()) {
        selection_ = SelectedAirspace{};
    }
    const PointerPosition pointer = PointerAt(view_, pixel.x(), pixel.y());
    ShowReadout(pointer);
    if (scopeDragActive_ == kFalse16 && Timer2.isActive()) {
        const HoverInfo info = HoverInfoAt(Scene(), pointer);
        if (info.selection.Exists()) {
            selection_ = info.selection;
        }
        if (!info.text.empty()) {
            Picture1->SetTipText(info.text);
        }
    }
    if (scopeDragActive_ == kTrue16) {
        Picture1->Draw(
            [&](DrawingSurface& surface) { DrawMeasuringLine(surface, Scene(), pointer); });
    }
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
    try {
        if (const auto line = SendChat(session_, state_, ToAnsi(Text3->text()))) {
            AddChatLines({*line});
        }
    } catch (const SessionError& error) {
        messages_.Warn(std::string("The line could not be sent: ") + error.what());
        return;
    }
    Text3->clear();
}

void MainWindow::AddChatLines(const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return;
    }
    chatHistory_ = PrependChatLines(chatHistory_, lines);
    QString shown = FromAnsi(chatHistory_);
    shown.remove(QChar('\r'));
    RichTextBox1->setPlainText(shown);
}

void MainWindow::OnToolbarButton(int index) {
    switch (index) {
        case 1:
            Lock(true);
            flow_.ShowAirportWindow();
            break;
        case 2:
            Lock(true);
            flow_.ShowOptionsWindow();
            break;
        case 3:
            Lock(true);
            CreateNewDatabase();
            break;
        case 4:
            Lock(false);
            messages_.Show(kInformationTitle, AirportGeneralInfoText(state_.airport.currentAirport),
                           MessageIcon::Information, MessageButtons::Ok);
            Unlock();
            break;
        case 5:
            Lock(true);
            flow_.ShowAboutWindow();
            break;
        case 6:
            Lock(true);
            flow_.ShowControllerAidsWindow();
            break;
        case 7:
            flow_.ShowTrafficList();
            break;
        default:
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
    leaving_ = true;
    StopTimers();
    DeleteDatabaseFiles(state_.workDir);
    LeaveSession(session_, state_, state_.traffic);
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
    SetControlsEnabled(false);
    if (Timer1.isActive()) {
        lockedSince_.start();
    }
    Timer1.stop();
    Timer2.stop();
    if (windowToo) {
        setEnabled(false);
        waitingForChild_ = true;
    }
}

void MainWindow::Unlock() {
    if (leaving_) {
        return;
    }
    waitingForChild_ = false;
    setEnabled(true);
    SetControlsEnabled(true);
    if (lockedSince_.isValid()) {
        secondsInSession_ +=
            static_cast<double>(lockedSince_.elapsed()) * clock_.speedUp() / 1000.0;
        lockedSince_.invalidate();
    }
    Timer1.start();
    Timer2.start();
}

void MainWindow::AirportChanged() {
    Unlock();
    setWindowTitle(FromAnsi("Scopewatch v1.0 - " + state_.airport.currentAirport.name));
    CentreAndRepaint(state_.airport.currentAirport.longitude,
                     state_.airport.currentAirport.latitude);
}

void MainWindow::Disconnect() {
    if (!leaving_) {
        leaving_ = true;
        Command3->setText("PLEASE WAIT...");
        Command3->repaint();
        // The window is done: no tick of it runs from here on.
        StopTimers();
        LeaveSession(session_, state_, state_.traffic);
        state_.tracks.Clear();
        emit trafficTicked();
        flow_.ShowConnectionDialog();
    }
    close();
}

// While a child window ("Goto Airport", "Options", "About") or the "Create New Database"
// question is open, the main window waits for it and does not close: the child gives it back
// first.
void MainWindow::CentreOn(double latitude, double longitude) {
    CentreAndRepaint(longitude, latitude);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (waitingForChild_ && !leaving_) {
        event->ignore();
        return;
    }
    event->accept();
    if (!leaving_) {
        Disconnect();
    }
}

}  // namespace scopewatch
