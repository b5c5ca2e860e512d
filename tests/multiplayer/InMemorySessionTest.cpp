#include <gtest/gtest.h>

#include "multiplayer/GameMessages.h"
#include "multiplayer/InMemorySession.h"

namespace scopewatch {
namespace {

// Its scripted failures are checked where the windows meet them.
TEST(InMemorySession, ScriptedSessionBehavesLikeTheRealOne) {
    InMemorySession session;
    session.sessions = {{"Sunday Fly-in", 3, 8}};
    EXPECT_THROW(session.ListSessions(), SessionError);  // not initialised
    session.InitialiseConnection(2);
    ASSERT_EQ(session.ListSessions().size(), 1u);
    EXPECT_THROW(session.CreatePlayer("ATC", "Player"), SessionError);  // not joined
    session.JoinSession(1);
    const int32_t me = session.CreatePlayer("ATC", "Player");
    EXPECT_EQ(session.PlayerName(me), "ATC");

    session.AddPeer(7, "Pilot7");
    session.Deliver(7, MakePlayerPresent(7));
    EXPECT_EQ(session.WaitingMessageCount(me), 1);
    ReceivedMessage received = session.Receive();
    EXPECT_EQ(session.PlayerName(received.fromId), "Pilot7");
    EXPECT_EQ(ReadHead(received.message).kind, kinds::kPlayerPresent);
    EXPECT_THROW(session.Receive(), SessionError);

    session.SendToAll(me, MakeSignal(kinds::kJoinRequest));
    EXPECT_EQ(session.sentKinds(), std::vector<int32_t>{kinds::kJoinRequest});
}

}  // namespace
}  // namespace scopewatch
