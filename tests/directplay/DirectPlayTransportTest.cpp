// The transport's reading of whole messages from streams and datagrams and the room it keeps
// for peers that send them; raw sockets throwing forgeries, floods, junk and silence at our host,
// which must ignore what the session did not send, keep its memory bounded and go on serving a
// well-behaved client. (Garbage, messages above our cap and lying ones, thrown at our client:
// tests/app's hostile network. Reporting ended connections: the loopback tests.)
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include "directplay/DirectPlayTransport.h"
#include "support/DirectPlayLoopback.h"
#include "support/HostileSender.h"

namespace scopewatch::directplay {
namespace {

using testing::RawPeer;
using testing::SpinUntil;

Bytes Tagged(uint8_t tag) {
    return EncodePlayerData(SockAddr{1, 0}, 7, 0, Bytes{tag});
}

// A handler may wait in a nested event loop (a session call does), and the connection may be
// read again meanwhile. Qt does not announce new data on a socket while its announcement is
// being handled, so the test reads again itself: no message is delivered twice, none is lost,
// the order holds. A datagram padded after its message is taken for the message its size word
// describes.
TEST(DirectPlayTransport, ReadingAgainFromAHandlerOrPaddingADatagramLosesNothing) {
    DirectPlayTransport transport(testing::DirectPlayTestPorts(47745));
    ASSERT_TRUE(transport.Open().ok());
    std::unique_ptr<RawPeer> peer;
    std::vector<uint8_t> seen;
    transport.SetMessageHandler([&](const Decoded& decoded, const Origin& origin) {
        seen.push_back(std::get<PlayerData>(decoded.message).body.back());
        if (seen.size() == 1) {
            peer->Send(Tagged(3));
            for (QTcpSocket* connection : transport.findChildren<QTcpSocket*>()) {
                SpinUntil([&] { return connection->bytesAvailable() > 0; }, 2000);
                emit connection->readyRead();
            }
        }
        EXPECT_EQ(origin.datagram, seen.back() == 4);
    });
    peer = std::make_unique<RawPeer>(transport.streamPort());
    Bytes two = Tagged(1);
    const Bytes second = Tagged(2);
    two.insert(two.end(), second.begin(), second.end());
    peer->Send(two);
    SpinUntil([&] { return seen.size() >= 3; }, 2000);
    Bytes padded = Tagged(4);
    padded.resize(padded.size() + 3, 0xEE);
    QUdpSocket().writeDatagram(reinterpret_cast<const char*>(padded.data()),
                               static_cast<qint64>(padded.size()), QHostAddress::LocalHost,
                               transport.datagramPort());
    SpinUntil([&] { return seen.size() >= 4; }, 2000);
    testing::Spin(100);
    EXPECT_EQ(seen, (std::vector<uint8_t>{1, 2, 3, 4}));
}

// A connection that sent nothing whole within the idle time is closed; one that completed a
// message stays, and once every connection has, a newcomer is refused.
TEST(DirectPlayTransport, SilentConnectionsGiveWayToPeersThatSendMessages) {
    TransportLimits small;
    small.maxInboundConnections = 2;
    small.idleInboundMs = 300;
    DirectPlayTransport transport(testing::DirectPlayTestPorts(47747), small);
    ASSERT_TRUE(transport.Open().ok());
    int delivered = 0;
    transport.SetMessageHandler([&](const Decoded&, const Origin&) { ++delivered; });
    RawPeer talker(transport.streamPort());
    talker.Send(Tagged(1));
    ASSERT_TRUE(SpinUntil([&] { return delivered == 1; }, 2000));
    RawPeer halfway(transport.streamPort());
    const Bytes cut = Tagged(2);
    halfway.Send(Bytes(cut.begin(), cut.end() - 1));
    EXPECT_TRUE(SpinUntil([&] { return !halfway.connected(); }, 3000));
    EXPECT_TRUE(talker.connected());
    RawPeer second(transport.streamPort());
    second.Send(Tagged(3));
    ASSERT_TRUE(SpinUntil([&] { return delivered == 2; }, 2000));
    RawPeer refused(transport.streamPort());
    EXPECT_TRUE(SpinUntil([&] { return !refused.connected(); }, 2000));
    testing::Spin(100);
    EXPECT_TRUE(talker.connected() && second.connected());
}

// A machine announcing itself with an id the host never handed out, and a player created
// without one, are ignored; a ping from a stranger is answered with "you are dead" at the port
// it names. (The queue's shares and caps: DeliveryQueueTest.) Junk at the enumeration port and
// enumeration requests with made-up reply ports beyond the caps are dropped. Connections that
// never complete a message cannot lock real peers out: with the host's inbound connections all
// taken by silent peers, a pilot still joins, the oldest silent one making room.
TEST(HostilePeer, ForgeriesFloodsJunkAndSilenceLeaveTheHostServing) {
    testing::LoopbackSession s(47722, testing::QuietTimings());
    s.StartHost({u"Target", 16, {}, session_flags::kKeepAlive});
    DirectPlayHost& host = *s.host;
    RawPeer raw(host.transport().streamPort());
    QTcpServer listener;  // where the forger listens: a host taken in would write there first
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    const SockAddr from{listener.serverPort(), 0};
    raw.Send(
        Encode(AddForwardRequest{0, 0x1234, testing::SystemPlayerOf(1, 0x1234, 14, from), u"", 0},
               from, 14));
    raw.Send(Encode(CreatePlayer{0, 0x999, testing::PlayerOf(0x999, 0, u"Ghost", u""), false}, from,
                    14));
    raw.Send(Encode(Ping{0x4242, 1, false}, from, 14));
    ASSERT_TRUE(SpinUntil([&] { return listener.hasPendingConnections(); }, 2000));
    QTcpSocket* answer = listener.nextPendingConnection();
    ASSERT_TRUE(SpinUntil([&] { return answer->bytesAvailable() >= 28; }, 2000));
    const QByteArray dead = answer->readAll();
    EXPECT_EQ(std::tuple(dead.size(), dead[24]), std::tuple(28, char{kYouAreDead}));
    EXPECT_TRUE(host.table().machines().empty());
    EXPECT_EQ(std::tuple(host.table().HasPlayer(0x999), host.CurrentPlayers()),
              std::tuple(false, 1u));

    QUdpSocket udp;
    for (int i = 0; i < 500; ++i) {
        udp.writeDatagram(QByteArray(30, static_cast<char>(i)), QHostAddress::LocalHost,
                          s.plan.enumPort);
        const Bytes request =
            Encode(EnumSessions{}, SockAddr{static_cast<uint16_t>(40000 + i), 0}, 14);
        udp.writeDatagram(reinterpret_cast<const char*>(request.data()),
                          static_cast<qint64>(request.size()), QHostAddress::LocalHost,
                          s.plan.enumPort);
    }
    testing::Spin(300);
    const TransportLimits limits;
    EXPECT_LE(host.transport().openConnectionCount(),
              limits.maxInboundConnections + limits.maxOutboundConnections);

    std::vector<std::unique_ptr<RawPeer>> silent;
    for (int i = 0; i < limits.maxInboundConnections; ++i) {
        silent.push_back(std::make_unique<RawPeer>(host.transport().streamPort()));
    }
    const auto pilot = s.Join(u"Late Pilot");
    ASSERT_GT(pilot.player, 0u);
    EXPECT_TRUE(SpinUntil([&] { return host.table().HasPlayer(pilot.player); }, 2000));
    EXPECT_TRUE(SpinUntil([&] { return !silent.front()->connected(); }, 2000));
    EXPECT_TRUE(silent.back()->connected());
}

}  // namespace
}  // namespace scopewatch::directplay
