// A recording played as a session, through the running session of the main window without its
// widgets: the steps of a join, the intake, the answers the recorded players give, the chat, a
// jump and the end.

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "geo/MagVarGrid.h"
#include "mainwindow/LiveSession.h"
#include "model/AircraftNotes.h"
#include "model/SessionState.h"
#include "model/TrackHistory.h"
#include "multiplayer/ConnectionSteps.h"
#include "multiplayer/GameMessages.h"
#include "replay/ReplayPlayback.h"
#include "replay/ReplaySession.h"
#include "replay/SessionObserver.h"
#include "shared/TimerClock.h"
#include "support/RecordedSession.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::replay {
namespace {

// A replay of a recorded session, joined the way the connection dialog joins it, and the
// main window's running session over it.
class Replayed {
  public:
    explicit Replayed(const testing::RecordedSession& recorded)
        : replay([] { return std::filesystem::path("recorded.pcap"); },
                 ReplayOptions{[&recorded](const std::filesystem::path&, const std::atomic<bool>&) {
                                   return testing::TimelineOf(recorded);
                               },
                               1.0}) {}

    // The connection dialog's road: list, join, create the player, wait for acceptance.
    bool Join() {
        replay.InitialiseConnection(1);
        replay.ListSessions();
        if (!WaitFor(SessionStep::kListed)) {
            return false;
        }
        replay.JoinSession(1);
        if (!WaitFor(SessionStep::kJoined)) {
            return false;
        }
        replay.CreatePlayer("Viewer", "Player");
        if (!WaitFor(SessionStep::kPlayerCreated)) {
            return false;
        }
        state.myPlayerId = replay.CreatedPlayer();
        replay.SendToAll(state.myPlayerId, MakeSignal(kinds::kJoinRequest));
        if (ReadAcceptance(replay, state.myPlayerId) != Acceptance::Accepted) {
            return false;
        }
        state.isConnected = kTrue16;
        live = std::make_unique<LiveSession>(replay, state, traffic, tracks, notes, *grid, clock);
        live->Start();
        return true;
    }
    bool WaitFor(SessionStep step) {
        return testing::SpinUntil([&] { return replay.Step() == step; }, 5000);
    }
    // Receive ticks, with the refresh every 30 seconds of the session as the window runs it.
    std::optional<std::string> Run(int seconds) {
        for (int tick = 0; tick < seconds; ++tick) {
            const int second = static_cast<int>(live->secondsInSession());
            if (second > 0 && second % 30 == 0) {
                live->Refresh();
            }
            if (auto farewell = live->Receive().farewell) {
                return farewell;
            }
        }
        return std::nullopt;
    }

