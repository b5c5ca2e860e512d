// The session service as the windows use it, over real sockets against our own host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTimer>

#include "multiplayer/DirectPlaySession.h"
#include "multiplayer/GameMessages.h"
#include "support/DirectPlayLoopback.h"
#include "support/SessionSteps.h"
#include "support/SpinEventLoop.h"

namespace scopewatch {
namespace {

using testing::CreatePlayerNow;
using testing::JoinNow;
using testing::ListNow;
using testing::SpinUntil;

DirectPlaySessionOptions Options(uint16_t enumPort) {
    DirectPlaySessionOptions options;
    options.ports = testing::DirectPlayTestPorts(enumPort);
    options.timings = testing::FastTimings();
    options.enumerationWindowMs = 1500;
    return options;
}

HostAddressPrompt Answer(std::optional<std::string> address) {
    return [address] { return address; };
}

// The connection types are numbered from 1, only TCP/IP works, and a cancelled address
// dialog is a session error with its own text.
TEST(DirectPlaySession, ListsConnectionTypesOneBasedAndACancelledDialogIsAnError) {
    DirectPlaySession session(Answer("127.0.0.1"), Options(47700));
    ASSERT_EQ(session.ConnectionTypeCount(), 2);
    EXPECT_EQ(session.ConnectionTypeName(1), "IPX Connection For DirectPlay");
    EXPECT_EQ(session.ConnectionTypeName(2), "Internet TCP/IP Connection For DirectPlay");
    EXPECT_THROW(session.ConnectionTypeName(3), SessionError);
    EXPECT_THROW(session.InitialiseConnection(1), SessionError);
    EXPECT_THROW(ListNow(session), SessionError);  // nothing initialised
    DirectPlaySession cancelled(Answer(std::nullopt), Options(47701));
    EXPECT_THAT([&] { cancelled.InitialiseConnection(2); },
                ::testing::ThrowsMessage<SessionError>("The connection was cancelled"));
}

// Joining, our player and messages both ways over real sockets, names in Windows-1252.
TEST(DirectPlaySession, JoinsCreatesAPlayerAndTradesMessagesWithNames) {
    const DirectPlaySessionOptions options = Options(47702);
    directplay::DirectPlayHost host(options.ports, options.timings);
    directplay::HostSettings settings;
    settings.sessionName = u"Sunday Fly-in \u00e9";
    ASSERT_EQ(host.Start(settings), std::nullopt);
    const uint32_t pilot = host.CreatePlayer(u"Pilot\u00e9", u"Pilot");

    DirectPlaySession session(Answer("127.0.0.1"), options);
    session.InitialiseConnection(2);
    const auto sessions = ListNow(session);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].name, "Sunday Fly-in \xE9");  // Windows-1252
    EXPECT_EQ(sessions[0].currentPlayers, 1);
    EXPECT_EQ(sessions[0].maxPlayers, 8);
    EXPECT_THROW(JoinNow(session, 2), SessionError);
    JoinNow(session, 1);
    const int32_t me = CreatePlayerNow(session, "ATC \xE9");
    ASSERT_GT(me, 0);
    EXPECT_EQ(session.PlayerName(me), "ATC \xE9");
    EXPECT_THROW(session.PlayerName(12345), SessionError);

    session.SendToAll(me, MakeSignal(kinds::kJoinRequest));
    ASSERT_TRUE(SpinUntil([&] { return host.WaitingCount() == 1; }, 2000));
    EXPECT_EQ(host.TakeDelivery()->idFrom, static_cast<uint32_t>(me));

    host.SendToAll(pilot, MakePlayerPresent(me).bytes());
    ASSERT_TRUE(SpinUntil([&] { return session.WaitingMessageCount(me) == 1; }, 2000));
    ReceivedMessage received = session.Receive();
    EXPECT_EQ(received.fromId, static_cast<int32_t>(pilot));
    EXPECT_EQ(received.toId, me);
    EXPECT_EQ(received.message.bytes(), MakePlayerPresent(me).bytes());
    EXPECT_EQ(session.WaitingMessageCount(me), 0);
    EXPECT_THROW(session.Receive(), SessionError);

