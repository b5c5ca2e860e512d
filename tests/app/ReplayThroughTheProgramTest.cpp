// A recorded session played through the whole program: chosen in the connection dialog as a
// connection type of its own, joined on the same road as a live session, shown in the main
// window with every timer running, steered from the "Replay" window, and ended by the end of
// the recording. A session with the demo host, recorded by the program, replays as it ran.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QSlider>

#include "app/AppWindows.h"
#include "mainwindow/ui/MainWindow.h"
#include "multiplayer/ConnectionSteps.h"
#include "multiplayer/ui/ConnectionDialog.h"
#include "platform/FileSystem.h"
#include "replay/ReplayPlayback.h"
#include "replay/ReplaySession.h"
#include "replay/SessionChoice.h"
#include "replay/ui/ReplayWindow.h"
#include "shared/TimerClock.h"
#include "state/ProgramState.h"
#include "support/Clicks.h"
#include "support/DemoAirportState.h"
#include "support/InMemorySession.h"
#include "support/LiveScope.h"
#include "support/RecordedSession.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SpinEventLoop.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

using testing::Click;
using testing::ClickRow;
using testing::SpinUntil;

// What the main window shows: the chat history, the traffic table and every track's trail.
std::string Picture(const ProgramState& state, MainWindow& main) {
    std::string picture = main.chatHistory().toPlainText().toStdString() + "\n";
    for (const TrafficRecord& aircraft : state.traffic.InUse()) {
        picture += aircraft.playerName + " " + std::to_string(aircraft.latitude) + " " +
                   std::to_string(aircraft.longitude) + " " + std::to_string(aircraft.heading) +
                   " " + aircraft.aircraftType + "\n";
    }
    for (const auto& [name, track] : state.tracks.tracks()) {
        picture += name + " trail";
        for (const GeoPoint& point : state.tracks.TrailOf(name)) {
            picture += " " + std::to_string(point.latitude);
        }
        picture += "\n";
    }
    return picture;
}

class ReplayThroughTheProgram : public ::testing::Test {
  protected:
    // `recordedSpeedUp`: how many times as fast as real time the recorded session's clock ran.
    explicit ReplayThroughTheProgram(double recordedSpeedUp = 1.0)
        : played([] { return std::filesystem::path("recordings/recorded.pcap"); },
                 replay::ReplayOptions{[this](const std::filesystem::path&,
                                              const std::atomic<bool>&) { return read(); },
                                       recordedSpeedUp}) {
        state.workDir = dir.path();
        state.airport = testing::DemoAirportLoaded();
        live.connectionTypes = {"IPX Connection For DirectPlay",
                                "Internet TCP/IP Connection For DirectPlay"};
    }

    // The connection dialog's road with the replay chosen: locate, join, accepted.
    void Join(const char* listed = "Eldorado Fly-in (2/8)") {
        windows.ShowConnectionDialog();
        ConnectionDialog& dialog = *windows.connectionDialog();
        ASSERT_EQ(dialog.connectionTypeList().count(), 2);
        ASSERT_EQ(dialog.connectionTypeList().item(1)->text(), "Recorded Session (Replay)");
        ClickRow(dialog.connectionTypeList(), 1);
        Click(dialog.locateButton());
        ASSERT_TRUE(SpinUntil([&] { return dialog.sessionList().count() == 1; }, 5000));
        EXPECT_EQ(dialog.sessionList().item(0)->text(), listed);
        ClickRow(dialog.sessionList(), 0);
        Click(dialog.joinButton());
        ASSERT_TRUE(SpinUntil([&] { return windows.mainWindow() != nullptr; }, 5000));
        ASSERT_NE(windows.replayWindow(), nullptr);
    }

