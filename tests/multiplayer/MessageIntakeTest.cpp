#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "geo/MagVarGrid.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/MessageIntake.h"
#include "state/ProgramState.h"
#include "support/InMemorySession.h"

namespace scopewatch {
namespace {

constexpr int32_t kMe = 101;

class MessageIntakeTest : public ::testing::Test {
  protected:
    MessageIntakeTest() : intake(session, state, state.traffic, state.airport.magVarGrid) {
        state.myPlayerId = kMe;
        state.isConnected = kTrue16;
        session.AddPeer(kMe, "ATC");
        session.AddPeer(7, "Pilot7");
        session.AddPeer(8, "Pilot8");
    }

    IntakeEnd Tick() {
        return intake.ReceiveMessages([](const std::string&) {});  // chat: the main window's tests
    }
    void Announce(int32_t id) { session.Deliver(id, MakePlayerPresent(id)); }
    void Position(int32_t from, double latitude, double longitude, int32_t metres,
                  int32_t headingWord, bool longForm = false) {
        session.Deliver(from, MakePosition({headingWord, LatitudeRaw(latitude),
                                            LongitudeRaw(longitude), metres},
                                           longForm));
    }
    const TrafficRecord& Entry(int index) const {
        return state.traffic.trafficTable.at(static_cast<size_t>(index));
    }

    ProgramState state;
    InMemorySession session;
    MessageIntake intake;
};

// Players are listed once, in order of first announcement; positions and aircraft information
// update every entry of the sender's name, the magnetic variation (at -180 degrees too) taken off
// the heading (bits 2 to 11 of its word) and zero bytes out of the title.
TEST_F(MessageIntakeTest, PlayersAreListedOnceInOrderOfAnnouncementAndUpdatesFollowTheirNames) {
    Position(7, 36.4, -97.0, 1000, 90 * 1024 / 360 * 4);  // before the announcement: nothing
    Announce(8);
    Announce(7);
    Announce(8);
    Position(7, 36.4, -97.0, 1000, 90 * 1024 / 360 * 4, true);
    EXPECT_EQ(Tick(), IntakeEnd::Normal);
    ASSERT_EQ(state.traffic.trafficCount, 2);
    EXPECT_EQ(std::tie(Entry(1).playerName, Entry(1).latitude), std::tuple("Pilot8", 0.0));
    EXPECT_EQ(Entry(2).playerName, "Pilot7");
    EXPECT_NEAR(Entry(2).latitude, 36.4, 1e-5);
    EXPECT_NEAR(Entry(2).longitude, -97.0, 1e-6);
    EXPECT_EQ(std::tie(Entry(2).altitudeFt, Entry(2).heading), std::tuple(3281, 90.0));

    session.AddPeer(9, "Pilot7");  // a second player of that name shares the entry
    state.airport.magVarGrid.values[MagVarGrid::IndexAt({36.4, -97.0})] = 1821;  // 10 deg east
    Announce(9);
    Position(9, 36.4, -97.0, 300, 90 * 1024 / 360 * 4);
    session.Deliver(9, MakeAircraftInfo({1, std::string("Boe\0ing\0", 8)}));
    Tick();
    EXPECT_EQ(std::tie(Entry(2).heading, Entry(2).altitudeFt), std::tuple(80.0, 984));
    EXPECT_EQ(std::tie(Entry(2).aircraftType, Entry(2).aircraftTitle),
              std::tuple("Jet Plane", "Boeing"));
    session.Deliver(7, MakeAircraftInfo({9, "Odd"}));
    state.airport.magVarGrid.values[MagVarGrid::IndexAt({0.0, -180.0})] = -3641;  // 20 deg west
    session.Deliver(8, MakePosition({0xFFC, 0, std::numeric_limits<int32_t>::min(), 0}, false));
    Tick();
    EXPECT_EQ(std::tie(Entry(2).aircraftType, Entry(2).aircraftTitle), std::tuple("", "Odd"));
    EXPECT_EQ(std::tie(Entry(1).longitude, Entry(1).heading), std::tuple(-180.0, 20.0));
    EXPECT_EQ(std::tuple(HeadingFromWord(0x1000), HeadingFromWord(-4)), std::tuple(0, 360));
}

// Once accepted, we answer identification with our own id, and the table is emptied every 30 s
// and everyone asked again. The host's removal ends the tick and leaves the rest queued; another
// player's word on it is not taken. A failing session ends a tick without a word. (Chat read
// and the link watchdog: LiveSessionTest.)
TEST_F(MessageIntakeTest, WeAnswerIdentificationAndOnlyTheHostsRemovalEndsTheSession) {
    session.Deliver(7, MakeSignal(kinds::kIdentifyRequest));
    Announce(7);
    Tick();
    ASSERT_EQ(session.sentKinds(), std::vector<int32_t>{kinds::kPlayerPresent});
    SessionMessage answer = session.sent[0].message;
    EXPECT_EQ(ReadHead(answer).length, 4);  // read first
    EXPECT_EQ(std::tuple(ReadPlayerId(answer), session.sent[0].fromId), std::tuple(kMe, kMe));
    EXPECT_EQ(state.traffic.trafficCount, 1);
    intake.RefreshTraffic();
    EXPECT_EQ(state.traffic.trafficCount, 0);
    EXPECT_EQ(session.sentKinds().back(), kinds::kAircraftInfoRequest);  // after kIdentifyRequest

    session.hostPlayers = {7};
    session.Deliver(9, MakeSignal(kinds::kRemoved));
    EXPECT_EQ(Tick(), IntakeEnd::Normal);
    session.Deliver(7, MakeSignal(kinds::kRemoved));
    Announce(7);
    EXPECT_EQ(Tick(), IntakeEnd::RemovedByHost);
    EXPECT_EQ(std::tuple(session.queued(), state.traffic.trafficCount), std::tuple(1U, 0));
    session.failures.waitingCount = "gone";
    EXPECT_EQ(Tick(), IntakeEnd::Normal);
}

// A session with a fault of the program's own behind it.
class FaultySession : public InMemorySession {
    ReceivedMessage Receive() override { throw std::out_of_range("a fault of the program"); }
};

// A message that cannot be read ends its tick and the next tick goes on with the rest; a fault
// of the program is not taken for an unreadable message.
TEST_F(MessageIntakeTest, AnUnreadableMessageEndsItsTickButAFaultOfTheProgramGoesOn) {
    session.Deliver(7, SessionMessage({0x23, 0x10, 0}));  // three bytes of a head
    Announce(7);
    Tick();
    EXPECT_EQ(std::tuple(intake.ticksCutShort(), state.traffic.trafficCount), std::tuple(1, 0));
    Tick();
    EXPECT_EQ(state.traffic.trafficCount, 1);
    FaultySession faulty;
    faulty.Deliver(7, MakePlayerPresent(7));
    MessageIntake faultyIntake(faulty, state, state.traffic, state.airport.magVarGrid);
    EXPECT_THROW(faultyIntake.ReceiveMessages({}), std::out_of_range);
}

}  // namespace
}  // namespace scopewatch
