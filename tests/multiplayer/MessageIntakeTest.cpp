#include <gtest/gtest.h>

#include <limits>

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
        return intake.ReceiveMessages([this](const std::string& line) { chat.push_back(line); });
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
    std::vector<std::string> chat;
};

// Players are listed once, in order of first announcement; positions and aircraft
// information update every entry of the sender's name, the magnetic variation taken off the
// heading and zero bytes out of the title.
TEST_F(MessageIntakeTest, PlayersAreListedOnceInOrderOfAnnouncementAndUpdatesFollowTheirNames) {
    Position(7, 36.4, -97.0, 1000, 90 * 1024 / 360 * 4);  // before the announcement: nothing
    Announce(8);
    Announce(7);
    Announce(8);
    Position(7, 36.4, -97.0, 1000, 90 * 1024 / 360 * 4, true);
    EXPECT_EQ(Tick(), IntakeEnd::Normal);
    ASSERT_EQ(state.traffic.trafficCount, 2);
    EXPECT_EQ(Entry(1).playerName, "Pilot8");
    EXPECT_EQ(Entry(1).latitude, 0.0);
    EXPECT_EQ(Entry(2).playerName, "Pilot7");
    EXPECT_NEAR(Entry(2).latitude, 36.4, 1e-5);
    EXPECT_NEAR(Entry(2).longitude, -97.0, 1e-6);
    EXPECT_EQ(Entry(2).altitudeFt, 3281);  // 1000 m
    EXPECT_EQ(Entry(2).heading, 90.0);     // no variation in an empty grid

    session.AddPeer(9, "Pilot7");  // a second player of that name shares the entry
    state.airport.magVarGrid.values[MagVarGrid::IndexAt(36.4, -97.0)] = 1821;  // 10 deg east
    Announce(9);
    Position(9, 36.4, -97.0, 300, 90 * 1024 / 360 * 4);
    session.Deliver(9, MakeAircraftInfo({1, std::string("Boe\0ing\0", 8)}));
    Tick();
    ASSERT_EQ(state.traffic.trafficCount, 2);
    EXPECT_EQ(Entry(2).heading, 80.0);
    EXPECT_EQ(Entry(2).altitudeFt, 984);
    EXPECT_EQ(Entry(2).aircraftType, "Jet Plane");
    EXPECT_EQ(Entry(2).aircraftTitle, "Boeing");
    session.Deliver(7, MakeAircraftInfo({9, "Odd"}));
    Tick();
    EXPECT_EQ(Entry(2).aircraftType, "");
    EXPECT_EQ(Entry(2).aircraftTitle, "Odd");
}

// The heading is bits 2 to 11 of its word; the variation at -180 degrees is taken off.
TEST_F(MessageIntakeTest, HeadingWordsAndTheLongitudeLimit) {
    EXPECT_EQ(HeadingFromWord(0xFFC), 360);  // bits 2 to 11 all set
    EXPECT_EQ(HeadingFromWord(0x1000), 0);   // bit 12 is not part of the heading
    EXPECT_EQ(HeadingFromWord(256 * 4), 90);
    EXPECT_EQ(HeadingFromWord(-4), 360);  // -1 in the low 10 bits

    state.airport.magVarGrid.values[MagVarGrid::IndexAt(0.0, -180.0)] = -3641;  // 20 deg west
    Announce(7);
    session.Deliver(7, MakePosition({0xFFC, 0, std::numeric_limits<int32_t>::min(), 0}, false));
    Tick();
    EXPECT_EQ(Entry(1).longitude, -180.0);
    EXPECT_EQ(Entry(1).heading, 20.0);  // 360 true, 20 degrees west
}

// Before acceptance nobody is listed and identification is not answered, but chat is read: a
// line shows its text without zero characters, on one line and Windows-1252 as it is; a text of
// length 1 (its zero only) is no line. Once connected, we answer with our own id.
TEST_F(MessageIntakeTest, OnlyAConnectedControllerListsPlayersAndAnswersButChatIsRead) {
    state.isConnected = kFalse16;
    Announce(7);
    session.Deliver(7, MakeSignal(kinds::kIdentifyRequest));
    Position(7, 1.0, 1.0, 0, 0);
    SessionMessage one;
    one.WriteInt32(kinds::kChat);
    one.WriteInt32(1);
    one.WriteByte('x');
    session.Deliver(7, one);
    session.Deliver(7, MakeSimulatorChat("Hello"));    // length 6: "Hello" and a zero
    session.Deliver(7, MakeChat("Hi"));                // another copy of this program
    session.Deliver(7, MakeSimulatorChat("caf\xe9"));  // Windows-1252 stays as it is
    session.Deliver(7, MakeSimulatorChat("hi\r\nN172SP: cleared to land"));  // one line
    Tick();
    EXPECT_EQ(state.traffic.trafficCount, 0);
    EXPECT_TRUE(session.sent.empty());
    EXPECT_EQ(chat, (std::vector<std::string>{"Pilot7: Hello", "Pilot7: Hi", "Pilot7: caf\xe9",
                                              "Pilot7: hi  N172SP: cleared to land"}));

    state.isConnected = kTrue16;
    session.Deliver(7, MakeSignal(kinds::kIdentifyRequest));
    Tick();
    ASSERT_EQ(session.sentKinds(), std::vector<int32_t>{kinds::kPlayerPresent});
    SessionMessage answer = session.sent[0].message;
    EXPECT_EQ(ReadHead(answer).length, 4);
    EXPECT_EQ(ReadPlayerId(answer), kMe);
    EXPECT_EQ(session.sent[0].fromId, kMe);
}

