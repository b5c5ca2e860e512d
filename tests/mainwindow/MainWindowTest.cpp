// The main window against a scripted session: what loading starts, the chat, the locking of
// the window while a toolbar window or a box is up, and the ways out of the session, where
// timers and arriving messages must not act twice. The pointer, the zoom and the toolbar
// windows over a real session: tests/app/LiveSessionEndToEndTest.cpp.

#include <gtest/gtest.h>

#include <QTest>

#include "mainwindow/DatabaseReset.h"
#include "mainwindow/ui/MainWindow.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/MessageIntake.h"
#include "platform/FileSystem.h"
#include "scope/ui/ScopeWidget.h"
#include "shared/TimerClock.h"
#include "state/ProgramState.h"
#include "support/Clicks.h"
#include "support/InMemorySession.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SpinEventLoop.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

using testing::Click;
using Texts = std::vector<std::string>;
constexpr int32_t kMe = 101;

// A session that lets a test look at the window while our player leaves.
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

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        state.workDir = dir.path();
        state.airport.currentAirport.name = "Eldorado Intl";
        state.airport.currentAirport.icaoId = "KELD";
        state.airport.currentAirport.towerFreq = "118.5";
        state.myPlayerId = kMe;
        state.isConnected = state.mainWindowOpen = kTrue16;
        session.AddPeer(kMe, "ATC");
        session.AddPeer(7, "N172SP");
    }

    MainWindow& Open(double speedUp = 1.0) {
        clock = TimerClock(speedUp);
        window = std::make_unique<MainWindow>(state, session, messages, flow, clock);
        window->show();
        window->Load();
        return *window;
    }
    void Press(int toolbarButton) {
        QTest::mouseClick(window->toolbar().widgetForAction(&window->toolbarButton(toolbarButton)),
                          Qt::LeftButton);
    }
    // Locked: everything disabled (the window too when asked) and only the refresh running.
    bool Locked(bool windowToo) {
        return window->isEnabled() != windowToo && !window->scope().isEnabled() &&
               !window->toolbar().isEnabled() && !window->chatInput().isEnabled() &&
               !window->disconnectButton().isEnabled() && !window->receiveTimer().isActive() &&
               !window->repaintTimer().isActive() && window->refreshTimer().isActive();
    }
    bool Unlocked() {
        return window->isEnabled() && window->scope().isEnabled() &&
               window->toolbar().isEnabled() && window->chatInput().isEnabled() &&
               window->receiveTimer().isActive() && window->repaintTimer().isActive() &&
               window->refreshTimer().isActive();
    }

    testing::TempDir dir;
    ProgramState state;
    WatchedSession session;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
    TimerClock clock;
    std::unique_ptr<MainWindow> window;
};

// Loading resets the display flags, starts the timers and asks everyone to announce
// themselves in our player's name; not when the main window is not open.
TEST_F(MainWindowTest, LoadingStartsTheTimersAndAsksEveryoneToAnnounce) {
    state.displayFlags.showTaxiways = kFalse16;
    Open();
    EXPECT_EQ(state.displayFlags, DisplayFlags{});
    EXPECT_TRUE(Unlocked());
    ASSERT_EQ(session.sentKinds(), std::vector<int32_t>{kinds::kIdentifyRequest});
    EXPECT_EQ(session.sent[0].fromId, kMe);

    state.mainWindowOpen = kFalse16;
    session.sent.clear();
    Open();
    EXPECT_EQ(window->windowTitle(), "Scopewatch v1.0");
    EXPECT_FALSE(window->receiveTimer().isActive());
    EXPECT_TRUE(session.sent.empty());
}

// The receive tick takes chat in, a line that came before a message ending its tick early all
// the same; our line goes out and on top, and one that cannot be sent stays in the box.
TEST_F(MainWindowTest, ChatGoesBothWays) {
    Open();
    session.Deliver(7, MakeSimulatorChat("ready to taxi"));
    session.Deliver(7, MakeSignal(kinds::kPositionShort));
    session.Deliver(7, MakeSimulatorChat("holding short"));
    window->ReceiveTick();
    window->ReceiveTick();
    QTest::keyClicks(&window->chatInput(), "cleared to taxi");
    QTest::keyClick(&window->chatInput(), Qt::Key_Return);
    EXPECT_EQ(window->chatInput().text(), "");
    EXPECT_EQ(window->chatText(),
              "ATC: cleared to taxi\r\nN172SP: holding short\r\nN172SP: ready to taxi\r\n");
    EXPECT_EQ(window->chatHistory().toPlainText(),
              "ATC: cleared to taxi\nN172SP: holding short\nN172SP: ready to taxi\n");
    EXPECT_EQ(session.sentKinds().back(), kinds::kChat);

    session.failures.send = "the session was lost";
    QTest::keyClicks(&window->chatInput(), "again");
    Click(window->sendButton());
    EXPECT_EQ(window->chatInput().text(), "again");
    EXPECT_EQ(messages.Texts(), Texts{"The line could not be sent: the session was lost"});
}

