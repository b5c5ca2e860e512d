// Raw sockets throw garbage, lies and floods at our host; it must drop the bad input, keep
// its memory bounded and go on serving a well-behaved client.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <memory>

#include "support/DirectPlayLoopback.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::directplay {
namespace {

using testing::SpinUntil;

class HostilePeer : public ::testing::Test {
  protected:
    // Each test has its own enumeration port, so tests may run side by side.
    void StartHost(uint16_t enumPort) {
        session_ = std::make_unique<testing::LoopbackSession>(enumPort, Timings{});
        session_->StartHost({u"Target", 8, {}, session_flags::kKeepAlive});
        host_ = session_->host.get();
    }

    std::unique_ptr<QTcpSocket> Connect() {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, host_->transport().streamPort());
        EXPECT_TRUE(
            SpinUntil([&] { return socket->state() == QAbstractSocket::ConnectedState; }, 2000));
        return socket;
    }

    void Write(QTcpSocket& socket, const Bytes& bytes) {
        socket.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<qint64>(bytes.size()));
        socket.flush();
    }

    // A well-behaved client can still find and join the session.
    void ExpectStillServing() {
        const auto atc = session_->Join(u"ATC");
        EXPECT_GT(atc.player, 0u);
        atc.client->Leave();
    }

    std::unique_ptr<testing::LoopbackSession> session_;
    DirectPlayHost* host_ = nullptr;
};

// No valid size word: the stream cannot be followed, and the host closes the connection. A
// well-formed message above our cap (up to the 1 MiB its size word allows) is passed over
// unread, and the messages after it arrive; a message whose content lies is dropped.
TEST_F(HostilePeer, GarbageClosesTheConnectionLargeOrLyingMessagesAreDropped) {
    StartHost(47720);
    auto garbage = Connect();
    Write(*garbage, Bytes(64, 0x41));
    EXPECT_TRUE(
        SpinUntil([&] { return garbage->state() == QAbstractSocket::UnconnectedState; }, 2000));

    auto large = Connect();
    const Bytes largest = EncodePlayerData(SockAddr{1, 0}, 5, 0, Bytes(kLargestFrame - 28, 7));
    Write(*large, EncodePlayerData(SockAddr{1, 0}, 5, 0, Bytes(kMaxMessageSize, 6)));
    Write(*large, largest);
    Write(*large, EncodePlayerData(SockAddr{1, 0}, 5, 0, Bytes(40, 1)));
    EXPECT_TRUE(SpinUntil([&] { return host_->WaitingCount() == 1; }, 3000));
    EXPECT_EQ(host_->TakeDelivery()->payload, Bytes(40, 1));
    EXPECT_EQ(large->state(), QAbstractSocket::ConnectedState);
    EXPECT_GE(host_->transport().rejectedInputs(), 3);

    auto liar = Connect();
    Bytes lying = Encode(SuperEnumPlayersReply{}, SockAddr{1, 0}, 14);
    lying[29] = 0x10;  // announces 4096 players in a message with room for none
    Write(*liar, lying);
    testing::Spin(100);
    EXPECT_EQ(liar->state(), QAbstractSocket::ConnectedState);
    ExpectStillServing();
}

TEST_F(HostilePeer, HalfMessagesWaitWithoutBlockingOthers) {
    StartHost(47721);
    auto half = Connect();
    const Bytes whole = EncodePlayerData(SockAddr{1, 0}, 5, 0, Bytes(40, 1));
    Write(*half, Bytes(whole.begin(), whole.begin() + 30));
    ExpectStillServing();
    EXPECT_EQ(host_->WaitingCount(), 0u);
    Write(*half, Bytes(whole.begin() + 30, whole.end()));
    EXPECT_TRUE(SpinUntil([&] { return host_->WaitingCount() == 1; }, 2000));
}

