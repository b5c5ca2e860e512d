// Our client against our host over real sockets on 127.0.0.1. Each test uses its own
// enumeration port, so tests running side by side never reach each other's host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QUdpSocket>
#include <map>
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

// The one message waiting at `peer`, with its ids and payload.
void ExpectDelivery(DirectPlayPeer& peer, uint32_t from, uint32_t to, const Bytes& payload) {
    ASSERT_TRUE(SpinUntil([&] { return peer.WaitingCount() == 1; }, 2000));
    const auto delivery = peer.TakeDelivery();
    EXPECT_EQ(std::tie(delivery->idFrom, delivery->idTo, delivery->payload),
              std::tie(from, to, payload));
}

// A join that must fail, with a reason containing `reason`.
void ExpectJoinRefused(DirectPlayClient& client, const FoundSession& session,
                       const std::string& reason) {
    const auto outcome = testing::JoinNow(client, session);
    EXPECT_FALSE(outcome.ok());
    EXPECT_THAT(outcome.failure, ::testing::HasSubstr(reason));
}

// Two clients find the session, join it and reach the host and each other: the first learns
// of the second machine through the host, and of its player from the second client directly.
// Peers may close connections they opened once they are done with them: that is no leaving,
// and the next message opens a new connection.
TEST(Loopback, ClientsFindJoinAndExchangeMessagesWithSenderIdsAndNames) {
    LoopbackSession s(47691, testing::QuietTimings());
    s.StartHost();
    const auto sessions = testing::EnumerateNow(*s.Client(), "127.0.0.1", 2000);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].name, u"Loopback Fly-in");
    EXPECT_EQ(sessions[0].desc.currentPlayers, 1u);
    EXPECT_EQ(sessions[0].hostPort, s.host->transport().streamPort());
    EXPECT_EQ(sessions[0].version, kNewestVersion);
    // Nobody listens on the neighbouring enumeration port: an empty list, no error.
    EXPECT_TRUE(testing::EnumerateNow(*LoopbackSession(47699).Client(), "127.0.0.1", 300).empty());

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
    ExpectDelivery(*s.host, one.player, s.hostPilot, Payload(1));
    ExpectDelivery(*two.client, one.player, two.player, Payload(1));
    s.host->SendToAll(s.hostPilot, Payload(2));
    ExpectDelivery(*one.client, s.hostPilot, one.player, Payload(2));
    ExpectDelivery(*two.client, s.hostPilot, two.player, Payload(2));

    const QHostAddress local = QHostAddress::LocalHost;
    one.client->transport().Disconnect(local, s.host->transport().streamPort());
    one.client->transport().Disconnect(local, two.client->transport().streamPort());
    s.host->transport().Disconnect(local, two.client->transport().streamPort());
    testing::Spin(500);
    EXPECT_TRUE(s.host->HasPlayer(one.player));
    EXPECT_TRUE(two.client->HasPlayer(one.player));
    EXPECT_TRUE(one.client->HasPlayer(two.player));
    EXPECT_FALSE(two.client->lost());
    one.client->SendToAll(one.player, Payload(3));
    ExpectDelivery(*two.client, one.player, two.player, Payload(3));
    ExpectDelivery(*s.host, one.player, s.hostPilot, Payload(3));
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

// A host that ends the session or declares us dead says so (a stranger cannot declare us
// dead); one that quits without a word is noticed by its closed connections, or by its
// silence.
TEST(Loopback, HostEndingOrVanishingIsNoticed) {
    enum class Way { Stop, Dead, Close, Silence };
    const std::map<Way, uint16_t> ports = {
        {Way::Stop, 47694}, {Way::Dead, 47689}, {Way::Close, 47744}, {Way::Silence, 47695}};
    for (const auto& [way, port] : ports) {
        LoopbackSession s(port,
                          way == Way::Silence ? testing::FastTimings() : testing::QuietTimings());
        s.StartHost();
        const auto joined = s.Join(u"ATC");
        ASSERT_GT(joined.player, 0u);
        DirectPlayClient& client = *joined.client;
        if (way == Way::Stop) {
            s.host->Stop();
        } else if (way == Way::Dead) {
            const Bytes dead =
                Encode(YouAreDead{}, SockAddr{s.host->transport().streamPort(), 0}, 14);
            QUdpSocket stranger;
            ASSERT_TRUE(stranger.bind(QHostAddress("127.0.0.2"), 0));
            stranger.writeDatagram(reinterpret_cast<const char*>(dead.data()),
                                   static_cast<qint64>(dead.size()), QHostAddress::LocalHost,
                                   client.transport().datagramPort());
            testing::Spin(200);
            EXPECT_FALSE(client.lost());
            s.host->transport().SendDatagram(QHostAddress::LocalHost,
                                             client.transport().datagramPort(), dead);
        } else if (way == Way::Close) {
            s.host->transport().Close();
        } else {
            // Silent, but its connections stay open: only the missed pings tell.
            s.host->SetLogger({});
            s.host->transport().SetMessageHandler({});
        }
        ASSERT_TRUE(SpinUntil([&] { return client.lost(); }, 3000));
        const std::string reason = client.lostReason();
        if (way == Way::Stop) {
            EXPECT_EQ(reason, "the host ended the session");
        } else if (way == Way::Dead) {
            EXPECT_EQ(reason, "the host removed this machine from the session");
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
    EXPECT_TRUE(testing::EnumerateNow(*client, "127.0.0.1", 300).empty());
    session.hostPort = s.host->transport().streamPort();
    ExpectJoinRefused(*client, session, "accepts no new players");
    s.host->DestroyPlayer(s.hostPilot);
    const auto sessions = testing::EnumerateNow(*client, "127.0.0.1", 1000);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_TRUE(testing::JoinNow(*client, sessions[0]).ok());
    EXPECT_TRUE(client->joined());
}

}  // namespace
}  // namespace scopewatch::directplay
