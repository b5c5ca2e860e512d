// The transport's reading of whole messages from streams and datagrams. Reporting ended
// connections and probing listeners is exercised by the loopback tests of machines that
// quit or stay.
#include <gtest/gtest.h>

#include <QTcpSocket>
#include <QUdpSocket>

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

// A datagram padded after its message is taken for the message its size word describes.
TEST(DirectPlayTransport, APaddedDatagramIsReadUpToItsSizeWord) {
    DirectPlayTransport transport(testing::DirectPlayTestPorts(47746));
    ASSERT_EQ(transport.Open(), std::nullopt);
    std::vector<Bytes> bodies;
    transport.SetMessageHandler([&](const Decoded& decoded, const Origin& origin) {
        EXPECT_TRUE(origin.datagram);
        bodies.push_back(std::get<PlayerData>(decoded.message).body);
    });
    Bytes padded = Tagged(4);
    padded.resize(padded.size() + 3, 0xEE);
    QUdpSocket peer;
    peer.writeDatagram(reinterpret_cast<const char*>(padded.data()),
                       static_cast<qint64>(padded.size()), QHostAddress::LocalHost,
                       transport.datagramPort());
    SpinUntil([&] { return !bodies.empty(); }, 2000);
    ASSERT_EQ(bodies.size(), 1u);
    EXPECT_EQ(bodies[0], (Bytes{7, 0, 0, 0, 0, 0, 0, 0, 4}));
    EXPECT_EQ(transport.rejectedInputs(), 0);
}

}  // namespace
}  // namespace scopewatch::directplay