TEST_F(HostilePeer, FloodsStayBounded) {
    StartHost(47722);
    // Player data: one sender stops at its share of the queue, several at the queue's cap, and
    // what was dropped is counted.
    auto flood = Connect();
    Bytes burst;
    for (uint32_t sender = 5; sender < 10; ++sender) {
        for (size_t i = 0; i < kMaxQueuedPerSender + 100; ++i) {
            const Bytes one = EncodePlayerData(SockAddr{1, 0}, sender, 0, Bytes(16, 2));
            burst.insert(burst.end(), one.begin(), one.end());
        }
        Write(*flood, burst);
        burst.clear();
        if (sender == 5) {
            EXPECT_TRUE(SpinUntil([&] { return host_->droppedDeliveries() == 100; }, 5000));
            EXPECT_EQ(host_->WaitingCount(), kMaxQueuedPerSender);
        }
    }
    EXPECT_TRUE(SpinUntil(
        [&] {
            return host_->droppedDeliveries() ==
                   5 * (kMaxQueuedPerSender + 100) - kMaxQueuedDeliveries;
        },
        5000));
    EXPECT_EQ(host_->WaitingCount(), kMaxQueuedDeliveries);

    // Datagrams of garbage and oversize are read and dropped.
    QUdpSocket udp;
    for (int i = 0; i < 500; ++i) {
        const QByteArray junk(i % 2 ? 30 : 1400, static_cast<char>(i));
        udp.writeDatagram(junk, QHostAddress::LocalHost, host_->transport().datagramPort());
        udp.writeDatagram(junk, QHostAddress::LocalHost, session_->plan.enumPort);
    }
    testing::Spin(200);

    // Connections beyond the cap are closed at once.
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int i = 0; i < 80; ++i) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        sockets.back()->connectToHost(QHostAddress::LocalHost, host_->transport().streamPort());
    }
    testing::Spin(500);
    EXPECT_LE(host_->transport().openConnectionCount(), TransportLimits{}.maxInboundConnections);
    sockets.clear();

    // Enumeration requests with made-up reply ports: outbound connections are capped too.
    for (int i = 0; i < 300; ++i) {
        const Bytes request =
            Encode(EnumSessions{}, SockAddr{static_cast<uint16_t>(40000 + i), 0}, 14);
        udp.writeDatagram(reinterpret_cast<const char*>(request.data()),
                          static_cast<qint64>(request.size()), QHostAddress::LocalHost,
                          session_->plan.enumPort);
    }
    testing::Spin(300);
    EXPECT_LE(host_->transport().openConnectionCount(),
              TransportLimits{}.maxInboundConnections + TransportLimits{}.maxOutboundConnections);
    while (host_->TakeDelivery()) {
    }
    ExpectStillServing();
}

// Large player data fills the queue by its bytes long before its count: a peer cannot make
// us hold 2048 messages of 128 KiB, and one sender holds at most a quarter of the bytes.
TEST_F(HostilePeer, LargePlayerDataStopsAtTheQueuesByteCap) {
    StartHost(47768);
    auto flood = Connect();
    const auto large = [](uint32_t sender) {
        return EncodePlayerData(SockAddr{1, 0}, sender, 0, Bytes(100 * 1024, 3));
    };
    for (int i = 0; i < 20; ++i) {
        Write(*flood, large(5));
    }
    const size_t share = kMaxQueuedBytesPerSender / (100 * 1024);
    EXPECT_TRUE(SpinUntil([&] { return host_->droppedDeliveries() == 20 - share; }, 5000));
    EXPECT_EQ(host_->WaitingCount(), share);
    for (uint32_t sender = 6; sender < 12; ++sender) {
        for (int i = 0; i < 20; ++i) {
            Write(*flood, large(sender));
        }
    }
    EXPECT_TRUE(SpinUntil([&] { return host_->droppedDeliveries() == 7 * 20 - 40; }, 5000));
    EXPECT_EQ(host_->WaitingCount(), kMaxQueuedBytes / (100 * 1024));
    EXPECT_LE(host_->WaitingBytes(), kMaxQueuedBytes);
    // Taking one makes room for one more.
    ASSERT_TRUE(host_->TakeDelivery());
    Write(*flood, large(11));
    EXPECT_TRUE(SpinUntil([&] { return host_->WaitingCount() == 40; }, 2000));
    while (host_->TakeDelivery()) {
    }
    EXPECT_EQ(host_->WaitingBytes(), 0u);
}

TEST_F(HostilePeer, ForgedJoinsAndPingsAreIgnored) {
    StartHost(47723);
    auto raw = Connect();
    // A machine announcing itself with an id the host never handed out.
    AddForwardRequest forged;
    forged.playerId = 0x1234;
    forged.player.id = 0x1234;
    forged.player.flags = player_flags::kSystemPlayer;
    forged.player.streamAddress = SockAddr{40001, 0};
    Write(*raw, Encode(forged, SockAddr{40001, 0}, 14));
    // A player created without an id from the host.
    CreatePlayer create;
    create.playerId = 0x999;
    create.player.id = 0x999;
    create.player.shortName = u"Ghost";
    Write(*raw, Encode(create, SockAddr{40001, 0}, 14));
    // A ping from a stranger is answered with "you are dead" at the port it names.
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    Write(*raw, Encode(Ping{0x4242, 1, false}, SockAddr{listener.serverPort(), 0}, 14));
    ASSERT_TRUE(SpinUntil([&] { return listener.hasPendingConnections(); }, 2000));
    QTcpSocket* answer = listener.nextPendingConnection();
    ASSERT_TRUE(SpinUntil([&] { return answer->bytesAvailable() >= 28; }, 2000));
    const QByteArray bytes = answer->readAll();
    EXPECT_EQ(bytes.size(), 28);
    EXPECT_EQ(bytes[24], kYouAreDead);
    EXPECT_TRUE(host_->machines().empty());
    EXPECT_FALSE(host_->HasPlayer(0x999));
    EXPECT_EQ(host_->CurrentPlayers(), 1u);
}

}  // namespace
}  // namespace scopewatch::directplay
