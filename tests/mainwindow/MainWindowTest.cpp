#include <gtest/gtest.h>

#include <QTest>
#include <cmath>

#include "mainwindow/DatabaseReset.h"
#include "mainwindow/ui/MainWindow.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/InMemorySession.h"
#include "multiplayer/MessageIntake.h"
#include "scope/ui/ScopeWidget.h"
#include "shared/ProgramState.h"
#include "shared/TimerClock.h"
#include "support/Clicks.h"
#include "support/Pixels.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SpinEventLoop.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

using testing::Click;
using testing::CountPixels;
constexpr double kLat = 36.42;
constexpr double kLon = -97.0;
constexpr int32_t kMe = 101;

// A session whose leaving takes a while and runs an event loop meanwhile, as leaving a
// DirectPlay session does while the last messages go out.
class SlowSession : public InMemorySession {
  public:
    std::function<void()> onDestroy;
    void DestroyPlayer(int32_t playerId) override {
        if (onDestroy) {
            onDestroy();
        }
        testing::Spin(150);
        InMemorySession::DestroyPlayer(playerId);
    }
};

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        state.airport.currentAirport.name = "Eldorado Intl";
        state.airport.currentAirport.latitude = kLat;
        state.airport.currentAirport.longitude = kLon;
        state.myPlayerId = kMe;
        state.isConnected = kTrue16;
        state.mainWindowOpen = kTrue16;
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
    QPoint PixelOf(double lat, double lon) {
        const ScopePoint p = ProjectToScope(window->view(), lat, lon);
        return {p.x, p.y};
    }
    void Press(int toolbarButton) {
        QWidget* button = window->toolbar().widgetForAction(&window->toolbarButton(toolbarButton));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    bool Locked(bool windowToo) {
        return window->isEnabled() != windowToo && !window->scope().isEnabled() &&
               !window->toolbar().isEnabled() && !window->chatInput().isEnabled() &&
               !window->disconnectButton().isEnabled() && !window->receiveTimer().isActive() &&
               !window->repaintTimer().isActive() && window->refreshTimer().isActive();
    }
    bool Unlocked() {
        return window->isEnabled() && window->scope().isEnabled() &&
               window->toolbar().isEnabled() && window->chatInput().isEnabled() &&
               window->receiveTimer().isActive() && window->repaintTimer().isActive();
    }
    std::string Text(const QWidget& widget) {
        if (const auto* box = qobject_cast<const QLineEdit*>(&widget)) {
            return box->text().toStdString();
        }
        return qobject_cast<const QLabel*>(&widget)->text().toStdString();
    }

    ProgramState state;
    SlowSession session;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
    TimerClock clock;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, LoadingOpensOnTheAirportAtLevelNineAndAsksEveryoneToAnnounce) {
    state.displayFlags.showTaxiways = kFalse16;
    Open();
    EXPECT_EQ(window->windowTitle(), "Scopewatch v1.0 - Eldorado Intl");
    const ScopeView& view = window->view();
    EXPECT_EQ(view.ZoomLevel, 9);
    EXPECT_NEAR(view.East - view.West, 1.40624921875, 1e-9);
    EXPECT_NEAR((view.East + view.West) / 2, kLon, 1e-9);
    EXPECT_EQ(view.WidthPx, window->scope().width());
    EXPECT_EQ(view.HeightPx, window->scope().height());
    EXPECT_EQ(Text(window->zoomLabel()), "x9");
    EXPECT_EQ(Text(window->eastWestLabel()), "E:");
    EXPECT_EQ(Text(window->longitudeBox()), "0.00000");
    EXPECT_EQ(state.displayFlags, DisplayFlags{});
    EXPECT_TRUE(window->receiveTimer().isActive());
    EXPECT_TRUE(window->repaintTimer().isActive());
    EXPECT_TRUE(window->refreshTimer().isActive());
    EXPECT_EQ(window->intake().linkWatchdog(), kLinkWatchdogSeconds);
    EXPECT_EQ(session.sentKinds(), std::vector<int32_t>{kinds::kIdentifyRequest});
    EXPECT_EQ(session.sent[0].fromId, kMe);
    // The airport's name is drawn from the middle of the scope.
    const QPoint middle = window->scope().canvas().rect().center();
    EXPECT_LT(CountPixels(window->scope().canvas(), qRgb(0, 0, 0), QRect(middle, QSize(60, 20))),
              60 * 20 - 20);

    state.mainWindowOpen = kFalse16;
    session.sent.clear();
    Open();
    EXPECT_EQ(window->windowTitle(), "Scopewatch v1.0");
    EXPECT_FALSE(window->receiveTimer().isActive());
    EXPECT_TRUE(session.sent.empty());
}

