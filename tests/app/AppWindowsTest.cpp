// The windows against a scripted session: the main window locked while a toolbar window or a
// box is up, and the hand-offs between windows while message boxes are up: a window handed
// over inside a box's event loop lives until the code that opened the box has returned, and
// no way out of the program leaves our player in the session. Run under the address sanitizer
// by the test command, where a window freed too early is an error on the spot.

#include <gtest/gtest.h>

#include <QPointer>

#include "airport/ui/AirportWindow.h"
#include "app/AppWindows.h"
#include "mainwindow/DatabaseReset.h"
#include "mainwindow/ui/AboutWindow.h"
#include "mainwindow/ui/ControllerAidsWindow.h"
#include "mainwindow/ui/MainWindow.h"
#include "mainwindow/ui/OptionsWindow.h"
#include "mainwindow/ui/TrafficListWindow.h"
#include "multiplayer/ConnectionSteps.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/MessageIntake.h"
#include "multiplayer/ui/ConnectionDialog.h"
#include "platform/FileSystem.h"
#include "scope/ui/ScopeWidget.h"
#include "shared/TimerClock.h"
#include "state/ProgramState.h"
#include "support/Clicks.h"
#include "support/InMemorySession.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SpinEventLoop.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

using testing::Click;
using testing::ClickRow;
using testing::SpinUntil;
constexpr int32_t kHostPilot = 7;

// A session that lets a test look at the windows while our player leaves.
class WatchedSession : public InMemorySession {
  public:
    std::function<void()> onDestroy;
    void DestroyPlayer(int32_t playerId) override {
        if (onDestroy) {
            onDestroy();
        }
        InMemorySession::DestroyPlayer(playerId);
    }
};

class AppWindowsTest : public ::testing::Test {
  protected:
    AppWindowsTest() {
        state.workDir = dir.path();
        state.airport.currentAirport.name = "Eldorado Intl";
        state.airport.currentAirport.icaoId = "KELD";
        state.airport.currentAirport.towerFreq = "118.5";
        state.airport.currentAirport.latitude = 36.42;
        state.airport.currentAirport.longitude = -97.0;
        session.sessions = {{"Sunday Fly-in", 3, 8}};
        session.AddPeer(kHostPilot, "N172SP");
        session.hostPlayers = {kHostPilot};
    }

    // Joins through the connection dialog; the host accepts at once.
    void JoinAndOpenTheMainWindow() {
        windows.ShowConnectionDialog();
        ConnectionDialog& dialog = *windows.connectionDialog();
        ClickRow(dialog.connectionTypeList(), 0);
        Click(dialog.locateButton());
        ASSERT_TRUE(SpinUntil([&] { return dialog.sessionList().count() == 1; }, 2000));
        ClickRow(dialog.sessionList(), 0);
        Click(dialog.joinButton());
        ASSERT_TRUE(SpinUntil([&] { return state.myPlayerId > 0; }, 2000));
        session.Deliver(kHostPilot, MakePlayerPresent(state.myPlayerId));
        ASSERT_TRUE(SpinUntil([&] { return windows.mainWindow() != nullptr; }, 2000));
    }
    void Press(ToolbarCommand command) {
        MainWindow& main = *windows.mainWindow();
        QTest::mouseClick(main.toolbar().widgetForAction(&main.toolbarButton(command)),
                          Qt::LeftButton);
    }
    // Locked: everything disabled (the window too when asked) and only the refresh running.
    bool Locked(bool windowToo) {
        MainWindow& main = *windows.mainWindow();
        return main.isEnabled() != windowToo && !main.scope().isEnabled() &&
               !main.toolbar().isEnabled() && !main.chatInput().isEnabled() &&
               !main.disconnectButton().isEnabled() && !main.receiveTimer().isActive() &&
               !main.repaintTimer().isActive() && main.refreshTimer().isActive();
    }
    bool Unlocked() {
        MainWindow& main = *windows.mainWindow();
        return main.isEnabled() && main.scope().isEnabled() && main.toolbar().isEnabled() &&
               main.chatInput().isEnabled() && main.receiveTimer().isActive() &&
               main.repaintTimer().isActive() && main.refreshTimer().isActive();
    }

    testing::TempDir dir;
    ProgramState state;
    FileSystem files{dir.path(), {}};
    testing::ScriptedMessageBoxes messages;
    WatchedSession session;
    TimerClock clock{1000.0};  // a 60-second watchdog runs out in 60 ms
    AppWindows windows{state, messages, files, session, clock};
};

