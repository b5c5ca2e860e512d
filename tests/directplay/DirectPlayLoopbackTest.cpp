// Our client against our host over real sockets on 127.0.0.1. Each test uses its own
// enumeration port, so tests running side by side never reach each other's host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QUdpSocket>
#include <memory>

#include "support/DirectPlayLoopback.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::directplay {
namespace {

using testing::LoopbackSession;
using testing::SpinUntil;

Bytes Payload(uint8_t tag) {
    return Bytes{0x23, 0x10, 0, 0, 1, 0, 0, 0, tag};
}

// A join that must fail, with a reason containing `reason`.
void ExpectJoinRefused(DirectPlayClient& client, const FoundSession& session,
                       const std::string& reason) {
    EXPECT_THAT([&] { client.Join(session); },
                ::testing::ThrowsMessage<DirectPlayError>(::testing::HasSubstr(reason)));
}

// Two clients find the session, join it and reach the host and each other: the first learns
// of the second machine through the host, and of its player from the second client directly.
TEST(Loopback, ClientsFindJoinAndExchangeMessagesWithSenderIdsAndNames) {
    LoopbackSession s(47691);
    s.StartHost();
    const auto sessions = s.Client()->Enumerate("127.0.0.1", 2000);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].name, u"Loopback Fly-in");
    EXPECT_EQ(sessions[0].desc.currentPlayers, 1u);
    EXPECT_EQ(sessions[0].desc.maxPlayers, 8u);
    EXPECT_EQ(sessions[0].hostPort, s.host->transport().streamPort());
    EXPECT_EQ(sessions[0].version, kNewestVersion);
    // Nobody listens on the neighbouring enumeration port: an empty list, no error.
    EXPECT_TRUE(LoopbackSession(47699).Client()->Enumerate("127.0.0.1", 300).empty());

    const auto one = s.Join(u"Approach");
    ASSERT_GT(one.player, 0u);
    EXPECT_LE(one.player, 0x7FFFFFFFu);  // positive as a signed id
    EXPECT_EQ(one.client->PlayerName(s.hostPilot), u"Host Pilot");
    ASSERT_TRUE(SpinUntil([&] { return s.host->HasPlayer(one.player); }, 2000));
    EXPECT_EQ(s.host->PlayerName(one.player), u"Approach");
    const auto two = s.Join(u"Tower");
    ASSERT_TRUE(SpinUntil([&] { return one.client->HasPlayer(two.player); }, 2000));
    EXPECT_EQ(one.client->PlayerName(two.player), u"Tower");
    EXPECT_EQ(two.client->PlayerName(one.player), u"Approach");
    EXPECT_EQ(one.client->machines().size(), 2u);
    EXPECT_EQ(s.host->CurrentDesc().currentPlayers, 3u);

    one.client->SendToAll(one.player, Payload(1));
    ASSERT_TRUE(SpinUntil([&] { return s.host->WaitingCount() == 1; }, 2000));
    const auto atHost = s.host->TakeDelivery();
    EXPECT_EQ(atHost->idFrom, one.player);
    EXPECT_EQ(atHost->idTo, s.hostPilot);
    EXPECT_EQ(atHost->payload, Payload(1));
    ASSERT_TRUE(SpinUntil([&] { return two.client->WaitingCount() == 1; }, 2000));
    const auto atTwo = two.client->TakeDelivery();
    EXPECT_EQ(atTwo->idFrom, one.player);
    EXPECT_EQ(atTwo->idTo, two.player);
    EXPECT_EQ(atTwo->payload, Payload(1));

    s.host->SendToAll(s.hostPilot, Payload(2));
    ASSERT_TRUE(SpinUntil([&] { return one.client->WaitingCount() == 1; }, 2000));
    const auto atOne = one.client->TakeDelivery();
    EXPECT_EQ(atOne->idFrom, s.hostPilot);
    EXPECT_EQ(atOne->idTo, one.player);
    EXPECT_EQ(atOne->payload, Payload(2));
}

// Whether the client leaves or its machine vanishes (closing its connections without a word),
// the others drop its player. Keep-alive pings are too slow to play a part here.
TEST(Loopback, LeavingOrVanishedClientIsRemovedEverywhere) {
    for (const bool vanish : {false, true}) {
        LoopbackSession s(vanish ? 47696 : 47693, testing::QuietTimings());
        s.StartHost();
        const auto one = s.Join(u"Leaver");
        const auto two = s.Join(u"Stayer");
        ASSERT_TRUE(SpinUntil(
            [&] { return two.client->HasPlayer(one.player) && s.host->HasPlayer(two.player); },
            2000));
        std::vector<uint32_t> destroyed;
        two.client->SetPlayerListener([&](uint32_t id, bool created) {
            if (!created) {
                destroyed.push_back(id);
            }
        });
        vanish ? one.client->transport().Close() : one.client->Leave();
        ASSERT_TRUE(SpinUntil(
            [&] { return !two.client->HasPlayer(one.player) && !s.host->HasPlayer(one.player); },
            4000))
            << vanish;
        EXPECT_EQ(destroyed, std::vector<uint32_t>{one.player});
        EXPECT_EQ(two.client->machines().size(), 1u);  // only the host remains
        EXPECT_EQ(s.host->CurrentDesc().currentPlayers, 2u);
        EXPECT_FALSE(two.client->lost());
    }
}