TEST_F(MainWindowTest, ZoomButtonsStepTheViewBetweenTheLimits) {
    Open();
    Click(window->zoomInButton());
    EXPECT_EQ(window->view().ZoomLevel, 10);
    EXPECT_EQ(Text(window->zoomLabel()), "x10");
    for (int i = 0; i < 15; ++i) {
        Click(window->zoomInButton());
    }
    EXPECT_EQ(window->view().ZoomLevel, 20);
    EXPECT_EQ(Text(window->zoomLabel()), "x20");
    for (int i = 0; i < 25; ++i) {
        Click(window->zoomOutButton());
    }
    EXPECT_EQ(window->view().ZoomLevel, 1);
    EXPECT_EQ(Text(window->zoomLabel()), "x1");
    EXPECT_TRUE(window->repaintTimer().isActive());
}

TEST_F(MainWindowTest, ThePointerReadsOutItsPositionAndNamesThePilotUnderIt) {
    Open();
    state.traffic.trafficCount = 1;
    TrafficRecord& pilot = state.traffic.trafficTable[1];
    pilot.playerName = "N172SP";
    pilot.latitude = kLat - 0.1;
    pilot.longitude = kLon - 0.2;
    pilot.heading = 270;
    pilot.altitudeFt = 3500;
    pilot.aircraftType = "Piston Plane";

    QTest::mouseMove(&window->scope(), PixelOf(kLat - 0.1, kLon - 0.2));
    EXPECT_EQ(window->scope().tipText(),
              "Player: N172SP  Heading: 270  Altitude: 3500 ft  Distance: 11 nm  Type Plane: "
              "Piston Plane");
    EXPECT_EQ(Text(window->eastWestLabel()), "W");
    EXPECT_EQ(Text(window->northSouthLabel()), "N");
    EXPECT_NEAR(std::stod(Text(window->longitudeBox())), kLon - 0.2, 0.003);
    EXPECT_NEAR(std::stod(Text(window->latitudeBox())), kLat - 0.1, 0.003);

    QTest::mouseMove(&window->scope(), PixelOf(kLat + 0.2, kLon));
    EXPECT_EQ(window->scope().tipText(), "");
}

TEST_F(MainWindowTest, DraggingMeasuresAndTheRightButtonRecentres) {
    Open();
    ScopeWidget& scope = window->scope();
    const QPoint from = PixelOf(kLat, kLon - 0.3);
    const QPoint to = PixelOf(kLat, kLon + 0.3);
    QTest::mousePress(&scope, Qt::LeftButton, Qt::NoModifier, from);
    EXPECT_TRUE(window->dragging());
    EXPECT_FALSE(window->repaintTimer().isActive());
    EXPECT_NEAR(window->view().DragAnchorLon, kLon - 0.3, 0.003);
    QTest::mouseMove(&scope, to);
    // The dotted line runs through the middle, with its white label there.
    const QRect label((from.x() + to.x()) / 2, from.y(), 120, 16);
    EXPECT_GT(CountPixels(scope.canvas(), qRgb(255, 255, 255), label), 20);
    EXPECT_EQ(scope.tipText(), "");  // no hit tests while dragging
    QTest::mouseRelease(&scope, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_FALSE(window->dragging());
    EXPECT_EQ(window->view().DragAnchorLon, 0.0);
    EXPECT_TRUE(window->repaintTimer().isActive());

    QTest::mousePress(&scope, Qt::RightButton, Qt::NoModifier, to);
    EXPECT_NEAR((window->view().East + window->view().West) / 2, kLon + 0.3, 0.003);
    EXPECT_EQ(window->view().ZoomLevel, 9);
    Click(window->centerButton());
    EXPECT_NEAR((window->view().East + window->view().West) / 2, kLon, 1e-9);
}

TEST_F(MainWindowTest, TrafficArrivesOnItsOwnAndChatGoesBothWays) {
    Open(1000.0);
    session.Deliver(7, MakePlayerPresent(7));
    session.Deliver(7, MakePosition({0, LatitudeRaw(kLat), LongitudeRaw(kLon), 300}, false));
    // A line that came before a message ending its tick early is shown all the same.
    session.Deliver(7, MakeSimulatorChat("ready to taxi"));
    session.Deliver(7, MakeSignal(kinds::kPositionShort));
    session.Deliver(7, MakeSimulatorChat("holding short"));
    ASSERT_TRUE(testing::SpinUntil([&] { return state.traffic.trafficCount == 1; }, 2000));
    ASSERT_TRUE(
        testing::SpinUntil([&] { return state.traffic.trafficTable[1].altitudeFt == 984; }, 2000));
    ASSERT_TRUE(testing::SpinUntil(
        [&] { return window->chatText().rfind("N172SP: holding short", 0) == 0; }, 2000));

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
    EXPECT_EQ(window->chatInput().text(), "again");  // kept, so it can be sent once more
    EXPECT_EQ(messages.Texts().back(), "The line could not be sent: the session was lost");
}

TEST_F(MainWindowTest, DisconnectSaysPleaseWaitFirstAndNoTimerRunsWhileItLeaves) {
    Open(1000.0);  // every timer fires many times during the slow leaving
    state.traffic.trafficCount = 1;
    std::string captionWhileLeaving;
    session.onDestroy = [&] {
        captionWhileLeaving = window->disconnectButton().text().toStdString();
        session.Deliver(7, MakeSignal(kinds::kRemoved));
    };
    Click(window->disconnectButton());
    EXPECT_EQ(captionWhileLeaving, "PLEASE WAIT...");
    EXPECT_EQ(session.destroyedPlayers, std::vector<int32_t>{kMe});
    EXPECT_EQ(session.closeCount, 1);
    EXPECT_TRUE(messages.shown.empty());  // the removal was not read while leaving
    EXPECT_EQ(flow.shown, std::vector<std::string>{"connection"});
    EXPECT_EQ(state.isConnected, kFalse16);
    EXPECT_EQ(state.mainWindowOpen, kFalse16);
    EXPECT_EQ(state.traffic.trafficCount, 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->receiveTimer().isActive());
    EXPECT_FALSE(window->refreshTimer().isActive());
}

TEST_F(MainWindowTest, ALostLinkOrTheHostsRemovalLeavesOnceWithItsMessage) {
    messages.modalMs = 100;  // the timers keep firing while the message is shown
    Open(1000.0);
    ASSERT_TRUE(testing::SpinUntil([&] { return !flow.shown.empty(); }, 3000));
    testing::Spin(150);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kConnectionLostMessage});
    EXPECT_EQ(flow.shown, std::vector<std::string>{"connection"});
    EXPECT_EQ(session.destroyedPlayers.size(), 1U);

    state.myPlayerId = kMe;
    state.mainWindowOpen = kTrue16;
    state.isConnected = kTrue16;
    flow.shown.clear();
    messages.shown.clear();
    session.Deliver(7, MakeSignal(kinds::kRemoved));
    Open(1000.0);
    ASSERT_TRUE(testing::SpinUntil([&] { return !flow.shown.empty(); }, 3000));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kRemovedByHostMessage});
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
}

