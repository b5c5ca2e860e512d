// The session service as the windows use it, over real sockets against our own host. (The whole
// program drives it through sessions with the demo host in tests/app: listing, joining, trading
// messages, a host that vanishes; a mute host fails the join as DirectPlayPeerTest shows.)
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

DirectPlaySessionOptions OptionsAt(uint16_t enumPort) {
    DirectPlaySessionOptions options;
    options.ports = testing::DirectPlayTestPorts(enumPort);
    options.timings = testing::FastTimings();
    return options;
}

// A session at 127.0.0.1 whose steps are recorded as they are signalled.
struct FollowedSession {
    explicit FollowedSession(const DirectPlaySessionOptions& options)
        : session([] { return std::optional<std::string>("127.0.0.1"); }, options) {
        QObject::connect(&session, &SessionService::stepChanged,
                         [this](SessionStep step) { steps.push_back(step); });
        session.InitialiseConnection(2);
    }
    // Runs the event loop until the step signalled last is `step`.
    bool ReachStep(SessionStep step) {
        return SpinUntil([&] { return !steps.empty() && steps.back() == step; }, 3000);
    }
    // Joins the session listed first and creates our player; gives its id.
    int32_t JoinAs(const std::string& nickname) {
        session.JoinSession(1);
        EXPECT_TRUE(ReachStep(SessionStep::kJoined)) << session.StepFailure();
        session.CreatePlayer(nickname, "Player");
        EXPECT_TRUE(ReachStep(SessionStep::kPlayerCreated)) << session.StepFailure();
        return session.CreatedPlayer();
    }

    DirectPlaySession session;
    std::vector<SessionStep> steps;
};

// A step returns at once and its progress comes later from the event loop; meanwhile another
// step is refused as busy. Names travel in Windows-1252. Closing calls the step under way off:
// no signal of it comes, the machine it had joined leaves the host, and the program may end
// once closed() is signalled.
TEST(DirectPlaySession, StepsEndLaterAndClosingCallsTheStepOff) {
    const DirectPlaySessionOptions options = OptionsAt(47705);
    directplay::DirectPlayHost host(options.ports, options.timings);
    ASSERT_TRUE(host.Start({u"Busy \u00e9", 8, {}, directplay::session_flags::kKeepAlive}).ok());
    FollowedSession followed(options);
    DirectPlaySession& session = followed.session;
    session.ListSessions();
    EXPECT_THAT([&] { session.ListSessions(); },
                ThrowsMessage<SessionError>("The session is busy with another operation"));
    EXPECT_TRUE(followed.steps.empty());  // nothing is signalled inside the call
    ASSERT_TRUE(followed.ReachStep(SessionStep::kListed));
    EXPECT_EQ(followed.steps, (std::vector{SessionStep::kListing, SessionStep::kListed}));
    EXPECT_EQ(session.ListedSessions().at(0).name, "Busy \xE9");

    const int32_t me = followed.JoinAs("ATC \xE9");
    ASSERT_TRUE(SpinUntil([&] { return host.table().HasPlayer(static_cast<uint32_t>(me)); }, 3000));
    EXPECT_EQ(host.table().PlayerName(static_cast<uint32_t>(me)), u"ATC \u00e9");
    followed.steps.clear();
    session.CreatePlayer("Second", "Player");
    session.Close();
    bool closed = false;
    QObject::connect(&session, &SessionService::closed, [&] { closed = true; });
    EXPECT_TRUE(SpinUntil([&] { return host.table().machines().empty(); }, 2000));
    EXPECT_FALSE(host.table().HasPlayer(static_cast<uint32_t>(me)));
    EXPECT_TRUE(!session.closing() || SpinUntil([&] { return closed; }, 2000));
    testing::Spin(300);
    EXPECT_TRUE(followed.steps.empty());
}

// Only TCP/IP works; a cancelled address dialog, steps before a connection type, players and
// messages that do not exist fail with their own texts, and so does a line too long to send
// (sent to nobody; relayed: DirectPlayPeerTest). Messages travel both ways with their ids; once
// the host vanishes, the session is lost and sends fail as the lost session they are.
TEST(DirectPlaySession, CallsThatCannotWorkFailWithTheirReasonAndMessagesTravelBothWays) {
    const DirectPlaySessionOptions options = OptionsAt(47700);
    auto host = std::make_unique<directplay::DirectPlayHost>(options.ports, options.timings);
    ASSERT_TRUE(host->Start({u"Short", 8, {}, directplay::session_flags::kKeepAlive}).ok());
    const uint32_t pilot = host->CreatePlayer(u"Pilot", u"Pilot");
    DirectPlaySession cancelled([] { return std::optional<std::string>(); }, options);
    for (const auto& [call, text] : std::vector<std::pair<std::function<void()>, std::string>>{
             {[&] { cancelled.ListSessions(); }, "No connection type is initialised"},
             {[&] { cancelled.JoinSession(1); }, "There is no session number 1"},
             {[&] { cancelled.CreatePlayer("ATC", "Player"); },
              "No connection type is initialised"},
             {[&] { cancelled.ConnectionTypeName(3); }, "There is no connection type 3"},
             {[&] { cancelled.InitialiseConnection(1); },
              "IPX networks are not supported; use TCP/IP"},
             {[&] { cancelled.InitialiseConnection(2); }, "The connection was cancelled"},
             {[&] { cancelled.Receive(); }, "No connection type is initialised"}}) {
        EXPECT_THAT(call, ThrowsMessage<SessionError>(text));
    }

    FollowedSession followed(options);
    DirectPlaySession& session = followed.session;
    session.ListSessions();
    ASSERT_TRUE(followed.ReachStep(SessionStep::kListed));
    const int32_t me = followed.JoinAs("ATC");
    EXPECT_THAT(
        [&] { session.SendToAll(static_cast<int32_t>(pilot), {}); },
        ThrowsMessage<SessionError>("The player " + std::to_string(pilot) + " is not ours"));
    EXPECT_THAT([&] { session.SendToAll(me, MakeChat(std::string(400000, 'x'))); },
                ThrowsMessage<SessionError>(
                    ::testing::HasSubstr("larger than DirectPlay's size field can hold")));
    session.SendToAll(me, MakeSignal(kinds::kJoinRequest));
    ASSERT_TRUE(SpinUntil([&] { return host->peer().deliveries().count() == 1; }, 2000));
    EXPECT_EQ(host->peer().deliveries().Take()->idFrom, static_cast<uint32_t>(me));
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
    ASSERT_TRUE(followed.ReachStep(SessionStep::kLost));
    EXPECT_THAT([&] { session.SendToAll(me, MakeSignal(kinds::kKeepAlive)); },
                ThrowsMessage<SessionError>("The session was lost: " + session.LostReason()));
}

}  // namespace
}  // namespace scopewatch
