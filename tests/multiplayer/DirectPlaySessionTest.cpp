// The session service as the windows use it, over real sockets against our own host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTimer>

#include "multiplayer/DirectPlaySession.h"
#include "multiplayer/GameMessages.h"
#include "support/DirectPlayLoopback.h"
#include "support/SpinEventLoop.h"

namespace scopewatch {
namespace {

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
    EXPECT_THROW(session.ListSessions(), SessionError);  // nothing initialised
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
    const auto sessions = session.ListSessions();
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].name, "Sunday Fly-in \xE9");  // Windows-1252
    EXPECT_EQ(sessions[0].currentPlayers, 1);
    EXPECT_EQ(sessions[0].maxPlayers, 8);
    EXPECT_THROW(session.JoinSession(2), SessionError);
    session.JoinSession(1);
    const int32_t me = session.CreatePlayer("ATC \xE9", "Player");
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
    EXPECT_TRUE(empty.ListSessions().empty());

    for (const bool vanishes : {true, false}) {
        SCOPED_TRACE(vanishes ? "vanishes" : "mute");
        DirectPlaySessionOptions options = Options(vanishes ? 47704 : 47706);
        options.timings.replyTimeoutMs = vanishes ? options.timings.replyTimeoutMs : 300;
        auto host = std::make_unique<directplay::DirectPlayHost>(options.ports, options.timings);
        ASSERT_EQ(host->Start({u"Short", 8, {}, directplay::session_flags::kKeepAlive}),
                  std::nullopt);
        DirectPlaySession session(Answer("127.0.0.1"), options);
        session.InitialiseConnection(2);
        ASSERT_EQ(session.ListSessions().size(), 1u);
        session.JoinSession(1);
        if (vanishes) {
            const int32_t me = session.CreatePlayer("ATC", "Player");
            host.reset();
            ASSERT_TRUE(SpinUntil([&] { return session.SessionLost(); }, 3000));
            EXPECT_THROW(session.SendToAll(me, MakeSignal(kinds::kKeepAlive)), SessionError);
            EXPECT_EQ(session.WaitingMessageCount(me), 0);
        } else {
            host->transport().SetMessageHandler({});  // hears nothing from now on
            EXPECT_THROW(session.CreatePlayer("ATC", "Player"), SessionError);
            EXPECT_THROW(session.CreatePlayer("ATC", "Player"), SessionError);
            EXPECT_THROW(session.SendToAll(1, MakeSignal(kinds::kKeepAlive)), SessionError);
            EXPECT_THROW(session.PlayerName(static_cast<int32_t>(host->systemId())), SessionError);
        }
    }
}

// Listing, joining and creating a player wait for the network while timers fire. A timer
// that calls the session meanwhile is refused with a session error, whatever it calls; the
// waiting call completes undisturbed.
TEST(DirectPlaySession, CallsFromATimerDuringAWaitingCallAreRefused) {
    const DirectPlaySessionOptions options = Options(47705);
    directplay::DirectPlayHost host(options.ports, options.timings);
    ASSERT_EQ(host.Start({u"Busy", 8, {}, directplay::session_flags::kKeepAlive}), std::nullopt);
    DirectPlaySession session(Answer("127.0.0.1"), options);
    session.InitialiseConnection(2);
    std::vector<std::string> refusals;
    int calls = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const std::vector<std::function<void()>> attempts = {
            [&] { session.ListSessions(); },
            [&] { session.JoinSession(1); },
            [&] { session.CreatePlayer("Other", "Player"); },
            [&] { session.WaitingMessageCount(1); },
            [&] { session.PlayerName(1); },
            [&] { session.Close(); },
        };
        try {
            attempts[static_cast<size_t>(calls++) % attempts.size()]();
        } catch (const SessionError& error) {
            refusals.push_back(error.what());
        }
    });
    timer.start(20);
    ASSERT_EQ(session.ListSessions().size(), 1u);
    session.JoinSession(1);
    const int32_t me = session.CreatePlayer("ATC", "Player");
    timer.stop();
    EXPECT_GT(me, 0);
    EXPECT_GE(calls, 6);
    EXPECT_THAT(refusals,
                ::testing::AllOf(::testing::SizeIs(calls),
                                 ::testing::Each("The session is busy with another operation")));
    EXPECT_EQ(session.PlayerName(me), "ATC");
    session.Close();
}

}  // namespace
}  // namespace scopewatch