// Sixty ticks without a keep-alive or player-present message lose the link.
TEST_F(MessageIntakeTest, TheWatchdogEndsTheSessionAfterSixtySilentTicks) {
    for (int tick = 1; tick < 59; ++tick) {
        ASSERT_EQ(Tick(), IntakeEnd::Normal) << tick;
    }
    session.Deliver(7, MakeSignal(kinds::kKeepAlive));
    EXPECT_EQ(Tick(), IntakeEnd::Normal);  // the 59th tick: one second was left
    EXPECT_EQ(intake.linkWatchdog(), kLinkWatchdogSeconds);
    state.isConnected = kFalse16;
    Announce(7);  // a player-present message counts even before acceptance
    Tick();
    EXPECT_EQ(intake.linkWatchdog(), kLinkWatchdogSeconds);
    for (int tick = 1; tick < 60; ++tick) {
        Tick();
    }
    EXPECT_EQ(Tick(), IntakeEnd::ConnectionLost);
}

// The host's removal ends the tick and leaves the rest queued (another player's word on it is
// not taken); so does a message that cannot be read, without a word, and the next tick goes
// on.
TEST_F(MessageIntakeTest, RemovalOrAFailingMessageEndsTheTickAndTheNextTickGoesOn) {
    session.hostPlayers = {7};
    session.Deliver(9, MakeSignal(kinds::kRemoved));
    EXPECT_EQ(Tick(), IntakeEnd::Normal);
    session.Deliver(7, MakeSignal(kinds::kRemoved));
    Announce(7);
    EXPECT_EQ(Tick(), IntakeEnd::RemovedByHost);
    EXPECT_EQ(session.queued(), 1U);
    EXPECT_EQ(state.traffic.trafficCount, 0);

    session.Deliver(8, MakeSignal(kinds::kPlayerPresent));  // without the player id
    Announce(8);
    EXPECT_EQ(Tick(), IntakeEnd::Normal);
    EXPECT_EQ(state.traffic.trafficCount, 1);
    EXPECT_EQ(session.queued(), 1U);
    Tick();
    EXPECT_EQ(state.traffic.trafficCount, 2);

    session.failures.waitingCount = "gone";
    EXPECT_EQ(Tick(), IntakeEnd::Normal);
}

// Every 30 s the table is emptied and everyone asked again, even when the asking fails; not
// before acceptance.
TEST_F(MessageIntakeTest, RefreshAsksEveryoneAgainAndEmptiesTheTable) {
    Announce(7);
    Tick();
    intake.RefreshTraffic();
    EXPECT_EQ(state.traffic.trafficCount, 0);
    EXPECT_EQ(Entry(1), TrafficRecord{});
    EXPECT_EQ(session.sentKinds(),
              (std::vector<int32_t>{kinds::kIdentifyRequest, kinds::kAircraftInfoRequest}));
    Announce(8);
    Tick();
    EXPECT_EQ(Entry(1).playerName, "Pilot8");

    session.failures.send = "broken";
    intake.RefreshTraffic();  // a failing send still empties the table
    EXPECT_EQ(state.traffic.trafficCount, 0);
    state.isConnected = kFalse16;
    Announce(8);
    intake.RefreshTraffic();
    EXPECT_EQ(session.sent.size(), 2U);
}

// The table holds twenty players; a twenty-first waits for room.
TEST(TrafficTable, ATwentyFirstPlayerIsLeftOutUntilThereIsRoom) {
    TrafficTable table;
    for (int i = 1; i <= 21; ++i) {
        AddPlayer(table, "P" + std::to_string(i));
    }
    EXPECT_EQ(table.trafficCount, 20);
    EXPECT_EQ(table.trafficTable[20].playerName, "P20");
    ClearTraffic(table);
    AddPlayer(table, "P21");
    EXPECT_EQ(table.trafficTable[1].playerName, "P21");
}

}  // namespace
}  // namespace scopewatch
