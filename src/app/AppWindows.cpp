#include "app/AppWindows.h"

#include <QCoreApplication>
#include <QScreen>
#include <QSettings>
#include <algorithm>

#include "airport/ui/AirportWindow.h"
#include "builder/ui/BuilderWindow.h"
#include "mainwindow/ControllerAidsStore.h"
#include "mainwindow/ui/AboutWindow.h"
#include "mainwindow/ui/ControllerAidsWindow.h"
#include "mainwindow/ui/MainWindow.h"
#include "mainwindow/ui/OptionsWindow.h"
#include "mainwindow/ui/TrafficListWindow.h"
#include "multiplayer/ConnectionSteps.h"
#include "multiplayer/SessionService.h"
#include "multiplayer/ui/ConnectionDialog.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "replay/ReplaySession.h"
#include "replay/SessionChoice.h"
#include "replay/ui/ReplayWindow.h"
#include "startup/StartupCheck.h"
#include "startup/ui/SetupDialog.h"
#include "startup/ui/SplashWindow.h"
#include "state/ProgramState.h"

namespace scopewatch {

namespace {

// Where a window of that size stands beside the main window: to its right where the screen has
// room, else below it, else at the screen's right edge.
QPoint BesideOnScreen(const QWidget& main, QSize size) {
    const QRect frame = main.frameGeometry();
    const QRect screen = main.screen()->availableGeometry();
    const QPoint right = frame.topRight() + QPoint(8, 0);
    if (screen.contains(QRect(right, size))) {
        return right;
    }
    const QPoint below = frame.bottomLeft() + QPoint(0, 8);
    if (screen.contains(QRect(below, size))) {
        return below;
    }
    return QPoint(std::max(screen.left(), screen.right() - size.width()), frame.top());
}

}  // namespace

AppWindows::AppWindows(ProgramState& state, MessageBoxes& messages, FileSystem& files,
                       SessionService& session, TimerClock& clock)
    : state_(state),
      messages_(messages),
      files_(files),
      session_(session),
      clock_(clock),
      retired_(messages) {}

AppWindows::~AppWindows() = default;

template <typename Window>
void AppWindows::Retire(std::unique_ptr<Window>& window) {
    retired_.Add(std::move(window));
}

void AppWindows::Start() {
    QSettings preferences;
    state_.aids = LoadControllerAids(preferences);
    splash_ = std::make_unique<SplashWindow>(
        [this] { RunStartupCheck(state_, state_, messages_, files_, *this); });
    splash_->show();
}

void AppWindows::CloseSplash() {
    if (splash_) {
        splash_->hide();
        Retire(splash_);
    }
}

void AppWindows::ShowSetupDialog() {
    CloseSplash();
    setup_ = std::make_unique<SetupDialog>(state_, messages_, *this, files_.drives());
    setup_->show();
}

void AppWindows::ShowBuilderWindow() {
    CloseSplash();
    builder_ = std::make_unique<BuilderWindow>(state_, files_, messages_, *this);
    builder_->show();
}

void AppWindows::ShowAirportWindow() {
    CloseSplash();
    Retire(airport_);
    airport_ = std::make_unique<AirportWindow>(state_, files_, messages_, *this);
    airport_->show();
}

void AppWindows::AirportTaken() {
    if (state_.mainWindowOpen == kTrue16 && main_) {
        main_->AirportChanged();
    } else {
        ShowConnectionDialog();
    }
}

void AppWindows::ShowConnectionDialog() {
    EndReplay();
    Retire(connection_);
    Retire(main_);
    connection_ = std::make_unique<ConnectionDialog>(state_, session_, messages_, *this, clock_);
    connection_->show();
}

void AppWindows::ShowMainWindow() {
    Retire(connection_);
    Retire(main_);
    main_ = std::make_unique<MainWindow>(state_, session_, messages_, *this, clock_);
    connect(main_.get(), &MainWindow::trafficTicked, this, [this] {
        if (trafficList_) {
            trafficList_->Refresh();
        }
    });
    connect(main_.get(), &MainWindow::aircraftSelected, this, [this](const std::string& name) {
        if (trafficList_) {
            trafficList_->ShowSelection(name);
        }
    });
    if (trafficList_) {
        trafficList_->ShowSelection("");
    }
    main_->show();
    main_->Load();
    ShowReplayWindow();
}

void AppWindows::ShowReplayWindow() {
    replay::ReplaySession* played = replay::PlayedReplay(session_);
    if (played == nullptr || !played->playing() || !main_) {
        return;
    }
    MainWindow* main = main_.get();
    replayWindow_ = std::make_unique<replay::ReplayWindow>(
        *played,
        replay::ReplayPlayback::MainWindowCalls{[main] { main->FollowClock(); },
                                                [main](int seconds) { main->Rerun(seconds); }},
        clock_);
    replayWindow_->move(BesideOnScreen(*main, replayWindow_->frameGeometry().size()));
    replayWindow_->show();
}

// The replay is over: the clock goes back to the program's own pace, and the window goes once
// none of its code can be on the stack (a jump may have played the recording to its end).
void AppWindows::EndReplay() {
    if (replayWindow_) {
        replayWindow_->Release();
        Retire(replayWindow_);
    }
}

void AppWindows::ShowOptionsWindow() {
    Retire(options_);
    options_ = std::make_unique<OptionsWindow>(state_, *this);
    options_->show();
}

void AppWindows::ShowAboutWindow() {
    Retire(about_);
    about_ = std::make_unique<AboutWindow>(state_, *this);
    about_->show();
}

void AppWindows::ShowControllerAidsWindow() {
    Retire(aids_);
    aids_ = std::make_unique<ControllerAidsWindow>(state_, *this);
    aids_->show();
}

// One traffic list for the run: opened again, it comes to the front.
void AppWindows::ShowTrafficList() {
    if (!trafficList_) {
        trafficList_ = std::make_unique<TrafficListWindow>(state_);
        connect(trafficList_.get(), &TrafficListWindow::aircraftChosen, this,
                [this](double latitude, double longitude) {
                    if (main_) {
                        main_->CentreOn(latitude, longitude);
                    }
                });
        connect(trafficList_.get(), &TrafficListWindow::aircraftSelected, this,
                [this](const std::string& name) {
                    if (main_) {
                        main_->Select(name);
                    }
                });
    }
    trafficList_->Refresh();
    trafficList_->ShowSelection(main_ ? main_->selectedAircraft() : std::string());
    trafficList_->show();
    trafficList_->raise();
}

void AppWindows::ReturnToMainWindow() {
    if (main_) {
        main_->Unlock();
    }
}

// No way out of the program leaves our player in the session: it leaves first, and the
// program ends once the session's last messages are out.
void AppWindows::EndProgram() {
    if (ended_) {
        return;
    }
    ended_ = true;
    EndReplay();
    if (state_.myPlayerId > 0 || state_.isConnected == kTrue16) {
        LeaveSession(session_, state_, state_.traffic);
    }
    if (session_.closing()) {
        connect(&session_, &SessionService::closed, this, &AppWindows::Quit);
        return;
    }
    Quit();
}

void AppWindows::Quit() {
    quitting_ = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

}  // namespace scopewatch