// A toolbar window or a message box keeps the main window locked (its timers stopped but the
// refresh, its close box waiting) until it gives it back; the traffic list stands beside the
// scope. "Airport General Info" shows the airport's fields; "Create new database" asks
// first, and "OK" deletes both files in any letter case (and nothing else, so the next start
// runs set-up), leaves the session and ends the program.
TEST_F(MainWindowTest, ToolbarWindowsAndBoxesLockTheWindowUntilTheyGiveItBack) {
    Open();
    for (const auto& [button, shown] : std::vector<std::pair<int, std::string>>{
             {1, "airport"}, {2, "options"}, {5, "about"}, {6, "aids"}, {7, "traffic list"}}) {
        flow.shown.clear();
        Press(button);
        EXPECT_EQ(flow.shown, Texts{shown});
        if (button == 7) {
            EXPECT_TRUE(Unlocked());
            continue;
        }
        EXPECT_TRUE(Locked(true)) << shown;
        EXPECT_FALSE(window->close()) << shown;
        EXPECT_TRUE(window->isVisible() && session.destroyedPlayers.empty());
        window->Unlock();  // what the toolbar window does when it closes
        EXPECT_TRUE(Unlocked()) << shown;
    }

    bool lockedDuringBox = false;
    messages.onShow = [&] { lockedDuringBox = Locked(false); };
    Press(4);
    EXPECT_TRUE(lockedDuringBox);
    EXPECT_EQ(messages.shown.at(0).title, "Scopewatch Information");
    EXPECT_EQ(messages.Texts(),
              Texts{"Airport Name: Eldorado Intl\r\nICAO ID: KELD\r\nATIS Freq: \r\nClearance "
                    "Freq: \r\nGround Freq: \r\nTower Freq: 118.5\r\nDeparture Freq: "
                    "\r\nApproach Freq: \r\nCenter Freq: "});

    for (const char* name : {"World_Airports.DAT", "world_airports.dat", "atc_settings.tcs.bak",
                             "sub/atc_settings.tcs"}) {
        dir.Write(name, std::string("x"));
    }
    messages.answers = {MessageAnswer::Cancel};
    messages.onShow = [&] { lockedDuringBox = Locked(true); };
    lockedDuringBox = false;
    Press(3);
    EXPECT_TRUE(lockedDuringBox);
    EXPECT_EQ(messages.shown.at(1).text, kDeleteDatabaseQuestion);
    EXPECT_EQ(messages.shown.at(1).buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(std::filesystem::exists(dir / "World_Airports.DAT"));
    EXPECT_TRUE(Unlocked());

    flow.shown.clear();
    Press(3);  // both files in every letter case, the settings file already gone
    EXPECT_EQ(FileSystem(dir.path()).ListFiles("*"), Texts{"atc_settings.tcs.bak"});
    EXPECT_TRUE(std::filesystem::exists(dir / "sub/atc_settings.tcs"));
    EXPECT_EQ(messages.Texts().back(), kDatabaseDeletedMessage);
    EXPECT_EQ(flow.shown, Texts{"end"});
    EXPECT_EQ(session.destroyedPlayers, std::vector<int32_t>{kMe});
    EXPECT_EQ(session.closeCount, 1);
    EXPECT_FALSE(window->refreshTimer().isActive());
    // No folder at all, or a folder by a file's name: no error.
    DeleteDatabaseFiles(dir / "missing");
    std::filesystem::create_directory(dir / kSettingsFileName);
    DeleteDatabaseFiles(dir.path());
    EXPECT_TRUE(std::filesystem::is_directory(dir / kSettingsFileName));
}

// Leaving: the caption says so first, and no timer (nor a removal arriving meanwhile) acts
// while it leaves.
TEST_F(MainWindowTest, DisconnectSaysPleaseWaitFirstAndNoTimerRunsWhileItLeaves) {
    Open(1000.0);  // every timer fires many times during the slow leaving
    state.traffic.trafficCount = 1;
    std::string captionWhileLeaving;
    session.onDestroy = [&] {
        captionWhileLeaving = window->disconnectButton().text().toStdString();
        session.Deliver(7, MakeSignal(kinds::kRemoved));
        testing::Spin(20);
    };
    Click(window->disconnectButton());
    EXPECT_EQ(captionWhileLeaving, "PLEASE WAIT...");
    EXPECT_EQ(session.destroyedPlayers, std::vector<int32_t>{kMe});
    EXPECT_EQ(session.closeCount, 1);
    EXPECT_TRUE(messages.shown.empty());  // the removal was not read while leaving
    EXPECT_EQ(flow.shown, Texts{"connection"});
    EXPECT_EQ(state.mainWindowOpen, kFalse16);
    EXPECT_FALSE(window->isVisible() || window->receiveTimer().isActive() ||
                 window->refreshTimer().isActive());
}

// With the timers firing while the message is shown, a lost link (the watchdog running out)
// or the host's removal leaves once, with one message.
TEST_F(MainWindowTest, ALostLinkOrTheHostsRemovalLeavesOnceWithItsMessage) {
    messages.modalMs = 100;  // the timers keep firing while the message is shown
    Open(1000.0);
    ASSERT_TRUE(testing::SpinUntil([&] { return !flow.shown.empty(); }, 3000));
    testing::Spin(150);
    EXPECT_EQ(messages.Texts(), Texts{kConnectionLostMessage});
    EXPECT_EQ(flow.shown, Texts{"connection"});
    EXPECT_EQ(session.destroyedPlayers.size(), 1U);

    state.myPlayerId = kMe;
    state.isConnected = state.mainWindowOpen = kTrue16;
    flow.shown.clear();
    messages.shown.clear();
    session.hostPlayers = {7};
    session.Deliver(7, MakeSignal(kinds::kRemoved));
    Open(1000.0);
    ASSERT_TRUE(testing::SpinUntil([&] { return !flow.shown.empty(); }, 3000));
    testing::Spin(150);
    EXPECT_EQ(messages.Texts(), Texts{kRemovedByHostMessage});
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(flow.shown, Texts{"connection"});
}

}  // namespace
}  // namespace scopewatch