TEST_F(MainWindowTest, TheScopeGrowsWithTheWindowAtTheSameZoom) {
    Open();
    window->resize(window->width() + 200, window->height() + 100);
    ASSERT_TRUE(testing::SpinUntil(
        [&] { return window->view().WidthPx == window->scope().width(); }, 2000));
    EXPECT_EQ(window->view().HeightPx, window->scope().height());
    EXPECT_EQ(window->view().ZoomLevel, 9);
}

TEST_F(MainWindowTest, ToolbarWindowsKeepTheMainWindowLockedUntilTheyGiveItBack) {
    Open();
    const std::vector<std::pair<int, std::string>> commands = {
        {1, "airport"}, {2, "options"}, {5, "about"}};
    for (const auto& [button, shown] : commands) {
        flow.shown.clear();
        Press(button);
        EXPECT_EQ(flow.shown, std::vector<std::string>{shown});
        EXPECT_TRUE(Locked(true)) << shown;
        window->Unlock();  // what the child window does when it closes
        EXPECT_TRUE(Unlocked()) << shown;
    }

    state.airport.currentAirport.icaoId = "KELD";
    state.airport.currentAirport.towerFreq = "118.5";
    bool lockedDuringBox = false;
    messages.onShow = [&] { lockedDuringBox = Locked(false); };
    Press(4);
    EXPECT_TRUE(lockedDuringBox);
    EXPECT_TRUE(Unlocked());
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].title, "Scopewatch Information");
    EXPECT_EQ(messages.shown[0].text,
              "Airport Name: Eldorado Intl\r\nICAO ID: KELD\r\nATIS Freq: \r\nClearance Freq: "
              "\r\nGround Freq: \r\nTower Freq: 118.5\r\nDeparture Freq: \r\nApproach Freq: "
              "\r\nCenter Freq: ");
}

TEST_F(MainWindowTest, CreateNewDatabaseDeletesBothFilesLeavesAndEndsOrCancels) {
    testing::TempDir dir;
    state.workDir = dir.path();
    dir.Write(kSettingsFileName, std::string("settings"));
    dir.Write(kDatabaseFileName, std::string("airports"));
    Open();
    messages.answers = {MessageAnswer::Cancel};
    bool lockedDuringQuestion = false;
    messages.onShow = [&] { lockedDuringQuestion = Locked(true); };
    Press(3);
    EXPECT_TRUE(lockedDuringQuestion);
    EXPECT_EQ(messages.shown.at(0).text, kDeleteDatabaseQuestion);
    EXPECT_EQ(messages.shown.at(0).buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(std::filesystem::exists(dir / kDatabaseFileName));
    EXPECT_TRUE(Unlocked());
    EXPECT_TRUE(flow.shown.empty());

    std::filesystem::remove(dir / kSettingsFileName);  // already gone: no matter
    std::filesystem::remove(dir / kDatabaseFileName);
    Press(3);
    EXPECT_EQ(messages.Texts().back(), kDatabaseDeletedMessage);
    EXPECT_EQ(flow.shown, std::vector<std::string>{"end"});
    EXPECT_EQ(session.destroyedPlayers, std::vector<int32_t>{kMe});
    EXPECT_EQ(session.closeCount, 1);
    EXPECT_FALSE(window->refreshTimer().isActive());
}

}  // namespace
}  // namespace scopewatch
