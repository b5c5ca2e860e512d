// The session service as the windows use it, over real sockets against our own host. (The whole
// program drives it through sessions with the demo host in tests/app: listing, joining, trading
// messages, a host that vanishes; a mute host fails the player creation as DirectPlayPeerTest
// shows.)
#include <gtest/gtest.h>

#include "multiplayer/DirectPlaySession.h"
#include "support/DirectPlayLoopback.h"
#include "support/SpinEventLoop.h"

namespace scopewatch {
namespace {

using testing::SpinUntil;

// A step returns at once and ends from the event loop; meanwhile another step is refused as
// busy. Names travel in Windows-1252. Closing calls the step under way off: its signal never
// comes, the machine it had joined leaves the host, and the program may end once closed() is
// signalled.
TEST(DirectPlaySession, StepsEndLaterAndClosingCallsTheStepOff) {
    DirectPlaySessionOptions options;
    options.ports = testing::DirectPlayTestPorts(47705);
    options.timings = testing::FastTimings();
    directplay::DirectPlayHost host(options.ports, options.timings);
    ASSERT_EQ(host.Start({u"Busy \u00e9", 8, {}, directplay::session_flags::kKeepAlive}),
              std::nullopt);
    DirectPlaySession session([] { return std::optional<std::string>("127.0.0.1"); }, options);
    session.InitialiseConnection(2);
    std::vector<std::string> ended;
    int32_t me = 0;
    QObject::connect(&session, &SessionService::sessionsListed,
                     [&](const auto& list) { ended.push_back(list.at(0).name); });
    QObject::connect(&session, &SessionService::sessionJoined, [&] { ended.push_back("joined"); });
    QObject::connect(&session, &SessionService::playerCreated, [&](int32_t id) {
        me = id;
        ended.push_back("created");
    });
    QObject::connect(&session, &SessionService::stepFailed,
                     [&](const std::string& why) { ended.push_back(why); });
    session.ListSessions();
    session.ListSessions();
    EXPECT_TRUE(ended.empty());  // nothing ends inside the call
    ASSERT_TRUE(SpinUntil([&] { return ended.size() == 2; }, 3000));
    EXPECT_EQ(ended, (std::vector<std::string>{"The session is busy with another operation",
                                               "Busy \xE9"}));

    session.JoinSession(1);
    ASSERT_TRUE(SpinUntil([&] { return ended.size() == 3 && host.machines().size() == 1; }, 3000));
    session.CreatePlayer("ATC \xE9", "Player");
    ASSERT_TRUE(SpinUntil([&] { return host.HasPlayer(static_cast<uint32_t>(me)); }, 3000));
    EXPECT_EQ(host.PlayerName(static_cast<uint32_t>(me)), u"ATC \u00e9");
    ended.clear();
    session.CreatePlayer("Second", "Player");
    session.Close();
    bool closed = false;
    QObject::connect(&session, &SessionService::closed, [&] { closed = true; });
    EXPECT_TRUE(SpinUntil([&] { return host.machines().empty(); }, 2000));
    EXPECT_FALSE(host.HasPlayer(static_cast<uint32_t>(me)));
    EXPECT_TRUE(!session.closing() || SpinUntil([&] { return closed; }, 2000));
    testing::Spin(300);
    EXPECT_TRUE(ended.empty());
}

}  // namespace
}  // namespace scopewatch