    session.DestroyPlayer(me);
    ASSERT_TRUE(SpinUntil([&] { return !host.HasPlayer(static_cast<uint32_t>(me)); }, 2000));
    session.Close();
}

// No session is an empty list. A host that vanishes makes sends fail; one that stops answering
// fails the player creation, and then every call fails as a session error.
TEST(DirectPlaySession, NoSessionIsAnEmptyListAndALostOrMuteHostFailsTheCalls) {
    DirectPlaySession empty(Answer("127.0.0.1"), Options(47703));
    empty.InitialiseConnection(2);
    EXPECT_TRUE(ListNow(empty).empty());

    for (const bool vanishes : {true, false}) {
        SCOPED_TRACE(vanishes ? "vanishes" : "mute");
        DirectPlaySessionOptions options = Options(vanishes ? 47704 : 47706);
        options.timings.replyTimeoutMs = vanishes ? options.timings.replyTimeoutMs : 300;
        auto host = std::make_unique<directplay::DirectPlayHost>(options.ports, options.timings);
        ASSERT_EQ(host->Start({u"Short", 8, {}, directplay::session_flags::kKeepAlive}),
                  std::nullopt);
        DirectPlaySession session(Answer("127.0.0.1"), options);
        session.InitialiseConnection(2);
        ASSERT_EQ(ListNow(session).size(), 1u);
        JoinNow(session, 1);
        if (vanishes) {
            const int32_t me = CreatePlayerNow(session, "ATC");
            host.reset();
            ASSERT_TRUE(SpinUntil([&] { return session.SessionLost(); }, 3000));
            EXPECT_THROW(session.SendToAll(me, MakeSignal(kinds::kKeepAlive)), SessionError);
            EXPECT_EQ(session.WaitingMessageCount(me), 0);
        } else {
            host->transport().SetMessageHandler({});  // hears nothing from now on
            EXPECT_THROW(CreatePlayerNow(session, "ATC"), SessionError);
            EXPECT_THROW(CreatePlayerNow(session, "ATC"), SessionError);
            EXPECT_THROW(session.SendToAll(1, MakeSignal(kinds::kKeepAlive)), SessionError);
            EXPECT_THROW(session.PlayerName(static_cast<int32_t>(host->systemId())), SessionError);
        }
    }
}

// A step returns at once and ends from the event loop; meanwhile another step is refused as
// busy. Closing calls the step under way off: its signal never comes, the machine it had
// joined leaves the host, and the program may end once closed() is signalled.
TEST(DirectPlaySession, StepsEndLaterAndClosingCallsTheStepOff) {
    const DirectPlaySessionOptions options = Options(47705);
    directplay::DirectPlayHost host(options.ports, options.timings);
    ASSERT_EQ(host.Start({u"Busy", 8, {}, directplay::session_flags::kKeepAlive}), std::nullopt);
    DirectPlaySession session(Answer("127.0.0.1"), options);
    session.InitialiseConnection(2);
    std::vector<std::string> ended;
    QObject::connect(&session, &SessionService::sessionsListed,
                     [&](const auto& list) { ended.push_back(std::to_string(list.size())); });
    QObject::connect(&session, &SessionService::sessionJoined, [&] { ended.push_back("joined"); });
    QObject::connect(&session, &SessionService::stepFailed,
                     [&](const std::string& why) { ended.push_back(why); });
    session.ListSessions();
    session.ListSessions();
    EXPECT_TRUE(ended.empty());  // nothing ends inside the call
    ASSERT_TRUE(SpinUntil([&] { return ended.size() == 2; }, 3000));
    EXPECT_EQ(ended, (std::vector<std::string>{"The session is busy with another operation", "1"}));

    JoinNow(session, 1);
    ASSERT_TRUE(SpinUntil([&] { return host.machines().size() == 1; }, 2000));
    const int32_t me = CreatePlayerNow(session, "ATC");
    ASSERT_TRUE(SpinUntil([&] { return host.HasPlayer(static_cast<uint32_t>(me)); }, 2000));
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