// Peers may close connections they opened once they are done with them: that is no leaving.
TEST(Loopback, PeerClosingItsConnectionsWhileStillListeningStays) {
    LoopbackSession s(47743, testing::QuietTimings());
    s.StartHost();
    const auto one = s.Join(u"One");
    const auto two = s.Join(u"Two");
    ASSERT_TRUE(SpinUntil([&] { return one.client->HasPlayer(two.player); }, 2000));
    const QHostAddress local = QHostAddress::LocalHost;
    one.client->transport().Disconnect(local, s.host->transport().streamPort());
    one.client->transport().Disconnect(local, two.client->transport().streamPort());
    s.host->transport().Disconnect(local, two.client->transport().streamPort());
    testing::Spin(500);
    EXPECT_TRUE(s.host->HasPlayer(one.player));
    EXPECT_TRUE(two.client->HasPlayer(one.player));
    EXPECT_TRUE(one.client->HasPlayer(two.player));
    EXPECT_FALSE(two.client->lost());
    // The next message opens a new connection.
    one.client->SendToAll(one.player, Payload(3));
    EXPECT_TRUE(SpinUntil([&] { return two.client->WaitingCount() == 1; }, 2000));
    EXPECT_TRUE(SpinUntil([&] { return s.host->WaitingCount() == 1; }, 2000));
}

TEST(Loopback, OnlyTheHostCanDeclareUsDead) {
    LoopbackSession s(47689);
    s.StartHost();
    const auto joined = s.Join(u"ATC");
    DirectPlayClient& client = *joined.client;
    const Bytes dead = Encode(YouAreDead{}, SockAddr{s.host->transport().streamPort(), 0}, 14);
    QUdpSocket stranger;
    ASSERT_TRUE(stranger.bind(QHostAddress("127.0.0.2"), 0));
    stranger.writeDatagram(reinterpret_cast<const char*>(dead.data()),
                           static_cast<qint64>(dead.size()), QHostAddress::LocalHost,
                           client.transport().datagramPort());
    testing::Spin(200);
    EXPECT_FALSE(client.lost());
    s.host->transport().SendDatagram(QHostAddress::LocalHost, client.transport().datagramPort(),
                                     dead);
    ASSERT_TRUE(SpinUntil([&] { return client.lost(); }, 2000));
    EXPECT_EQ(client.lostReason(), "the host removed this machine from the session");
}

// A host that ends the session says so; one that quits without a word is noticed by its
// closed connections, or by its silence.
TEST(Loopback, HostEndingOrVanishingIsNoticed) {
    enum class Way { Stop, Close, Silence };
    for (const Way way : {Way::Stop, Way::Close, Way::Silence}) {
        LoopbackSession s(way == Way::Stop    ? 47694
                          : way == Way::Close ? 47744
                                              : 47695,
                          way == Way::Silence ? testing::FastTimings() : testing::QuietTimings());
        s.StartHost();
        const auto joined = s.Join(u"ATC");
        ASSERT_GT(joined.player, 0u);
        if (way == Way::Stop) {
            s.host->Stop();
        } else if (way == Way::Close) {
            s.host->transport().Close();
        } else {
            // Silent, but its connections stay open: only the missed pings tell.
            s.host->SetLogger({});
            s.host->transport().SetMessageHandler({});
        }
        ASSERT_TRUE(SpinUntil([&] { return joined.client->lost(); }, 3000));
        const std::string reason = joined.client->lostReason();
        if (way == Way::Stop) {
            EXPECT_EQ(reason, "the host ended the session");
        } else {
            EXPECT_NE(reason.find("the host at 127.0.0.1"), std::string::npos) << reason;
        }
    }
}

// An absent host and a full session refuse the join with a reason; the same client gets in
// once there is room.
TEST(Loopback, RefusedJoinsSayWhyAndTheClientCanTryAgain) {
    LoopbackSession s(47698);
    const auto client = s.Client();
    FoundSession session;
    session.hostIp = QHostAddress::LocalHost;
    session.hostPort = s.plan.rangeLast;  // nothing listens there
    ExpectJoinRefused(*client, session, "refused the connection");
    s.StartHost({u"Full", 1, {}, session_flags::kKeepAlive});  // the host pilot fills it
    // A full session is not offered to "available only" enumerations.
    EXPECT_TRUE(client->Enumerate("127.0.0.1", 300).empty());
    session.hostPort = s.host->transport().streamPort();
    ExpectJoinRefused(*client, session, "accepts no new players");
    s.host->DestroyPlayer(s.hostPilot);
    const auto sessions = client->Enumerate("127.0.0.1", 1000);
    ASSERT_EQ(sessions.size(), 1u);
    client->Join(sessions[0]);
    EXPECT_TRUE(client->joined());
}

}  // namespace
}  // namespace scopewatch::directplay