// A hand-off inside a box the connection dialog opened: the dialog lives until its handler has
// returned from the box and finished, and goes only then.
TEST_F(AppWindowsTest, AWindowHandedOverWhileItsBoxIsUpLivesUntilItsHandlerReturns) {
    clock = TimerClock(1.0);
    windows.ShowConnectionDialog();
    QPointer<ConnectionDialog> dialog = windows.connectionDialog();
    bool aliveAfterTheHandOff = false;
    messages.modalMs = 50;
    messages.onShow = [&] {
        if (windows.mainWindow() != nullptr) {
            return;  // the main window's own boxes
        }
        state.mainWindowOpen = kTrue16;
        windows.ShowMainWindow();  // as an acceptance arriving under the box would
        testing::Spin(50);
        aliveAfterTheHandOff = !dialog.isNull();
    };
    Click(dialog->locateButton());  // no connection type chosen: a box, then a reset
    EXPECT_TRUE(aliveAfterTheHandOff);
    EXPECT_EQ(windows.connectionDialog(), nullptr);
    EXPECT_TRUE(SpinUntil([&] { return dialog.isNull(); }, 2000));
    EXPECT_EQ(windows.retiredWindows(), 0u);
}

// With the session lost, a chat line fails (and stays in its box) and its box stays up while
// the watchdog runs out, the timers firing: the main window hands over to the connection dialog
// under the box, once, and returning from Enter still finds the window.
TEST_F(AppWindowsTest, TheWatchdogEndingTheSessionUnderAChatFailureLeavesTheWindowToItsHandler) {
    ASSERT_NO_FATAL_FAILURE(JoinAndOpenTheMainWindow());
    QPointer<MainWindow> main = windows.mainWindow();
    session.failures.send = "the session was lost";
    messages.modalMs = 300;
    session.Deliver(kHostPilot, MakeSignal(kinds::kKeepAlive));
    main->ReceiveTick();  // the watchdog is full again: 60 ms left
    main->chatInput().setText("hello");
    QTest::keyClick(&main->chatInput(), Qt::Key_Return);
    EXPECT_EQ(main->chatInput().text(), "hello");  // kept, to be sent once more
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{connection_texts::kConnected,
                                        "The line could not be sent: the session was lost",
                                        kConnectionLostMessage}));
    ASSERT_NE(windows.connectionDialog(), nullptr);
    EXPECT_EQ(windows.mainWindow(), nullptr);
    EXPECT_TRUE(SpinUntil([&] { return main.isNull(); }, 2000));
    EXPECT_EQ(state.isConnected, kFalse16);
    EXPECT_EQ(session.destroyedPlayers.size(), 1u);
}

// Ending the program while joined leaves the session first, and the program quits only once
// the session's last messages are out.
TEST_F(AppWindowsTest, EndingTheProgramWhileJoinedLeavesTheSessionFirst) {
    ASSERT_NO_FATAL_FAILURE(JoinAndOpenTheMainWindow());
    const int32_t me = state.myPlayerId;
    session.holdClosing = true;
    windows.EndProgram();
    EXPECT_EQ(session.destroyedPlayers, std::vector<int32_t>{me});
    EXPECT_EQ(state.isConnected, kFalse16);
    testing::Spin(50);
    EXPECT_FALSE(windows.quitting());
    session.FinishClosing();
    EXPECT_TRUE(windows.quitting());
}

