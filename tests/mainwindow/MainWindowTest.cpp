#include <gtest/gtest.h>

#include <QTest>
#include <cmath>

#include "mainwindow/DatabaseReset.h"
#include "mainwindow/ui/MainWindow.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/MessageIntake.h"
#include "scope/ui/ScopeWidget.h"
#include "shared/TimerClock.h"
#include "state/ProgramState.h"
#include "support/Clicks.h"
#include "support/InMemorySession.h"
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

    ProgramState state;
    WatchedSession session;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
    TimerClock clock;
    std::unique_ptr<MainWindow> window;
};

// Loading centres the scope on the airport at level 9, resets the display flags, starts the
// timers and asks everyone to announce themselves; not when the main window is not open.
TEST_F(MainWindowTest, LoadingOpensOnTheAirportAtLevelNineAndAsksEveryoneToAnnounce) {
    state.displayFlags.showTaxiways = kFalse16;
    Open();
    EXPECT_EQ(window->windowTitle(), "Scopewatch v1.0 - Eldorado Intl");
    const QSize room = window->screen()->availableGeometry().size();
    EXPECT_EQ(window->size(), QSize(1360, 700).boundedTo(room))
        << room.width() << "x" << room.height();
    const ScopeView& view = window->view();
    EXPECT_NEAR(view.East - view.West, 1.40624921875, 1e-9);  // level 9
    EXPECT_NEAR((view.East + view.West) / 2, kLon, 1e-9);
    EXPECT_EQ(window->zoomLabel().text(), "x9");
    EXPECT_EQ(window->eastWestLabel().text(), "E:");
    EXPECT_EQ(window->longitudeBox().text(), "0.00000");
    EXPECT_EQ(state.displayFlags, DisplayFlags{});
    EXPECT_TRUE(Unlocked());
    EXPECT_TRUE(window->refreshTimer().isActive());
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

// The zoom buttons step the view between levels 1 and 20; the scope grows with the window
// at the same zoom.
TEST_F(MainWindowTest, ZoomButtonsStepTheViewBetweenTheLimitsAndTheScopeGrowsWithTheWindow) {
    Open();
    const std::vector<std::tuple<QAbstractButton*, int, int>> steps = {
        {&window->zoomInButton(), 1, 10},
        {&window->zoomInButton(), 15, 20},
        {&window->zoomOutButton(), 25, 1}};
    for (const auto& [button, clicks, level] : steps) {
        for (int i = 0; i < clicks; ++i) {
            Click(*button);
        }
        EXPECT_EQ(window->view().ZoomLevel, level);
        EXPECT_EQ(window->zoomLabel().text(), "x" + QString::number(level));
    }
    EXPECT_TRUE(window->repaintTimer().isActive());

    window->resize(window->width() + 200, window->height() + 100);
    ASSERT_TRUE(testing::SpinUntil(
        [&] { return window->view().WidthPx == window->scope().width(); }, 2000));
    EXPECT_EQ(window->view().HeightPx, window->scope().height());
    EXPECT_EQ(window->view().ZoomLevel, 1);
}

// The pointer's position reads out in the boxes, and the tip names the pilot under it.
// Dragging holds the repaint and draws the measuring line; the right button recentres,
// "CENTER" goes back to the airport.
TEST_F(MainWindowTest, ThePointerReadsOutNamesThePilotMeasuresAndRecentres) {
    Open();
    state.traffic.trafficCount = 1;
    state.traffic.trafficTable[1] = {"N172SP",   3500,           270, kLon - 0.2,
                                     kLat - 0.1, "Piston Plane", ""};

    QTest::mouseMove(&window->scope(), PixelOf(kLat - 0.1, kLon - 0.2));
    EXPECT_EQ(window->scope().tipText(),
              "Player: N172SP  Heading: 270  Altitude: 3500 ft  Distance: 11 nm  Type Plane: "
              "Piston Plane");
    EXPECT_EQ(window->eastWestLabel().text(), "W");
    EXPECT_EQ(window->northSouthLabel().text(), "N");
    EXPECT_NEAR(window->longitudeBox().text().toDouble(), kLon - 0.2, 0.003);
    EXPECT_NEAR(window->latitudeBox().text().toDouble(), kLat - 0.1, 0.003);

    QTest::mouseMove(&window->scope(), PixelOf(kLat + 0.2, kLon));
    EXPECT_EQ(window->scope().tipText(), "");

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

// The receive timer takes chat in on its own (traffic too: the end-to-end run), a line that
// came before a message ending its tick early all the same; our line goes out and on top, and
// one that cannot be sent stays in the box.
TEST_F(MainWindowTest, ChatGoesBothWays) {
    Open(1000.0);
    session.Deliver(7, MakeSimulatorChat("ready to taxi"));
    session.Deliver(7, MakeSignal(kinds::kPositionShort));
    session.Deliver(7, MakeSimulatorChat("holding short"));
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

// Leaving: the caption says so first, and no timer (nor a removal arriving meanwhile) acts
// while it leaves.
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
    EXPECT_EQ(state.mainWindowOpen, kFalse16);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->receiveTimer().isActive());
    EXPECT_FALSE(window->refreshTimer().isActive());
}

// With the timers firing while the message is shown, a lost link or the host's removal
// leaves once, with one message.
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
    session.hostPlayers = {7};
    session.Deliver(7, MakeSignal(kinds::kRemoved));
    Open(1000.0);
    ASSERT_TRUE(testing::SpinUntil([&] { return !flow.shown.empty(); }, 3000));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kRemovedByHostMessage});
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
}

// Locking: a toolbar window or message box keeps the main window locked (timers stopped but
// the refresh) until it gives it back.
TEST_F(MainWindowTest, ToolbarWindowsKeepTheMainWindowLockedUntilTheyGiveItBack) {
    Open();
    const std::vector<std::pair<int, std::string>> commands = {
        {1, "airport"}, {2, "options"}, {5, "about"}, {6, "aids"}};
    for (const auto& [button, shown] : commands) {
        flow.shown.clear();
        Press(button);
        EXPECT_EQ(flow.shown, std::vector<std::string>{shown});
        EXPECT_TRUE(Locked(true)) << shown;
        EXPECT_FALSE(window->close()) << shown;  // the close box waits for the child window
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(session.destroyedPlayers.empty());
        window->Unlock();  // what the child window does when it closes
        EXPECT_TRUE(Unlocked()) << shown;
    }

    std::vector<std::string> captions;
    for (int button = 1; button <= 7; ++button) {
        captions.push_back(window->toolbarButton(button).text().toStdString());
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Goto Airport", "Options", "Create New Database",
                                                  "Airport General Info", "About",
                                                  "Controller Aids", "Traffic List"}));
    // The traffic list stands beside the scope: the main window stays as it was.
    flow.shown.clear();
    Press(7);
    EXPECT_EQ(flow.shown, std::vector<std::string>{"traffic list"});
    EXPECT_TRUE(Unlocked());

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

// "Create new database" asks first; "OK" deletes both files, leaves the session and ends.
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
