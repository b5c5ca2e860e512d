// The hand-offs between windows while message boxes are up: a window handed over inside a
// box's event loop lives until the code that opened the box has returned, and no way out of
// the program leaves our player in the session. Run under the address sanitizer by the test
// command, where a window freed too early is an error on the spot.

#include <gtest/gtest.h>

#include <QPointer>

#include "app/AppWindows.h"
#include "mainwindow/ui/MainWindow.h"
#include "multiplayer/ConnectionSteps.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/MessageIntake.h"
#include "multiplayer/ui/ConnectionDialog.h"
#include "platform/FileSystem.h"
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

class AppWindowsTest : public ::testing::Test {
  protected:
    AppWindowsTest() {
        state.workDir = dir.path();
        state.airport.currentAirport.name = "Eldorado Intl";
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

    testing::TempDir dir;
    ProgramState state;
    FileSystem files{dir.path(), {}};
    testing::ScriptedMessageBoxes messages;
    InMemorySession session;
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

}  // namespace
}  // namespace scopewatch
