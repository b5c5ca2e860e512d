#include <gtest/gtest.h>

#include "multiplayer/GameMessages.h"
#include "multiplayer/InMemorySession.h"

namespace scopewatch {
namespace {

// The scripted session the window tests stand on refuses calls out of order as the real one
// does; its delivering, receiving and scripted failures are exercised wherever the windows
// meet them.
TEST(InMemorySession, ScriptedSessionBehavesLikeTheRealOne) {
    InMemorySession session;
    session.sessions = {{"Sunday Fly-in", 3, 8}};
    EXPECT_THROW(session.ListSessions(), SessionError);  // not initialised
    session.InitialiseConnection(2);
    ASSERT_EQ(session.ListSessions().size(), 1u);
    EXPECT_THROW(session.CreatePlayer("ATC", "Player"), SessionError);  // not joined
    session.JoinSession(1);
    EXPECT_EQ(session.PlayerName(session.CreatePlayer("ATC", "Player")), "ATC");
    EXPECT_THROW(session.Receive(), SessionError);  // nothing waiting
}

}  // namespace
}  // namespace scopewatch
