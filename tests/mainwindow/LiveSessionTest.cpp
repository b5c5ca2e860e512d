// The running session behind the main window, without a window: what its ticks do to the
// table, the chat history and the tracks, the session's clock, and how the session ends.

#include <gtest/gtest.h>

#include "mainwindow/LiveSession.h"
#include "multiplayer/GameMessages.h"
#include "shared/TimerClock.h"
#include "state/ProgramState.h"
#include "support/InMemorySession.h"

namespace scopewatch {
namespace {

constexpr int32_t kMe = 101;
constexpr int32_t kPilot = 7;

class LiveSessionTest : public ::testing::Test {
  protected:
    LiveSessionTest() {
        state.myPlayerId = kMe;
        state.isConnected = kTrue16;
        state.mainWindowOpen = kTrue16;
        session.AddPeer(kMe, "ATC");
        session.AddPeer(kPilot, "N172SP");
        session.hostPlayers = {kPilot};
        live.Start();
        session.Deliver(kPilot, MakePlayerPresent(kPilot));
    }

    void PositionAt(double latitude) {
        session.Deliver(kPilot,
                        MakePosition({0, LatitudeRaw(latitude), LongitudeRaw(-97.0), 0}, false));
    }
    // Once ended, no tick acts and the window is not given back; leaving destroys our player
    // and closes the session once, and forgets the acceptance, the traffic and the tracks.
    void ExpectEndedAndLeftOnce() {
        session.Deliver(kPilot, MakePlayerPresent(kPilot));
        live.Receive();
        live.Refresh();
        EXPECT_EQ(std::tuple(session.queued(), session.sent.size()), std::tuple(1u, 1u));
        EXPECT_TRUE(live.leaving() && !live.left() && !live.Unlock());
        EXPECT_TRUE(live.Leave() && !live.Leave());
        EXPECT_EQ(std::tuple(session.destroyedPlayers, session.closeCount),
                  std::tuple(std::vector<int32_t>{kMe}, 1));
        EXPECT_EQ(std::tuple(state.isConnected, state.mainWindowOpen, state.traffic.trafficCount,
                             state.tracks.tracks().size()),
                  std::tuple(kFalse16, kFalse16, 0, 0u));
    }
    // Ticks until one ends the session; how many it took (0: none of `ticks` did).
    int TicksUntilTheEnd(int ticks) {
        for (int tick = 1; tick <= ticks; ++tick) {
            if ((farewell = live.Receive().farewell)) {
                return tick;
            }
        }
        return 0;
    }

    ProgramState state;
    InMemorySession session;
    TimerClock clock{10.0};
    std::optional<std::string> farewell;  // of the tick that ended the session
    LiveSession::SteadyClock::time_point now;
    const LiveSession::Now readNow = [this] { return now; };
    LiveSession live{session, state,  state.traffic, state.tracks, state.airport.magVarGrid,
                     clock,   readNow};
};

// Started, it asks everyone to announce themselves in our name. A tick takes what waits into
// the table and the history, and why the recording stopped, once; our own line goes on top,
// and one that cannot be sent says why. The 30-second refresh (MessageIntakeTest) runs while
// the window is locked too.
TEST_F(LiveSessionTest, TicksFillTheTableAndTheChatAndTheRefreshRunsWhileLockedToo) {
    EXPECT_EQ(session.sentKinds(), std::vector<int32_t>{kinds::kIdentifyRequest});
    session.Deliver(kPilot, MakeSimulatorChat("one"));
    session.recordingFailure = "The disk is full";
    const ReceiveTickResult first = live.Receive();
    const ReceiveTickResult second = live.Receive();
    EXPECT_EQ(std::tie(first.chatChanged, first.recordingFailure, second.chatChanged,
                       second.recordingFailure),
              std::tuple(true, "The disk is full", false, ""));
    EXPECT_TRUE(live.Say("hello").ok());
    session.failures.send = "the session was lost";
    EXPECT_EQ(live.Say("again").failure, "the session was lost");
    EXPECT_EQ(live.chatText(), "ATC: hello\r\nN172SP: one\r\n");

    EXPECT_EQ(state.traffic.trafficCount, 1);
    live.Lock();
    live.Refresh();
    EXPECT_EQ(state.traffic.trafficCount, 0);
}

// The session's clock counts a second a tick and the real time the window stood locked, at the
// clock's speed (a lock within a lock once); the tracks take the positions by this clock, so a
// pilot who flew on while a child window was open is not taken for one many times as fast.
TEST_F(LiveSessionTest, TheLockedTimeCountsOnTheSessionsClockAndTheTracksFollowIt) {
    PositionAt(36.4);
    live.Receive();
    live.Lock();
    now += std::chrono::milliseconds(200);
    live.Lock();
    now += std::chrono::milliseconds(300);
    EXPECT_TRUE(live.Unlock() && live.Unlock());
    PositionAt(36.4 + 6.0 / 3600.0);  // six seconds at 60 knots further north
    live.Receive();
    EXPECT_DOUBLE_EQ(live.secondsInSession(), 7.0);
    ASSERT_TRUE(state.tracks.MotionOf("N172SP").has_value());
    EXPECT_NEAR(state.tracks.MotionOf("N172SP")->speedKt, 60.0, 0.5);
}

// The link is lost on the sixtieth tick without a keep-alive or a player-present message.
TEST_F(LiveSessionTest, SixtyTicksWithoutWordFromTheSessionLoseTheLink) {
    PositionAt(36.4);
    EXPECT_EQ(TicksUntilTheEnd(59), 0);  // the first takes the announcement
    session.Deliver(kPilot, MakeSignal(kinds::kKeepAlive));
    EXPECT_EQ(TicksUntilTheEnd(61), 61);
    EXPECT_EQ(farewell, kConnectionLostMessage);
    ASSERT_NO_FATAL_FAILURE(ExpectEndedAndLeftOnce());
}

// The host's removal ends the session with its message (whose word counts: MessageIntakeTest).
TEST_F(LiveSessionTest, TheHostsRemovalEndsTheSession) {
    session.Deliver(kPilot, MakeSignal(kinds::kRemoved));
    EXPECT_EQ(live.Receive().farewell, kRemovedByHostMessage);
    ASSERT_NO_FATAL_FAILURE(ExpectEndedAndLeftOnce());
}

}  // namespace
}  // namespace scopewatch