    // What the main window holds after the receive tick that took the replay to each moment
    // (seconds), played at that speed.
    std::vector<std::string> Watch(int speed, const std::vector<int>& moments,
                                   const char* listed = "Eldorado Fly-in (2/8)") {
        std::vector<std::string> seen;
        Join(listed);
        MainWindow& main = *windows.mainWindow();
        windows.replayWindow()->speedBox().setCurrentText(
            QString::fromStdString(replay::SpeedCaption(speed)));
        const auto watching = QObject::connect(&main, &MainWindow::trafficTicked, [&] {
            const long now = std::lround(played.elapsed());
            if (seen.size() < moments.size() && now == moments[seen.size()]) {
                seen.push_back(Picture(state, main));
            }
        });
        SpinUntil([&] { return seen.size() == moments.size(); }, 20000);
        QObject::disconnect(watching);
        return seen;
    }
    testing::TempDir dir;
    ProgramState state;
    FileSystem files{dir.path(), {}};
    testing::ScriptedMessageBoxes messages;
    InMemorySession live;
    testing::RecordedSession recorded = testing::RecordSession(200);
    // What reading the chosen file gives.
    std::function<Outcome<replay::ReplayTimeline>()> read = [this] {
        return testing::TimelineOf(recorded);
    };
    replay::ReplaySession played;
    replay::SessionChoice session{live, played};
    TimerClock clock{50.0};
    AppWindows windows{state, messages, files, session, clock};
};

TEST_F(ReplayThroughTheProgram, PlaysStepsAndEndsAsALostLinkDoes) {
    ASSERT_NO_FATAL_FAILURE(Join());
    MainWindow& main = *windows.mainWindow();
    replay::ReplayWindow& controls = *windows.replayWindow();
    EXPECT_EQ(controls.lengthLabel().text(), "3:20");
    ASSERT_TRUE(SpinUntil([&] { return state.traffic.trafficCount == 2; }, 5000));
    EXPECT_EQ(state.traffic.trafficTable[1].playerName, "N172SP");

    // Paused, the session stands; the speed runs the main window's timers faster.
    Click(controls.playButton());
    EXPECT_EQ(controls.playButton().text(), "Play");
    EXPECT_FALSE(main.receiveTimer().isActive());
    EXPECT_FALSE(main.refreshTimer().isActive());
    controls.speedBox().setCurrentIndex(4);
    EXPECT_EQ(controls.speedBox().currentText(), "16\u00d7");
    EXPECT_EQ(main.receiveTimer().interval(), clock.RealMs(1000));
    EXPECT_EQ(clock.RealMs(16000), 20);

    // A step while paused shows that moment at once and stays there.
    const QString before = controls.elapsedLabel().text();
    Click(controls.stepButton(3));  // +1 min
    EXPECT_NE(controls.elapsedLabel().text(), before);
    EXPECT_NEAR(played.elapsed(), controls.positionSlider().value(), 1.0);
    EXPECT_EQ(state.traffic.trafficCount, 2);
    EXPECT_GT(state.tracks.TrailOf("N172SP").size(), 1u);

    main.chatInput().setText("hello");
    QTest::keyClick(&main.chatInput(), Qt::Key_Return);
    EXPECT_TRUE(main.chatHistory().toPlainText().startsWith("ATC Controller: hello (not sent)"));

    // Played on to the end: the session ends with its own words, the connection dialog returns
    // and the program's clock its own pace.
    Click(controls.playButton());
    controls.positionSlider().setValue(controls.positionSlider().maximum() - 2);
    ASSERT_TRUE(SpinUntil([&] { return windows.connectionDialog() != nullptr; }, 5000));
    EXPECT_EQ(messages.Texts().back(), replay::kRecordingEndedMessage);
    EXPECT_EQ(windows.mainWindow(), nullptr);
    EXPECT_EQ(windows.replayWindow(), nullptr);
    EXPECT_EQ(clock.RealMs(1000), 20);
    EXPECT_FALSE(clock.held());
}

// The recorded session's clock: ten times as fast as real time.
constexpr double kRecordedSpeedUp = 10.0;

