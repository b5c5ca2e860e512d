// Our host as a joiner we did not write sees it: a machine scripted byte by byte joins in an
// older dialect, with datagram and stream ports that differ, and checks what the host sends.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <algorithm>

#include "support/DirectPlayLoopback.h"
#include "support/DirectPlayPlayers.h"
#include "support/ScriptedMachine.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::directplay {
namespace {

using testing::ScriptedMachine;
using testing::SpinUntil;

constexpr uint16_t kOldDialect = 11;
constexpr uint16_t kJoinerDatagramPort = 40001;

// Joins the scripted machine to the host at `hostPort` the way a Windows joiner does: id
// request, then the add-forward request naming its stream port `streamPort` in its system
// player and in its header (or no port there). Returns its id.
uint32_t JoinByHand(ScriptedMachine& joiner, quint16 hostPort, quint16 streamPort,
                    bool portInHeader = true) {
    joiner.SendTo(hostPort, Encode(RequestPlayerId{0x9}, joiner.address(), kOldDialect));
    const auto reply = joiner.Take(kRequestPlayerReply);
    EXPECT_TRUE(reply.has_value());
    const uint32_t id = reply ? std::get<RequestPlayerReply>(reply->decoded.message).id : 0;
    const AddForwardRequest request{
        0, id,
        testing::SystemPlayerOf(0x9, id, kOldDialect, SockAddr{streamPort, 0},
                                SockAddr{kJoinerDatagramPort, 0}),
        u"", 0};
    joiner.SendTo(hostPort, Encode(request, SockAddr{portInHeader ? streamPort : quint16{0}, 0},
                                   kOldDialect));
    return id;
}

// A player of the host's machine as the host describes it: at 0.0.0.0 with the host's ports.
PlayerInfo HostPlayerAsSent(DirectPlayHost& host, uint32_t id, std::u16string name) {
    PlayerInfo player = testing::PlayerOf(id, host.systemId(), std::move(name));
    player.streamAddress = SockAddr{host.transport().streamPort(), 0};
    player.datagramAddress = SockAddr{host.transport().datagramPort(), 0};
    return player;
}

// Our client, joined to the one session of `s` within `withinMs`.
std::unique_ptr<DirectPlayClient> JoinWithin(const testing::LoopbackSession& s, qint64 withinMs) {
    auto client = s.Client();
    QElapsedTimer clock;
    clock.start();
    const auto sessions = testing::EnumerateNow(*client, "127.0.0.1", 2000);
    EXPECT_EQ(sessions.size(), 1u);
    if (!sessions.empty()) {
        EXPECT_TRUE(testing::JoinNow(*client, sessions[0]).ok());
    }
    EXPECT_LT(clock.elapsed(), withinMs);
    return client;
}

// What our host sends a joiner of an older dialect, byte for byte: the name table and later
// player announcements describe every player with its machine's addresses (ours as 0.0.0.0
// with our ports, the joiner's at its real address) and our system player speaks the joiner's
// dialect. The joiner then hears of our client at its real address, the client gets in on the
// joiner's answer, and when the joiner quits without a word the client is told.
TEST(DirectPlayHost, DescribesEveryoneInTheJoinersDialectAndTellsOthersWhenAMachineQuits) {
    testing::LoopbackSession s(47740, testing::QuietTimings());
    s.StartHost();
    DirectPlayHost& host = *s.host;
    const quint16 hostPort = host.transport().streamPort();
    ScriptedMachine joiner;
    joiner.OnReceive([&](const ScriptedMachine::Received& received) {
        if (const auto* forward = std::get_if<AddForward>(&received.decoded.message)) {
            joiner.SendTo(hostPort,
                          Encode(AddForwardAck{forward->playerId}, joiner.address(), kOldDialect));
        }
    });
    const uint32_t joinerId = JoinByHand(joiner, hostPort, joiner.port());
    const auto snapshot = joiner.Take(kSuperEnumPlayersReply);
    ASSERT_TRUE(snapshot.has_value());
    SuperEnumPlayersReply expected{host.CurrentDesc(), u"Loopback Fly-in", u"", {}};
    expected.players = {
        testing::SystemPlayerOf(0x7, host.systemId(), kOldDialect, SockAddr{hostPort, 0},
                                SockAddr{host.transport().datagramPort(), 0}),
        testing::SystemPlayerOf(0x5, joinerId, kOldDialect, SockAddr{joiner.port(), 0x7F000001},
                                SockAddr{kJoinerDatagramPort, 0x7F000001})};
    if (joinerId < host.systemId()) {
        std::swap(expected.players[0], expected.players[1]);
    }
    expected.players.push_back(HostPlayerAsSent(host, s.hostPilot, u"Host Pilot"));
    EXPECT_EQ(snapshot->bytes, Encode(expected, SockAddr{hostPort, 0}, kOldDialect));

    const uint32_t late = host.CreatePlayer(u"Late", u"Pilot");
    CreatePlayer announced{0, late, HostPlayerAsSent(host, late, u"Late"), false};
    announced.player.flags = player_flags::kLocal;
    announced.player.version = kOldDialect;
    const auto create = joiner.Take(kCreatePlayer);
    ASSERT_TRUE(create.has_value());
    EXPECT_EQ(create->bytes, Encode(announced, SockAddr{hostPort, 0}, kOldDialect));

    const auto client = JoinWithin(s, s.timings.addForwardWaitMs);  // the joiner's answer let it in
    EXPECT_TRUE(client->HasPlayer(joinerId));
    const auto forward = joiner.Take(kAddForward);
    ASSERT_TRUE(forward.has_value());
    EXPECT_EQ(forward->decoded.version, kOldDialect);
    const PlayerInfo machine = std::get<AddForward>(forward->decoded.message).player;
    EXPECT_EQ(machine.streamAddress, (SockAddr{client->transport().streamPort(), 0x7F000001}));
    EXPECT_EQ(machine.datagramAddress, (SockAddr{client->transport().datagramPort(), 0x7F000001}));

    joiner.Vanish();
    EXPECT_TRUE(SpinUntil([&] { return !client->HasPlayer(joinerId); }, 3000));
    EXPECT_EQ(client->machines().size(), 1u);
    EXPECT_FALSE(host.HasPlayer(joinerId));
}

// A machine that leaves with DELETEPLAYER instead of acknowledging a newcomer's announcement
// holds the newcomer up no longer; the ADDFORWARDREQUEST of a joiner whose header names no
// port is answered at the port its system player gives.
TEST(DirectPlayHost, MachineLeavingDuringAnotherJoinLetsItFinishAtOnce) {
    testing::LoopbackSession s(47749, testing::QuietTimings());
    s.timings.addForwardWaitMs = 15000;
    s.timings.joinTimeoutMs = 20000;
    s.StartHost();
    const quint16 hostPort = s.host->transport().streamPort();
    ScriptedMachine leaver;
    uint32_t leaverId = 0;
    leaver.OnReceive([&](const ScriptedMachine::Received& received) {
        if (std::holds_alternative<AddForward>(received.decoded.message)) {
            leaver.SendTo(hostPort,
                          Encode(DeletePlayer{0, leaverId}, leaver.address(), kOldDialect));
        }
    });
    leaverId = JoinByHand(leaver, hostPort, leaver.port(), false);
    ASSERT_TRUE(leaver.Take(kSuperEnumPlayersReply).has_value());

    const auto client = JoinWithin(s, 5000);
    EXPECT_FALSE(client->HasPlayer(leaverId));
    EXPECT_FALSE(s.host->HasPlayer(leaverId));
}

// A listening port that takes one connection and leaves every later one waiting: sends to it
// pile up unwritten.
class StalledListener {
  public:
    StalledListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_, 0);
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        filler_.connectToHost(QHostAddress::LocalHost, port_);
        filler_.waitForConnected(2000);
    }
    ~StalledListener() { ::close(fd_); }
    quint16 port() const { return port_; }

  private:
    int fd_ = -1;
    quint16 port_ = 0;
    QTcpSocket filler_;
};

