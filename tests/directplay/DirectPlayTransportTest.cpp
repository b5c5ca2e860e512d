// The transport's reading of whole messages from streams and datagrams, and the room it keeps
// for peers that send them. Reporting ended connections and probing listeners is exercised by
// the loopback tests of machines that quit or stay.
#include <gtest/gtest.h>

#include <QTcpSocket>
#include <QUdpSocket>

#include "directplay/DirectPlayTransport.h"
#include "support/DirectPlayLoopback.h"
#include "support/DirectPlayTestPorts.h"
#include "support/HostileSender.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::directplay {
namespace {

using testing::SpinUntil;

void Write(QTcpSocket& socket, const Bytes& bytes) {
    socket.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    socket.flush();
}

Bytes Tagged(uint8_t tag) {
    return EncodePlayerData(SockAddr{1, 0}, 7, 0, Bytes{tag});
}

// A handler may wait in a nested event loop (a session call does), and the connection may be
// read again meanwhile. Qt does not announce new data on a socket while its announcement is
// being handled, so the test reads again itself: no message is delivered twice, none is
// lost, the order holds. A datagram padded after its message is taken for the message its
// size word describes.
TEST(DirectPlayTransport, ReadingAgainFromAHandlerOrPaddingADatagramLosesNothing) {
    DirectPlayTransport transport(testing::DirectPlayTestPorts(47745));
    ASSERT_EQ(transport.Open(), std::nullopt);
    QTcpSocket peer;
    std::vector<uint8_t> seen;
    transport.SetMessageHandler([&](const Decoded& decoded, const Origin& origin) {
        seen.push_back(std::get<PlayerData>(decoded.message).body.back());
        if (seen.size() == 1) {
            Write(peer, Tagged(3));
            for (QTcpSocket* connection : transport.findChildren<QTcpSocket*>()) {
                SpinUntil([&] { return connection->bytesAvailable() > 0; }, 2000);
                emit connection->readyRead();
            }
        }
        EXPECT_EQ(origin.datagram, seen.back() == 4);
    });
    peer.connectToHost(QHostAddress::LocalHost, transport.streamPort());
    ASSERT_TRUE(peer.waitForConnected(2000));
    Bytes two = Tagged(1);
    const Bytes second = Tagged(2);
    two.insert(two.end(), second.begin(), second.end());
    Write(peer, two);
    SpinUntil([&] { return seen.size() >= 3; }, 2000);
    testing::Spin(100);
    EXPECT_EQ(seen, (std::vector<uint8_t>{1, 2, 3}));

    Bytes padded = Tagged(4);
    padded.resize(padded.size() + 3, 0xEE);
    QUdpSocket datagrams;
    datagrams.writeDatagram(reinterpret_cast<const char*>(padded.data()),
                            static_cast<qint64>(padded.size()), QHostAddress::LocalHost,
                            transport.datagramPort());
    SpinUntil([&] { return seen.size() >= 4; }, 2000);
    testing::Spin(100);
    EXPECT_EQ(seen, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(transport.rejectedInputs(), 0);
}

// Connections that never complete a message cannot lock real peers out. With our host's
// inbound connections all taken by silent peers, a pilot still joins: the oldest silent
// connection makes room. A connection that sent nothing whole within the idle time is closed;
// one that completed a message stays, and once every connection has, a newcomer is refused.
TEST(DirectPlayTransport, SilentConnectionsGiveWayToPeersThatSendMessages) {
    testing::LoopbackSession s(47746, testing::QuietTimings());
    ASSERT_NO_FATAL_FAILURE(s.StartHost());
    const TransportLimits limits;
    std::vector<std::unique_ptr<testing::RawPeer>> silent;
    for (int i = 0; i < limits.maxInboundConnections; ++i) {
        silent.push_back(std::make_unique<testing::RawPeer>(s.host->transport().streamPort()));
    }
    ASSERT_TRUE(SpinUntil(
        [&] { return s.host->transport().openConnectionCount() == limits.maxInboundConnections; },
        2000));
    const auto pilot = s.Join(u"Late Pilot");
    ASSERT_GT(pilot.player, 0u);
    EXPECT_TRUE(SpinUntil([&] { return s.host->HasPlayer(pilot.player); }, 2000));
    EXPECT_TRUE(SpinUntil([&] { return !silent.front()->connected(); }, 2000));
    EXPECT_TRUE(silent.back()->connected());

    TransportLimits small;
    small.maxInboundConnections = 2;
    small.idleInboundMs = 300;
    DirectPlayTransport transport(testing::DirectPlayTestPorts(47747), small);
    ASSERT_EQ(transport.Open(), std::nullopt);
    int delivered = 0;
    transport.SetMessageHandler([&](const Decoded&, const Origin&) { ++delivered; });
    testing::RawPeer talker(transport.streamPort());
    talker.Send(Tagged(1));
    ASSERT_TRUE(SpinUntil([&] { return delivered == 1; }, 2000));
    testing::RawPeer halfway(transport.streamPort());
    const Bytes cut = Tagged(2);
    halfway.Send(Bytes(cut.begin(), cut.end() - 1));
    EXPECT_TRUE(SpinUntil([&] { return !halfway.connected(); }, 3000));
    EXPECT_TRUE(talker.connected());
    testing::RawPeer second(transport.streamPort());
    second.Send(Tagged(3));
    ASSERT_TRUE(SpinUntil([&] { return delivered == 2; }, 2000));
    testing::RawPeer refused(transport.streamPort());
    EXPECT_TRUE(SpinUntil([&] { return !refused.connected(); }, 2000));
    testing::Spin(100);
    EXPECT_TRUE(talker.connected() && second.connected());
}

}  // namespace
}  // namespace scopewatch::directplay