// Loading the main window resets the display flags and starts the timers (and asks everyone to
// announce themselves: LiveSessionTest). A toolbar window or a message box keeps the main
// window locked (its timers stopped but the refresh, its close box waiting) until it gives it
// back; the traffic list stands beside the scope. "Airport General Info" shows the airport's
// fields; "Create new database" asks first, and "OK" deletes both files in any letter case (and
// nothing else, so the next start runs set-up), leaves the session and ends the program.
TEST_F(AppWindowsTest, ToolbarWindowsAndBoxesLockTheMainWindowUntilTheyGiveItBack) {
    clock = TimerClock(1.0);
    state.displayFlags.showTaxiways = kFalse16;
    ASSERT_NO_FATAL_FAILURE(JoinAndOpenTheMainWindow());
    EXPECT_EQ(state.displayFlags, DisplayFlags{});
    MainWindow& main = *windows.mainWindow();
    const std::vector<std::pair<ToolbarCommand, std::function<QWidget*()>>> toolbarWindows = {
        {ToolbarCommand::GotoAirport, [&]() -> QWidget* { return windows.airportWindow(); }},
        {ToolbarCommand::Options, [&]() -> QWidget* { return windows.optionsWindow(); }},
        {ToolbarCommand::About, [&]() -> QWidget* { return windows.aboutWindow(); }},
        {ToolbarCommand::ControllerAids,
         [&]() -> QWidget* { return windows.controllerAidsWindow(); }}};
    for (const auto& [command, child] : toolbarWindows) {
        const std::string caption = main.toolbarButton(command).text().toStdString();
        Press(command);
        ASSERT_NE(child(), nullptr) << caption;
        EXPECT_TRUE(child()->isVisible() && Locked(true)) << caption;
        EXPECT_FALSE(main.close()) << caption;
        EXPECT_TRUE(main.isVisible() && session.destroyedPlayers.empty());
        child()->close();
        EXPECT_TRUE(Unlocked()) << caption;
    }
    Press(ToolbarCommand::TrafficList);
    EXPECT_TRUE(windows.trafficList()->isVisible() && Unlocked());

    bool lockedDuringBox = false;
    messages.onShow = [&] { lockedDuringBox = Locked(false); };
    Press(ToolbarCommand::AirportGeneralInfo);
    EXPECT_TRUE(lockedDuringBox && Unlocked());
    EXPECT_EQ(messages.shown.back().title, "Scopewatch Information");
    EXPECT_EQ(messages.Texts().back(),
              "Airport Name: Eldorado Intl\r\nICAO ID: KELD\r\nATIS Freq: \r\nClearance Freq: "
              "\r\nGround Freq: \r\nTower Freq: 118.5\r\nDeparture Freq: \r\nApproach Freq: "
              "\r\nCenter Freq: ");

    for (const char* name : {"World_Airports.DAT", "world_airports.dat", "atc_settings.tcs.bak",
                             "sub/atc_settings.tcs"}) {
        dir.Write(name, std::string("x"));
    }
    messages.answers = {MessageAnswer::Cancel};
    messages.onShow = [&] { lockedDuringBox = Locked(true); };
    lockedDuringBox = false;
    Press(ToolbarCommand::CreateNewDatabase);
    EXPECT_TRUE(lockedDuringBox && Unlocked());
    EXPECT_EQ(messages.shown.back().text, kDeleteDatabaseQuestion);
    EXPECT_EQ(messages.shown.back().buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(std::filesystem::exists(dir / "World_Airports.DAT"));

    const int32_t me = state.myPlayerId;
    Press(ToolbarCommand::CreateNewDatabase);  // both files in every letter case, the settings file
                                               // already gone
    EXPECT_EQ(FileSystem(dir.path()).ListFiles("*"),
              std::vector<std::string>{"atc_settings.tcs.bak"});
    EXPECT_TRUE(std::filesystem::exists(dir / "sub/atc_settings.tcs"));
    EXPECT_EQ(messages.Texts().back(), kDatabaseDeletedMessage);
    EXPECT_EQ(session.destroyedPlayers, std::vector<int32_t>{me});
    EXPECT_TRUE(SpinUntil([&] { return windows.quitting(); }, 2000));
    // No folder at all, or a folder by a file's name: no error.
    DeleteDatabaseFiles(dir / "missing");
    std::filesystem::create_directory(dir / kSettingsFileName);
    DeleteDatabaseFiles(dir.path());
    EXPECT_TRUE(std::filesystem::is_directory(dir / kSettingsFileName));
}

// Leaving: the caption says so first, and no timer (nor a removal arriving meanwhile) acts
// while it leaves; then the connection dialog is back.
TEST_F(AppWindowsTest, DisconnectSaysPleaseWaitFirstAndNoTimerRunsWhileItLeaves) {
    ASSERT_NO_FATAL_FAILURE(JoinAndOpenTheMainWindow());
    QPointer<MainWindow> main = windows.mainWindow();
    session.Deliver(kHostPilot, MakeSignal(kinds::kKeepAlive));
    main->ReceiveTick();  // the watchdog is full again: 60 ms left, the timers firing meanwhile
    std::string captionWhileLeaving;
    bool timersWhileLeaving = true;
    session.onDestroy = [&] {
        captionWhileLeaving = main->disconnectButton().text().toStdString();
        session.Deliver(kHostPilot, MakeSignal(kinds::kRemoved));
        testing::Spin(100);
        timersWhileLeaving = main->receiveTimer().isActive() || main->refreshTimer().isActive();
    };
    const int32_t me = state.myPlayerId;
    Click(main->disconnectButton());
    EXPECT_EQ(captionWhileLeaving, "PLEASE WAIT...");
    EXPECT_FALSE(timersWhileLeaving);
    EXPECT_EQ(session.destroyedPlayers, std::vector<int32_t>{me});
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{connection_texts::kConnected});
    ASSERT_NE(windows.connectionDialog(), nullptr);
    EXPECT_EQ(state.mainWindowOpen, kFalse16);
}

}  // namespace
}  // namespace scopewatch
