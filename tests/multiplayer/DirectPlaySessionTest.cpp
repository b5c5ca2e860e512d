// The session service as the windows use it, over real sockets against our own host. (The whole
// program drives it through sessions with the demo host in tests/app: listing, joining, trading
// messages, a host that vanishes; a mute host fails the player creation as DirectPlayPeerTest
// shows.)
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "multiplayer/DirectPlaySession.h"
#include "multiplayer/GameMessages.h"
#include "support/DirectPlayLoopback.h"
#include "support/SpinEventLoop.h"

namespace scopewatch {
namespace {

using testing::SpinUntil;
using ::testing::ThrowsMessage;

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

// Only TCP/IP works; a cancelled address dialog, steps before a connection type, players and
// messages that do not exist fail with their own texts. Messages travel both ways with their
// ids; once the host vanishes, sends fail as the lost session they are.
TEST(DirectPlaySession, CallsThatCannotWorkFailWithTheirReasonAndMessagesTravelBothWays) {
    DirectPlaySessionOptions options;
    options.ports = testing::DirectPlayTestPorts(47700);
    options.timings = testing::FastTimings();
    auto host = std::make_unique<directplay::DirectPlayHost>(options.ports, options.timings);
    ASSERT_EQ(host->Start({u"Short", 8, {}, directplay::session_flags::kKeepAlive}), std::nullopt);
    const uint32_t pilot = host->CreatePlayer(u"Pilot", u"Pilot");
    DirectPlaySession cancelled([] { return std::optional<std::string>(); }, options);
    std::vector<std::string> failed;
    QObject::connect(&cancelled, &SessionService::stepFailed,
                     [&](const std::string& why) { failed.push_back(why); });
    cancelled.ListSessions();
    cancelled.JoinSession(1);
    cancelled.CreatePlayer("ATC", "Player");
    EXPECT_THAT([&] { cancelled.ConnectionTypeName(3); },
                ThrowsMessage<SessionError>("There is no connection type 3"));
    EXPECT_THAT([&] { cancelled.InitialiseConnection(1); },
                ThrowsMessage<SessionError>("IPX networks are not supported; use TCP/IP"));
    EXPECT_THAT([&] { cancelled.InitialiseConnection(2); },
                ThrowsMessage<SessionError>("The connection was cancelled"));
    EXPECT_THAT([&] { cancelled.Receive(); },
                ThrowsMessage<SessionError>("No connection type is initialised"));
    ASSERT_TRUE(SpinUntil([&] { return failed.size() == 3; }, 2000));
    EXPECT_EQ(failed, (std::vector<std::string>{"No connection type is initialised",
                                                "There is no session number 1",
                                                "No connection type is initialised"}));

    DirectPlaySession session([] { return std::optional<std::string>("127.0.0.1"); }, options);
    session.InitialiseConnection(2);
    int32_t me = 0;
    QObject::connect(&session, &SessionService::sessionsListed, [&] { session.JoinSession(1); });
    QObject::connect(&session, &SessionService::sessionJoined,
                     [&] { session.CreatePlayer("ATC", "Player"); });
    QObject::connect(&session, &SessionService::playerCreated, [&](int32_t id) { me = id; });
    session.ListSessions();
    ASSERT_TRUE(SpinUntil([&] { return me != 0; }, 3000));
    EXPECT_THAT(
        [&] { session.SendToAll(static_cast<int32_t>(pilot), {}); },
        ThrowsMessage<SessionError>("The player " + std::to_string(pilot) + " is not ours"));
    session.SendToAll(me, MakeSignal(kinds::kJoinRequest));
    ASSERT_TRUE(SpinUntil([&] { return host->WaitingCount() == 1; }, 2000));
    EXPECT_EQ(host->TakeDelivery()->idFrom, static_cast<uint32_t>(me));
    host->SendToAll(pilot, MakePlayerPresent(me).bytes());
    ASSERT_TRUE(SpinUntil([&] { return session.WaitingMessageCount(me) == 1; }, 2000));
    const ReceivedMessage received = session.Receive();
    EXPECT_EQ(std::tie(received.fromId, received.toId), std::tuple(pilot, me));
    EXPECT_EQ(received.message.bytes(), MakePlayerPresent(me).bytes());
    EXPECT_THAT([&] { session.Receive(); }, ThrowsMessage<SessionError>("No message is waiting"));
    EXPECT_EQ(session.PlayerName(static_cast<int32_t>(pilot)), "Pilot");
    EXPECT_THAT([&] { session.PlayerName(12345); },
                ThrowsMessage<SessionError>("No player has the id 12345"));

    host.reset();
    ASSERT_TRUE(SpinUntil([&] { return session.SessionLost(); }, 3000));
    EXPECT_THAT([&] { session.SendToAll(me, MakeSignal(kinds::kKeepAlive)); },
                ThrowsMessage<SessionError>("The session was lost: " + session.LostReason()));
}

}  // namespace
}  // namespace scopewatch
