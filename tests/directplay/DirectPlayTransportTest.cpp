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

}  // namespace
}  // namespace scopewatch::directplay
