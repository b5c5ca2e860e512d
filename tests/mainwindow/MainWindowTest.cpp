// The main window against a scripted session: what loading starts, the locking of the window
// while a toolbar window or a box is up, and leaving, where timers and arriving messages must
// not act. The pointer, the zoom, the chat and the toolbar windows over a real session:
// tests/app/LiveSessionEndToEndTest.cpp; a lost link or the host's removal while the timers
// go on: tests/app/AppWindowsTest.cpp and HostileNetworkTest.cpp.

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
// themselves in our player's name. A toolbar window or a message box keeps the main window locked
// (its timers stopped but the refresh, its close box waiting) until it gives it back; the traffic
// list stands beside the scope. "Airport General Info" shows the airport's fields; "Create new
// database" asks first, and "OK" deletes both files in any letter case (and nothing else, so the
// next start runs set-up), leaves the session and ends the program.
TEST_F(MainWindowTest, ToolbarWindowsAndBoxesLockTheWindowUntilTheyGiveItBack) {
    state.displayFlags.showTaxiways = kFalse16;
    Open();
    EXPECT_EQ(state.displayFlags, DisplayFlags{});
    ASSERT_EQ(session.sentKinds(), std::vector<int32_t>{kinds::kIdentifyRequest});
    EXPECT_EQ(session.sent[0].fromId, kMe);
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
// while it leaves. A window loaded afterwards, when the main window is not open, starts
// nothing and sends nothing.
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

    session.sent.clear();
    Open();
    EXPECT_EQ(window->windowTitle(), "Scopewatch v1.0");
    EXPECT_FALSE(window->receiveTimer().isActive() || window->refreshTimer().isActive());
    EXPECT_TRUE(session.sent.empty());
}

}  // namespace
}  // namespace scopewatch
