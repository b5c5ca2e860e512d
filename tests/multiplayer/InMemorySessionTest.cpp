#include <gtest/gtest.h>

#include "multiplayer/GameMessages.h"
#include "support/InMemorySession.h"
#include "support/SessionSteps.h"

namespace scopewatch {
namespace {

// The scripted session the window tests stand on refuses calls out of order as the real one
// does; its delivering, receiving and scripted failures are exercised wherever the windows
// meet them.
TEST(InMemorySession, ScriptedSessionBehavesLikeTheRealOne) {
    InMemorySession session;
    session.sessions = {{"Sunday Fly-in", 3, 8}};
    EXPECT_THROW(testing::ListNow(session), SessionError);  // not initialised
    session.InitialiseConnection(2);
    ASSERT_EQ(testing::ListNow(session).size(), 1u);
    EXPECT_THROW(testing::CreatePlayerNow(session, "ATC"), SessionError);  // not joined
    testing::JoinNow(session, 1);
    EXPECT_EQ(session.PlayerName(testing::CreatePlayerNow(session, "ATC")), "ATC");
    EXPECT_THROW(session.Receive(), SessionError);  // nothing waiting
}

}  // namespace
}  // namespace scopewatch
