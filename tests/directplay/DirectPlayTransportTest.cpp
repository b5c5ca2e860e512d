// The transport's sockets: reading whole messages, and telling a peer that closed a
// connection from one that is gone.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include "directplay/DirectPlayTransport.h"
#include "support/DirectPlayTestPorts.h"
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
// lost, the order holds.
TEST(DirectPlayTransport, ReadingAgainFromAHandlerDeliversEveryMessageOnce) {
    DirectPlayTransport transport(testing::DirectPlayTestPorts(47745));
    ASSERT_EQ(transport.Open(), std::nullopt);
    QTcpSocket peer;
    std::vector<uint8_t> seen;
    transport.SetMessageHandler([&](const Decoded& decoded, const Origin&) {
        seen.push_back(std::get<PlayerData>(decoded.message).body.back());
        if (seen.size() == 1) {
            Write(peer, Tagged(3));
            for (QTcpSocket* connection : transport.findChildren<QTcpSocket*>()) {
                SpinUntil([&] { return connection->bytesAvailable() > 0; }, 2000);
                emit connection->readyRead();
            }
        }
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
    EXPECT_EQ(transport.rejectedInputs(), 0);
}

// The end of a connection is reported once we know whose it is, and never when we close it;
// a probe tells a listening address from one where nobody listens any more.
TEST(DirectPlayTransport, ReportsPeersEndingConnectionsAndProbesListeners) {
    DirectPlayTransport transport(testing::DirectPlayTestPorts(47746));
    ASSERT_EQ(transport.Open(), std::nullopt);
    std::vector<quint16> closed;
    transport.SetClosedHandler([&](const QHostAddress&, quint16 port) { closed.push_back(port); });
    std::optional<Origin> origin;
    transport.SetMessageHandler([&](const Decoded&, const Origin& from) { origin = from; });

    QTcpServer peerListener;
    ASSERT_TRUE(peerListener.listen(QHostAddress::LocalHost));
    const quint16 peerPort = peerListener.serverPort();
    QTcpSocket inbound;  // the peer's connection to us
    inbound.connectToHost(QHostAddress::LocalHost, transport.streamPort());
    ASSERT_TRUE(inbound.waitForConnected(2000));
    Write(inbound, Tagged(1));
    ASSERT_TRUE(SpinUntil([&] { return origin.has_value(); }, 2000));
    EXPECT_NE(origin->connection, 0u);
    transport.NameConnection(origin->connection, QHostAddress::LocalHost, peerPort);
    inbound.disconnectFromHost();
    ASSERT_TRUE(SpinUntil([&] { return closed.size() == 1; }, 2000));
    EXPECT_EQ(closed[0], peerPort);

    // Our connection to the peer: its end is reported; our own Disconnect is not.
    transport.SendStream(QHostAddress::LocalHost, peerPort, Tagged(2));
    ASSERT_TRUE(SpinUntil([&] { return peerListener.hasPendingConnections(); }, 2000));
    QTcpSocket* accepted = peerListener.nextPendingConnection();
    accepted->disconnectFromHost();
    ASSERT_TRUE(SpinUntil([&] { return closed.size() == 2; }, 2000));
    transport.SendStream(QHostAddress::LocalHost, peerPort, Tagged(3));
    testing::Spin(100);
    transport.Disconnect(QHostAddress::LocalHost, peerPort);
    testing::Spin(100);
    EXPECT_EQ(closed.size(), 2u);

    std::vector<std::optional<std::string>> probes;
    const auto record = [&](const std::optional<std::string>& failure) {
        probes.push_back(failure);
    };
    transport.Probe(QHostAddress::LocalHost, peerPort, record);
    ASSERT_TRUE(SpinUntil([&] { return probes.size() == 1; }, 2000));
    EXPECT_EQ(probes[0], std::nullopt);
    peerListener.close();
    transport.Probe(QHostAddress::LocalHost, peerPort, record);
    ASSERT_TRUE(SpinUntil([&] { return probes.size() == 2; }, 2000));
    EXPECT_EQ(probes[1], "refused the connection");
}

}  // namespace
}  // namespace scopewatch::directplay