    ReplaySession replay;
    SessionState state;
    TrafficTable traffic;
    TrackHistory tracks;
    AircraftNotes notes;
    std::unique_ptr<MagVarGrid> grid = std::make_unique<MagVarGrid>();
    TimerClock clock;
    std::unique_ptr<LiveSession> live;
};

// Listed as the session the file holds, joined and accepted at once; the recorded players fill
// the table by answering the scope's own requests, their positions and chat come as recorded,
// a line typed goes nowhere, and the recording's end ends the session.
TEST(ReplaySession, PlaysThroughTheSameIntakeAsALiveSession) {
    const testing::RecordedSession recorded = testing::RecordSession(45);
    Replayed replayed(recorded);
    ASSERT_TRUE(replayed.Join());
    EXPECT_EQ(SessionLine(replayed.replay.ListedSessions().at(0)), "Eldorado Fly-in (2/8)");
    EXPECT_EQ(replayed.state.myPlayerId, 1);  // no recorded player has it

    EXPECT_FALSE(replayed.Run(1));
    ASSERT_EQ(replayed.traffic.trafficCount, 2);
    EXPECT_EQ(replayed.traffic.trafficTable[1].playerName, "N172SP");
    EXPECT_EQ(replayed.traffic.trafficTable[2].playerName, "DLH123");
    EXPECT_NEAR(replayed.traffic.trafficTable[2].latitude, 38.8, 1e-4);
    EXPECT_EQ(replayed.traffic.trafficTable[2].heading, 180);

    EXPECT_FALSE(replayed.Run(10));
    EXPECT_EQ(replayed.live->chatText(), "DLH123: cleared to land\r\n");
    ASSERT_TRUE(replayed.live->Say("hello").ok());
    EXPECT_EQ(replayed.live->chatText(), "Viewer: hello (not sent)\r\nDLH123: cleared to land\r\n");

    EXPECT_FALSE(replayed.Run(20));  // through the refresh at 30 s
    EXPECT_EQ(replayed.traffic.trafficCount, 2);
    EXPECT_EQ(replayed.traffic.trafficTable[2].aircraftType, "Jet Plane");
    EXPECT_EQ(replayed.traffic.trafficTable[2].aircraftTitle, "A320");
    EXPECT_NEAR(replayed.replay.elapsed(), 31.0, 1e-9);

    EXPECT_EQ(replayed.Run(60), std::string(kRecordingEndedMessage));
    EXPECT_NEAR(replayed.replay.elapsed(), replayed.replay.length(), 1e-9);
}

// After a jump every aircraft stands where it stood at that moment of a replay that played
// through, with the same trail and motion; the chat history is the recording's up to there.
TEST(ReplaySession, AJumpShowsTheMomentAsPlayingThroughShowsIt) {
    const testing::RecordedSession recorded = testing::RecordSession(400);
    Replayed through(recorded);
    ASSERT_TRUE(through.Join());
    ASSERT_FALSE(through.Run(350));

    Replayed jumped(recorded);
    ASSERT_TRUE(jumped.Join());
    ASSERT_FALSE(jumped.Run(12));
    ReplayPlayback playback(jumped.replay, jumped.clock,
                            {[] {}, [&jumped](int seconds) { jumped.live->Rerun(seconds); }});
    playback.JumpTo(350);
    EXPECT_NEAR(jumped.replay.elapsed(), 350.0, 1e-9);
    EXPECT_EQ(jumped.live->chatText(), through.live->chatText());
    ASSERT_EQ(jumped.traffic.trafficCount, through.traffic.trafficCount);
    for (const TrafficRecord& aircraft : through.traffic.InUse()) {
        const auto& track = jumped.tracks.tracks().at(aircraft.playerName);
        EXPECT_EQ(track.latest, through.tracks.tracks().at(aircraft.playerName).latest);
        EXPECT_EQ(jumped.tracks.TrailOf(aircraft.playerName),
                  through.tracks.TrailOf(aircraft.playerName));
        EXPECT_EQ(through.tracks.TrailOf(aircraft.playerName).size(),
                  static_cast<size_t>(TrackHistory::kTrailLength));
        const auto motion = jumped.tracks.Estimate(aircraft.playerName);
        ASSERT_TRUE(motion);
        EXPECT_NEAR(motion->speedKt, through.tracks.Estimate(aircraft.playerName)->speedKt, 1e-6);
    }
    // On from there, as it would have gone on.
    ASSERT_FALSE(jumped.Run(5));
    ASSERT_FALSE(through.Run(5));
    EXPECT_EQ(jumped.traffic.trafficTable[1], through.traffic.trafficTable[1]);
}

// Frames damaged anywhere (bytes changed, cut short) are read, judged and played without harm:
// the replay still plays to its end.
TEST(ReplaySession, DamagedFramesAreObservedAndPlayedWithoutHarm) {
    std::mt19937 random(27);
    for (int round = 0; round < 40; ++round) {
        testing::RecordedSession recorded = testing::RecordSession(20);
        for (capture::CapturedFrame& frame : recorded.frames.frames) {
            if (random() % 3 != 0 || frame.bytes.empty()) {
                continue;
            }
            if (random() % 4 == 0) {
                frame.bytes.resize(random() % frame.bytes.size());
            }
            for (uint32_t flips = random() % 4 + 1; flips > 0 && !frame.bytes.empty(); --flips) {
                frame.bytes[random() % frame.bytes.size()] = static_cast<uint8_t>(random());
            }
        }
        Replayed replayed(recorded);
        ASSERT_TRUE(replayed.Join()) << "round " << round;
        EXPECT_EQ(replayed.Run(100), std::string(kRecordingEndedMessage)) << "round " << round;
    }
}

// A file that cannot be read fails the listing with the reader's words, which the dialog shows
// as they are.
TEST(ReplaySession, AFileThatCannotBeReadFailsTheListingSayingWhy) {
    ReplaySession replay([] { return std::filesystem::path("bad.pcap"); },
                         ReplayOptions{[](const std::filesystem::path&, const std::atomic<bool>&) {
                                           return Outcome<ReplayTimeline>::Failed(
                                               "bad.pcap: not a pcap or pcapng file");
                                       },
                                       1.0});
    replay.InitialiseConnection(1);
    replay.ListSessions();
    ASSERT_TRUE(
        testing::SpinUntil([&] { return replay.Step() == SessionStep::kListingFailed; }, 5000));
    EXPECT_TRUE(replay.ExplainsFailures());
    EXPECT_EQ(replay.StepFailure(), "bad.pcap: not a pcap or pcapng file");
    EXPECT_THROW(replay.JoinSession(1), SessionError);
}

}  // namespace
}  // namespace scopewatch::replay