// A machine whose messages cannot go out is dropped at the very send that finds it out, in
// the middle of announcing a newcomer to every machine; the newcomer still gets in at once.
TEST(DirectPlayHost, MachineDroppedWhileANewcomerIsAnnouncedLeavesTheJoinIntact) {
    testing::LoopbackSession s(47742, testing::QuietTimings());
    s.timings.addForwardWaitMs = 15000;
    s.timings.joinTimeoutMs = 20000;
    TransportLimits limits;
    limits.maxPendingWriteBytes = 400;  // the stalled machine's name table, not one more message
    DirectPlayHost host(s.plan, s.timings, limits);
    ASSERT_EQ(host.Start({u"T", 8, {}, session_flags::kKeepAlive}), std::nullopt);
    const auto first = JoinWithin(s, 5000);

    // This machine's stream port never takes our connection: the host's messages to it wait.
    ScriptedMachine stalled;
    const StalledListener listener;
    const uint32_t stalledId = JoinByHand(stalled, host.transport().streamPort(), listener.port());
    ASSERT_TRUE(SpinUntil([&] { return first->HasPlayer(stalledId); }, 2000));
    testing::Spin(200);

    const auto third = JoinWithin(s, 5000);  // nobody waited for the dropped machine's answer
    EXPECT_EQ(host.machines().count(stalledId), 0u);
    EXPECT_EQ(host.machines().size(), 2u);
    EXPECT_TRUE(SpinUntil([&] { return !first->HasPlayer(stalledId); }, 2000));
    EXPECT_TRUE(first->HasPlayer(third->systemId()));
}

}  // namespace
}  // namespace scopewatch::directplay