// A session with the demo host (in this process) joined and recorded by the program. The test
// gives the main window's ticks and the pilots' steps at their times on the session's clock,
// each step half-way between two ticks, so that every message lies well inside one second of
// the session: what the window showed after the ticks of `moments`. The session goes on a few
// seconds after the last.
std::vector<std::string> RecordDemoSession(testing::LiveScope& scope,
                                           const std::vector<int>& moments) {
    QTimer stepping;  // the pilots' steps while the scope joins
    QObject::connect(&stepping, &QTimer::timeout, [&scope] { scope.host().Tick(); });
    stepping.start(scope.RealMs(1));
    if (!scope.Join()) {
        return {};
    }
    stepping.stop();
    MainWindow& main = *scope.main();
    const int second = scope.RealMs(1);
    // The session's clock began when the window's receive timer started.
    const int opened = second - main.receiveTimer().remainingTime();
    main.receiveTimer().stop();
    main.refreshTimer().stop();
    QElapsedTimer since;
    since.start();
    const auto wait = [&](int ms) {
        SpinUntil([&] { return since.elapsed() + opened >= ms; }, ms);
    };
    std::vector<std::string> seen;
    for (int tick = 1; tick <= moments.back() + 5; ++tick) {
        wait(tick * second - second / 2);
        scope.host().Tick();
        wait(tick * second);
        main.ReceiveTick();
        if (tick % 30 == 0) {
            main.RefreshTick();
        }
        if (tick == 5) {
            main.chatInput().setText("hello");
            QTest::keyClick(&main.chatInput(), Qt::Key_Return);
        }
        if (seen.size() < moments.size() && tick == moments[seen.size()]) {
            seen.push_back(Picture(scope.state, main));
        }
    }
    main.Disconnect();
    return seen;
}

class ReplayOfADemoSession : public ReplayThroughTheProgram {
  protected:
    ReplayOfADemoSession() : ReplayThroughTheProgram(kRecordedSpeedUp) {}
};

// Replayed at 1x and at 16x, the recording shows at every moment what the session showed: the
// same table, chat and tracks, through the refresh.
TEST_F(ReplayOfADemoSession, ShowsAtEveryMomentWhatTheSessionShowedAtAnySpeed) {
    const std::vector<int> moments = {9, 31, 38};
    demo::DemoHostOptions options;
    options.chatEverySeconds = 7;
    options.ticksByCaller = true;
    testing::LiveScope scope(47732, 47733, kRecordedSpeedUp, options, true);
    const std::vector<std::string> live = RecordDemoSession(scope, moments);
    ASSERT_EQ(live.size(), moments.size());
    EXPECT_NE(live[2].find("N172SP: roger, hello"), std::string::npos) << live[2];
    const auto recordings = std::filesystem::directory_iterator(scope.dir.path() / "recordings");
    ASSERT_NE(recordings, std::filesystem::directory_iterator());
    const std::filesystem::path file = recordings->path();
    read = [file] { return replay::ReadTimeline(file, std::atomic<bool>(false)); };

    EXPECT_EQ(Watch(1, moments, "Eldorado Fly-in (5/8)"), live);
    ASSERT_NE(windows.mainWindow(), nullptr);
    windows.mainWindow()->Disconnect();
    EXPECT_EQ(Watch(16, moments, "Eldorado Fly-in (5/8)"), live);
}

// A file that is no capture of a session is named with where it went wrong, and the dialog
// starts over.
TEST_F(ReplayThroughTheProgram, AFileThatCannotBeReadIsNamedInTheDialog) {
    read = [] {
        return Outcome<replay::ReplayTimeline>::Failed(
            "notes.txt: not a pcap or pcapng file (bytes 0 to 3)");
    };
    windows.ShowConnectionDialog();
    ConnectionDialog& dialog = *windows.connectionDialog();
    ClickRow(dialog.connectionTypeList(), 1);
    Click(dialog.locateButton());
    ASSERT_TRUE(SpinUntil([&] { return !messages.Texts().empty(); }, 5000));
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"notes.txt: not a pcap or pcapng file (bytes 0 to 3)"});
    EXPECT_EQ(dialog.statusLabel().text(), "Disconnected");
    EXPECT_TRUE(dialog.locateButton().isEnabled());
}

}  // namespace
}  // namespace scopewatch
