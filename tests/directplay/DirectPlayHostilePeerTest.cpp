// Raw sockets throw garbage, lies and floods at our host; it must drop the bad input, keep
// its memory bounded and go on serving a well-behaved client.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <algorithm>
#include <memory>

#include "support/DirectPlayLoopback.h"
#include "support/DirectPlayPlayers.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::directplay {
namespace {

using testing::SpinUntil;

class HostilePeer : public ::testing::Test {
  protected:
    // Each test has its own enumeration port, so tests may run side by side.
    void StartHost(uint16_t enumPort) {
        session_ = std::make_unique<testing::LoopbackSession>(enumPort, Timings{});
        session_->StartHost({u"Target", 16, {}, session_flags::kKeepAlive});
        host_ = session_->host.get();
    }

    // Players of a machine that joined the session from this address: player data in their
    // name is taken from any connection of ours.
    std::vector<uint32_t> JoinMembers(size_t count) {
        member_ = session_->Join(u"Member 0");
        std::vector<uint32_t> players{member_.player};
        while (players.size() < count) {
            players.push_back(testing::CreatePlayerNow(
                *member_.client, u"Member " + std::u16string(1, u'0' + players.size())));
        }
        EXPECT_TRUE(SpinUntil([&] { return host_->HasPlayer(players.back()); }, 2000));
        return players;
    }

    std::unique_ptr<QTcpSocket> Connect() {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, host_->transport().streamPort());
        EXPECT_TRUE(
            SpinUntil([&] { return socket->state() == QAbstractSocket::ConnectedState; }, 2000));
        return socket;
    }

    static void Write(QTcpSocket& socket, const Bytes& bytes) {
        socket.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<qint64>(bytes.size()));
        socket.flush();
    }

    static Bytes Data(uint32_t sender, const Bytes& payload) {
        return EncodePlayerData(SockAddr{1, 0}, sender, 0, payload);
    }

    // A well-behaved client can still find and join the session.
    void ExpectStillServing() {
        const auto atc = session_->Join(u"ATC");
        EXPECT_GT(atc.player, 0u);
        atc.client->Leave();
    }

    std::unique_ptr<testing::LoopbackSession> session_;
    DirectPlayHost* host_ = nullptr;
    testing::LoopbackSession::Joined member_;
};

// No valid size word: the stream cannot be followed, and the host closes the connection. A
// well-formed message above our cap (up to the 1 MiB its size word allows) is passed over
// unread, and the messages after it arrive; a message whose content lies is dropped. Half a
// message waits for the rest without holding anyone else up.
TEST_F(HostilePeer, GarbageClosesTheConnectionLargeOrLyingMessagesAreDropped) {
    StartHost(47720);
    const uint32_t sender = JoinMembers(1).at(0);
    auto half = Connect();
    const Bytes whole = Data(sender, Bytes(40, 1));
    Write(*half, Bytes(whole.begin(), whole.begin() + 30));

    auto garbage = Connect();
    Write(*garbage, Bytes(64, 0x41));
    EXPECT_TRUE(
        SpinUntil([&] { return garbage->state() == QAbstractSocket::UnconnectedState; }, 2000));

    auto large = Connect();
    Write(*large, Data(sender, Bytes(kMaxMessageSize, 6)));
    Write(*large, Data(sender, Bytes(kLargestFrame - 28, 7)));
    Write(*large, whole);
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

    EXPECT_EQ(host_->WaitingCount(), 0u);
    Write(*half, Bytes(whole.begin() + 30, whole.end()));
    EXPECT_TRUE(SpinUntil([&] { return host_->WaitingCount() == 1; }, 2000));
}

// Player data: one sender stops at its share of the queue (by count, or by bytes long before
// that when its messages are large: nobody makes us hold 2048 messages of 128 KiB), several
// at the queue's cap, and what was dropped is counted. Junk datagrams, connections and
// enumeration requests with made-up reply ports beyond the caps are dropped.
TEST_F(HostilePeer, FloodsStayBounded) {
    StartHost(47722);
    const std::vector<uint32_t> members = JoinMembers(7);
    auto flood = Connect();
    size_t dropped = 0;
    for (const auto& [size, count, senders] :
         {std::tuple<size_t, size_t, uint32_t>{16, kMaxQueuedPerSender + 100, 5},
          {100 * 1024, 20, 7}}) {
        const size_t share = std::min(kMaxQueuedPerSender, kMaxQueuedBytesPerSender / size);
        const size_t room = std::min(kMaxQueuedDeliveries, kMaxQueuedBytes / size);
        for (uint32_t sender = 0; sender < senders; ++sender) {
            Bytes burst;
            for (size_t i = 0; i < count; ++i) {
                const Bytes one = Data(members.at(sender), Bytes(size, 2));
                burst.insert(burst.end(), one.begin(), one.end());
            }
            Write(*flood, burst);
            if (sender == 0) {
                dropped += count - share;
                EXPECT_TRUE(SpinUntil([&] { return host_->droppedDeliveries() == dropped; }, 5000));
                EXPECT_EQ(host_->WaitingCount(), share);
            }
        }
        dropped += (senders - 1) * count - (room - share);
        EXPECT_TRUE(SpinUntil([&] { return host_->droppedDeliveries() == dropped; }, 5000));
        EXPECT_EQ(host_->WaitingCount(), room);
        EXPECT_LE(host_->WaitingBytes(), kMaxQueuedBytes);
        ASSERT_TRUE(host_->TakeDelivery());  // taking one makes room for one more
        Write(*flood, Data(members.at(senders - 1), Bytes(size, 2)));
        EXPECT_TRUE(SpinUntil([&] { return host_->WaitingCount() == room; }, 2000));
        while (host_->TakeDelivery()) {
        }
        EXPECT_EQ(host_->WaitingBytes(), 0u);
    }

    QUdpSocket udp;
    for (int i = 0; i < 500; ++i) {
        const QByteArray junk(i % 2 ? 30 : 1400, static_cast<char>(i));
        udp.writeDatagram(junk, QHostAddress::LocalHost, host_->transport().datagramPort());
        udp.writeDatagram(junk, QHostAddress::LocalHost, session_->plan.enumPort);
    }
    testing::Spin(200);
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int i = 0; i < 80; ++i) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        sockets.back()->connectToHost(QHostAddress::LocalHost, host_->transport().streamPort());
    }
    testing::Spin(500);
    EXPECT_LE(host_->transport().openConnectionCount(), TransportLimits{}.maxInboundConnections);
    sockets.clear();
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
    ExpectStillServing();
}

// A machine announcing itself with an id the host never handed out, and a player created
// without one, are ignored; a ping from a stranger is answered with "you are dead" at the
// port it names.
TEST_F(HostilePeer, ForgedJoinsAndPingsAreIgnored) {
    StartHost(47723);
    auto raw = Connect();
    const PlayerInfo machine = testing::SystemPlayerOf(1, 0x1234, 14, SockAddr{40001, 0});
    Write(*raw, Encode(AddForwardRequest{0, 0x1234, machine, u"", 0}, SockAddr{40001, 0}, 14));
    const PlayerInfo ghost = testing::PlayerOf(0x999, 0, u"Ghost", u"");
    Write(*raw, Encode(CreatePlayer{0, 0x999, ghost, false}, SockAddr{40001, 0}, 14));
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
