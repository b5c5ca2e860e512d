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
constexpr int32_t kOther = 8;

class LiveSessionTest : public ::testing::Test {
  protected:
    LiveSessionTest() {
        state.myPlayerId = kMe;
        state.isConnected = kTrue16;
        session.AddPeer(kMe, "ATC");
        session.AddPeer(kPilot, "N172SP");
        session.AddPeer(kOther, "N8");
        session.hostPlayers = {kPilot};
        live.Start();
    }

    void Deliver(int32_t from, const SessionMessage& message) { session.Deliver(from, message); }
    void PositionAt(double latitude) {
        Deliver(kPilot, MakePosition({0, LatitudeRaw(latitude), LongitudeRaw(-97.0), 300}, false));
    }
    // Ticks until the session ends, at most `ticks` times; how many ticks it took (0: it did
    // not end).
    int TicksUntilTheEnd(int ticks) {
        for (int tick = 1; tick <= ticks; ++tick) {
            if ((farewell = live.Receive().farewell)) {
                return tick;
            }
        }
        return 0;
    }
    // Once ended, no tick acts, the window is not given back, and leaving leaves once and
    // forgets the traffic and the tracks.
    void ExpectEndedAndLeftOnce() {
        Deliver(kPilot, MakePlayerPresent(kPilot));
        const size_t sent = session.sent.size();
        EXPECT_FALSE(live.Receive().farewell);
        live.Refresh();
        EXPECT_EQ(std::tuple(session.queued(), session.sent.size()), std::tuple(1u, sent));
        EXPECT_TRUE(live.leaving() && !live.left() && !live.Unlock());
        EXPECT_TRUE(live.Leave());
        EXPECT_FALSE(live.Leave());
        EXPECT_EQ(session.destroyedPlayers, std::vector<int32_t>{kMe});
        EXPECT_EQ(std::tuple(state.isConnected, state.traffic.trafficCount),
                  std::tuple(kFalse16, 0));
        EXPECT_TRUE(state.tracks.tracks().empty());
    }

    ProgramState state;
    InMemorySession session;
    TimerClock clock{10.0};
    std::optional<std::string> farewell;
    LiveSession::SteadyClock::time_point now;
    LiveSession live{
        session, state, state.traffic, state.tracks, state.airport.magVarGrid, clock, [this] {
            return now;
        }};
};

// Started, it asks everyone to announce themselves in our name. The lines of a tick go on top
// of the history together, the last one topmost, and our own lines on top of them; a line that
// cannot be sent says why and leaves the history as it was. Every 30 seconds, locked or not,
// the table is emptied and everyone asked again.
TEST_F(LiveSessionTest, TicksBringTrafficAndChatNewestOnTopAndTheRefreshAsksAgain) {
    ASSERT_EQ(session.sentKinds(), std::vector<int32_t>{kinds::kIdentifyRequest});
    EXPECT_EQ(session.sent[0].fromId, kMe);
    Deliver(kPilot, MakePlayerPresent(kPilot));
    Deliver(kPilot, MakeSimulatorChat("one"));
    Deliver(kOther, MakeSimulatorChat("two"));
    EXPECT_TRUE(live.Receive().chatChanged);
    EXPECT_EQ(state.traffic.trafficCount, 1);
    EXPECT_EQ(live.chatText(), "N8: two\r\nN172SP: one\r\n");
    EXPECT_TRUE(live.Say("hello").ok());
    EXPECT_EQ(live.chatText(), "ATC: hello\r\nN8: two\r\nN172SP: one\r\n");
    EXPECT_FALSE(live.Receive().chatChanged);
    session.failures.send = "the session was lost";
    EXPECT_EQ(live.Say("again").failure, "the session was lost");
    EXPECT_EQ(live.chatText(), "ATC: hello\r\nN8: two\r\nN172SP: one\r\n");

    session.failures.send.reset();
    session.sent.clear();
    live.Lock();
    live.Refresh();
    EXPECT_EQ(state.traffic.trafficCount, 0);
    EXPECT_EQ(session.sentKinds(),
              (std::vector<int32_t>{kinds::kIdentifyRequest, kinds::kAircraftInfoRequest}));
}

// The session's clock counts a second a tick and the real time the window stood locked, at the
// clock's speed (a lock within a lock once); the tracks take the positions by this clock, so a
// pilot who flew on while a child window was open is not taken for one many times as fast.
TEST_F(LiveSessionTest, TheLockedTimeCountsOnTheSessionsClockAndTheTracksFollowIt) {
    Deliver(kPilot, MakePlayerPresent(kPilot));
    PositionAt(36.4);
    live.Receive();
    live.Lock();
    now += std::chrono::milliseconds(200);
    live.Lock();
    now += std::chrono::milliseconds(300);
    EXPECT_TRUE(live.Unlock());
    EXPECT_TRUE(live.Unlock());
    EXPECT_DOUBLE_EQ(live.secondsInSession(), 6.0);
    PositionAt(36.4 + 6.0 / 3600.0);  // six seconds at 60 knots further north
    live.Receive();
    EXPECT_DOUBLE_EQ(state.tracks.tracks().at("N172SP").lastSeen, 7.0);
    const std::optional<GroundMotion> motion = state.tracks.MotionOf("N172SP");
    ASSERT_TRUE(motion.has_value());
    EXPECT_NEAR(motion->speedKt, 60.0, 0.5);
}

// Sixty ticks without a keep-alive or a player-present message lose the link; the tick that
// finds it lost tells the user so.
TEST_F(LiveSessionTest, SixtyTicksWithoutWordFromTheSessionLoseTheLink) {
    EXPECT_EQ(TicksUntilTheEnd(30), 0);
    Deliver(kPilot, MakeSignal(kinds::kKeepAlive));
    live.Receive();
    EXPECT_EQ(TicksUntilTheEnd(60), 60);
    EXPECT_EQ(farewell, kConnectionLostMessage);
    ASSERT_NO_FATAL_FAILURE(ExpectEndedAndLeftOnce());
}

// The host's removal ends the session with its message (whose word counts: MessageIntakeTest).
TEST_F(LiveSessionTest, TheHostsRemovalEndsTheSession) {
    Deliver(kPilot, MakePlayerPresent(kPilot));
    PositionAt(36.4);
    live.Receive();
    ASSERT_EQ(state.tracks.tracks().size(), 1u);
    Deliver(kPilot, MakeSignal(kinds::kRemoved));
    EXPECT_EQ(live.Receive().farewell, kRemovedByHostMessage);
    ASSERT_NO_FATAL_FAILURE(ExpectEndedAndLeftOnce());
}

}  // namespace
}  // namespace scopewatch
