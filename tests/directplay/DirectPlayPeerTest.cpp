// Our client and our host against machines scripted byte by byte, shaped the ways
// implementations we did not write may shape their messages: hosts and peers for our client, a
// joiner of an older dialect (with datagram and stream ports that differ) for our host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <set>

#include "directplay/DirectPlayClient.h"
#include "support/DirectPlayLoopback.h"
#include "support/Golden.h"
#include "support/ScriptedMachine.h"
#include "support/SpinEventLoop.h"

// A late answer to a name lookup would write into the stack frame of a call that has returned;
// the address sanitizer sees that only when it keeps returned frames apart.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() {
    return "detect_stack_use_after_return=1";
}
#endif

namespace scopewatch::directplay {
namespace {

using testing::CreatePlayerNow;
using testing::JoinNow;
using testing::PlayerOf;
using testing::ScriptedMachine;
using testing::SpinUntil;
using testing::SystemPlayerOf;

constexpr uint16_t kDialect = 11;  // an older one than ours
constexpr uint16_t kJoinerDatagramPort = 40001;
constexpr uint32_t kHostId = 0x1001;
constexpr uint32_t kClientId = 0x2002;
constexpr uint32_t kPlayerId = 0x3003;

// A host scripted to admit one machine: it hands out ids, answers the add-forward request with
// `beforeNameTable` and `nameTable` (at first its own system player alone) and a player id
// request with `playerReply` (none: silence). On a lossy link the first request of each kind
// never reaches it; a mute host answers nothing.
struct ScriptedHost {
    ScriptedHost() {
        machine.OnReceive([this](const ScriptedMachine::Received& received) { Answer(received); });
        nameTable.desc.maxPlayers = 8;
        nameTable.desc.flags = session_flags::kKeepAlive;
        nameTable.players = {
            SystemPlayerOf(0x7, kHostId, kDialect, machine.address(), machine.address())};
    }

    FoundSession Session() const {
        return {nameTable.desc, u"", QHostAddress::LocalHost, machine.port(), kDialect};
    }

    void Answer(const ScriptedMachine::Received& received) {
        const auto send = [&](const Message& answer) {
            machine.SendTo(received.decoded.sender.port,
                           Encode(answer, machine.address(), kDialect));
        };
        const auto* request = std::get_if<RequestPlayerId>(&received.decoded.message);
        const bool forMachine = request && (request->flags & player_flags::kSystemPlayer) != 0;
        const bool joining = std::holds_alternative<AddForwardRequest>(received.decoded.message);
        const int kind = request ? (forMachine ? 1 : 2) : received.decoded.command;
        if (mute || (lossy && (request || joining) && lost.insert(kind).second)) {
            return;
        }
        if (forMachine) {
            send(RequestPlayerReply{kClientId, 0});
        } else if (request && playerReply) {
            send(*playerReply);
        } else if (joining) {
            joinerPort = received.decoded.sender.port;
            for (const Message& early : beforeNameTable) {
                send(early);
            }
            if (!holdNameTable) {
                send(nameTable);
            }
        }
    }
    void SendNameTable() {
        machine.SendTo(joinerPort, Encode(nameTable, machine.address(), kDialect));
    }

    ScriptedMachine machine;
    std::vector<Message> beforeNameTable;
    SuperEnumPlayersReply nameTable;
    bool holdNameTable = false;  // until SendNameTable()
    bool lossy = false;
    bool mute = false;
    std::set<int> lost;  // the kinds of request lost so far
    quint16 joinerPort = 0;
    std::optional<RequestPlayerReply> playerReply = RequestPlayerReply{kPlayerId, 0};
};

PlayerInfo At(PlayerInfo player, SockAddr address) {
    player.streamAddress = player.datagramAddress = address;
    return player;
}

// A CREATEPLAYER as another implementation may write it (tests/data/directplay/foreign-*.hex:
// a fixed part without ParentID, names without terminators, no address data), its address data
// pointing at `port` (ff ff in the file).
Bytes ForeignCreatePlayer(const std::string& name, quint16 port = 0) {
    Bytes bytes = testing::ReadGoldenBytes("directplay/foreign-createplayer-" + name + ".hex");
    for (size_t i = 0; i + 4 <= bytes.size(); ++i) {
        if (Bytes(bytes.begin() + i, bytes.begin() + i + 4) == Bytes{2, 0, 0xFF, 0xFF}) {
            bytes[i + 2] = static_cast<uint8_t>(port >> 8);
            bytes[i + 3] = static_cast<uint8_t>(port);
        }
    }
    return bytes;
}

// A session whose host relays: what is meant for the others goes to the host, wrapped, and
// the other machines hear nothing from us directly; what the host passes on reaches us. Player
// data too large to send fails, as it does when sent to each player directly.
TEST(DirectPlayClient, WhereTheHostRelaysEverythingForTheOthersGoesThroughIt) {
    ScriptedMachine other(QHostAddress("127.0.0.3"));
    const SockAddr otherAt{other.port(), 0x7F000003};
    ScriptedHost host;
    host.nameTable.desc.flags |= session_flags::kMulticastServer;
    host.nameTable.players.insert(host.nameTable.players.end(),
                                  {SystemPlayerOf(0x5, 0x4004, kDialect, otherAt, otherAt),
                                   PlayerOf(0x6006, 0x4004, u"Pilot")});
    DirectPlayClient client(testing::DirectPlayTestPorts(47748), testing::QuietTimings());
    ASSERT_TRUE(JoinNow(client, host.Session()).ok());
    // The inner message of the next relay request from `playerFrom`, sent on with a prefix
    // again as the host would: it reads as a whole message.
    const auto relayed = [&](uint32_t playerFrom) {
        const auto received = host.machine.Take(kAsk4MulticastGuaranteed);
        EXPECT_TRUE(received.has_value());
        const auto ask =
            received ? std::get<Ask4Multicast>(received->decoded.message) : Ask4Multicast{};
        EXPECT_EQ(std::tie(ask.groupTo, ask.playerFrom), std::tuple(0u, playerFrom));
        const auto passedOn = Decode(Encode(PlayerData{ask.inner}, SockAddr{1, 0}, 0));
        EXPECT_TRUE(passedOn.ok()) << passedOn.failure;
        return passedOn.ok() ? passedOn.value->message : Message{};
    };

    EXPECT_EQ(CreatePlayerNow(client, u"ATC"), kPlayerId);
    EXPECT_EQ(std::get<CreatePlayer>(relayed(kClientId)).playerId, kPlayerId);
    EXPECT_FALSE(client.SendToAll(kPlayerId, Bytes(kLargestFrame, 1)).ok());  // sent to nobody
    client.SendToAll(kPlayerId, Bytes{1, 2, 3});
    const auto data = SplitPlayerData(std::get<PlayerData>(relayed(kPlayerId)));
    EXPECT_EQ(std::tie(data->idFrom, data->payload), std::tuple(kPlayerId, Bytes{1, 2, 3}));

    host.machine.SendTo(client.transport().streamPort(),
                        EncodePlayerData(host.machine.address(), 0x6006, 0, {7}));
    ASSERT_TRUE(SpinUntil([&] { return client.WaitingCount() == 1; }, 2000));
    EXPECT_EQ(client.TakeDelivery()->idFrom, 0x6006u);

    client.Leave();
    EXPECT_EQ(std::get<DeletePlayer>(relayed(kClientId)).playerId, kPlayerId);
    EXPECT_EQ(std::get<DeletePlayer>(relayed(kClientId)).playerId, kClientId);
    EXPECT_FALSE(other.Take(kCreatePlayer, 300).has_value());
    EXPECT_FALSE(other.Take(0, 0).has_value());
}

// Whether the host refuses our player or never answers, the client ends up not joined: it has
// told the session its machine left, and the next call fails as a session error does.
TEST(DirectPlayClient, FailedPlayerCreationLeavesTheClientNotJoined) {
    for (const auto& answer : std::vector<std::optional<RequestPlayerReply>>{
             RequestPlayerReply{0, kErrorNoNewPlayers}, std::nullopt}) {
        ScriptedHost host;
        host.playerReply = answer;
        Timings timings = testing::QuietTimings();
        timings.replyTimeoutMs = 300;
        timings.joinTimeoutMs = 700;
        DirectPlayClient client(testing::DirectPlayTestPorts(47751), timings);
        ASSERT_TRUE(JoinNow(client, host.Session()).ok());
        EXPECT_EQ(CreatePlayerNow(client, u"ATC"), 0u);
        EXPECT_TRUE(!client.joined() && client.machines().empty());
        const auto left = host.machine.Take(kDeletePlayer);
        ASSERT_TRUE(left.has_value());
        EXPECT_EQ(std::get<DeletePlayer>(left->decoded.message).playerId, kClientId);
        EXPECT_EQ(client.CreatePlayer(u"ATC", u"Player").failure, "Not joined to a session");
    }
}

// On a lossy link a request may never arrive: the client sends it again while it goes
// unanswered, so a join whose first id request and first join request are lost, and a player
// whose first id request is lost, still get in. A host that stays silent fails the join within
// the join's time, having been asked again and again.
TEST(DirectPlayClient, RequestsLostOnTheWayAreSentAgainWithinTheJoinsTime) {
    Timings timings = testing::QuietTimings();
    timings.replyTimeoutMs = 200;
    timings.joinTimeoutMs = 1500;
    ScriptedHost lossy;
    lossy.lossy = true;
    DirectPlayClient client(testing::DirectPlayTestPorts(47756), timings);
    ASSERT_TRUE(JoinNow(client, lossy.Session()).ok()) << client.failure();
    EXPECT_EQ(CreatePlayerNow(client, u"ATC"), kPlayerId);
    EXPECT_EQ(lossy.lost, (std::set<int>{1, 2, kAddForwardRequest}));

    ScriptedHost silent;
    silent.mute = true;
    QElapsedTimer clock;
    clock.start();
    EXPECT_THAT(JoinNow(client, silent.Session()).failure,
                ::testing::StartsWith("The host did not answer the join request"));
    EXPECT_LT(clock.elapsed(), timings.joinTimeoutMs + 500);
    for (int asked = 0; asked < 5; ++asked) {
        EXPECT_TRUE(silent.machine.Take(kRequestPlayerId, 0)) << asked;
    }
}

// Every machine is reached, however we hear of it: listed without address data (then at the
// addresses of its players), announced while our join goes on (the host gets our
// acknowledgement at once), or known only by one of its players. Name table entries and players
// announced without ParentID, address data or name terminators are all taken. What our client
// sends carries its own addresses and the host's dialect throughout.
// Only the session steers the client (the rule: NameTableTest): a stranger's answers to our join
// and its word that the host left are dropped and counted, while a member's player data arrives.
// A DELETEPLAYER for id 0 during the join names no player; the join goes on. A new join starts
// with nothing queued from the old one.
TEST(DirectPlayClient, ReachesEveryMachineOfTheSessionAndHearsOnlyThem) {
    ScriptedMachine stranger(QHostAddress("127.0.0.2"));
    ScriptedMachine other(QHostAddress("127.0.0.3"));  // listed without address data
    ScriptedMachine early;                             // announced before the name table comes
    ScriptedMachine unannounced;
    ScriptedHost host;
    host.holdNameTable = true;
    host.beforeNameTable = {
        DeletePlayer{0, 0},
        AddForward{kClientId, 0x4004,
                   SystemPlayerOf(0x5, 0x4004, kDialect, early.address(), early.address())}};
    host.nameTable.players.insert(
        host.nameTable.players.end(),
        {SystemPlayerOf(0x5, 0x5005, kDialect),
         At(PlayerOf(0x5015, kHostId, u"Host Pilot"), host.machine.address()),
         PlayerOf(0x7007, kHostId, u"Without"),
         At(PlayerOf(0x6006, 0x5005, u"Remote"), SockAddr{other.port(), 0x7F000003})});
    DirectPlayClient client(testing::DirectPlayTestPorts(47782), testing::QuietTimings());
    ASSERT_TRUE(client.Join(host.Session()).ok());
    const quint16 ours = client.transport().streamPort();  // open once the join starts
    ASSERT_TRUE(SpinUntil([&] { return host.joinerPort != 0; }, 3000));
    SuperEnumPlayersReply forgedTable = host.nameTable;
    forgedTable.players.resize(1);
    for (const Message& forged :
         {Message{forgedTable}, Message{AddForwardReply{kErrorNoNewPlayers}},
          Message{RequestPlayerReply{0x6666, 0}}}) {
        stranger.SendTo(ours, Encode(forged, stranger.address(), 14));
    }
    testing::Spin(200);
    EXPECT_EQ(client.state(), JoinState::kAwaitingNameTable);
    host.SendNameTable();
    ASSERT_TRUE(SpinUntil([&] { return !client.busy(); }, 3000));
    ASSERT_EQ(client.state(), JoinState::kJoined) << client.failure();
    EXPECT_EQ(client.refusedMessages(), 3u);
    EXPECT_EQ(
        std::tuple(client.PlayerName(0x5015), client.PlayerName(0x7007), client.PlayerName(0x6006)),
        std::tuple(u"Host Pilot", u"Without", u"Remote"));
    EXPECT_EQ(client.machines().at(0x5005).streamPort, other.port());
    const auto ack = host.machine.Take(kAddForwardAck);
    ASSERT_TRUE(ack.has_value());
    EXPECT_EQ(std::get<AddForwardAck>(ack->decoded.message).id, 0x4004u);
    const auto request = host.machine.Take(kAddForwardRequest);
    ASSERT_TRUE(request.has_value());
    const SockAddr stream{ours, 0};
    const SockAddr datagram{client.transport().datagramPort(), 0};
    EXPECT_EQ(request->decoded.version, kDialect);
    EXPECT_EQ(std::get<AddForwardRequest>(request->decoded.message).player,
              SystemPlayerOf(0x9, kClientId, kDialect, stream, datagram));

    unannounced.SendTo(ours, ForeignCreatePlayer("late", unannounced.port()));
    ASSERT_TRUE(SpinUntil([&] { return client.HasPlayer(0x8008); }, 2000));
    EXPECT_EQ(CreatePlayerNow(client, u"ATC"), kPlayerId);
    PlayerInfo ourPlayer = At(PlayerOf(kPlayerId, kClientId, u"ATC", u"Player"), stream);
    ourPlayer.datagramAddress = datagram;
    ourPlayer.flags = player_flags::kLocal, ourPlayer.version = kDialect;
    for (ScriptedMachine* machine : {&host.machine, &other, &early, &unannounced}) {
        const auto create = machine->Take(kCreatePlayer);
        ASSERT_TRUE(create.has_value());
        EXPECT_EQ(create->decoded.version, kDialect);
        EXPECT_EQ(std::get<CreatePlayer>(create->decoded.message).player, ourPlayer);
    }
    client.SendToAll(kPlayerId, Bytes{1, 2, 3});
    const auto sent = unannounced.Take(0);
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(SplitPlayerData(std::get<PlayerData>(sent->decoded.message))->payload,
              (Bytes{1, 2, 3}));
    other.SendTo(ours, ForeignCreatePlayer("old", other.port()));
    other.SendTo(ours, ForeignCreatePlayer("bare"));
    ASSERT_TRUE(SpinUntil([&] { return client.HasPlayer(0x9019); }, 2000));
    EXPECT_EQ(std::tuple(client.PlayerName(0x9009), client.PlayerName(0x9019)),
              std::tuple(u"Old", u"Bare"));
    EXPECT_EQ(client.transport().rejectedInputs(), 0);

    other.SendTo(ours, EncodePlayerData(SockAddr{40000, 0}, 0x6006, 0, Bytes{0x16, 0x10, 0}));
    stranger.SendTo(ours, Encode(DeletePlayer{0, kHostId}, stranger.address(), 14));
    ASSERT_TRUE(SpinUntil([&] { return client.WaitingCount() == 1; }, 3000));
    ASSERT_TRUE(SpinUntil([&] { return client.refusedMessages() == 4; }, 3000));
    ScriptedHost next;
    const auto rejoined = JoinNow(client, next.Session());
    ASSERT_TRUE(rejoined.ok()) << rejoined.failure;
    EXPECT_EQ(client.WaitingCount(), 0u);
}

// The wait for a host name ends before the answer comes; the late answer harms nothing.
TEST(DirectPlayClient, HostNameLookupOutlivedByItsWaitIsHarmless) {
    Timings impatient = testing::QuietTimings();
    impatient.lookupTimeoutMs = 0;
    DirectPlayClient client(testing::DirectPlayTestPorts(47780), impatient);
    ASSERT_TRUE(client.Enumerate("localhost", 100).ok());
    ASSERT_TRUE(SpinUntil([&] { return !client.busy(); }, 2000));
    EXPECT_EQ(client.state(), JoinState::kListingFailed);
    testing::Spin(300);  // the late answer comes
    EXPECT_EQ(client.state(), JoinState::kListingFailed);
}

// Joins the scripted machine to the host at `hostPort` the way a Windows joiner does: id
// request, then the add-forward request naming its stream port `streamPort` in its system
// player and in its header (or no port there). Returns its id.
uint32_t JoinByHand(ScriptedMachine& joiner, quint16 hostPort, quint16 streamPort,
                    bool portInHeader = true) {
    joiner.SendTo(hostPort, Encode(RequestPlayerId{0x9}, joiner.address(), kDialect));
    const auto reply = joiner.Take(kRequestPlayerReply);
    EXPECT_TRUE(reply.has_value());
    const uint32_t id = reply ? std::get<RequestPlayerReply>(reply->decoded.message).id : 0;
    const AddForwardRequest request{
        0, id,
        testing::SystemPlayerOf(0x9, id, kDialect, SockAddr{streamPort, 0},
                                SockAddr{kJoinerDatagramPort, 0}),
        u"", 0};
    joiner.SendTo(hostPort,
                  Encode(request, SockAddr{portInHeader ? streamPort : quint16{0}, 0}, kDialect));
    return id;
}

// A joiner whose answers are slow asks again: our host answers the repeated id request with the
// id it gave before, and a repeated join request adds no second machine and no second join.
TEST(DirectPlayHost, ARepeatedRequestGetsTheSameIdAndAddsNoSecondMachine) {
    testing::LoopbackSession s(47757, testing::QuietTimings());
    s.StartHost();
    const quint16 hostPort = s.host->transport().streamPort();
    ScriptedMachine joiner;
    joiner.SendTo(hostPort, Encode(RequestPlayerId{0x9}, joiner.address(), kDialect));
    const auto slow = joiner.Take(kRequestPlayerReply);
    ASSERT_TRUE(slow.has_value());
    const uint32_t id = JoinByHand(joiner, hostPort, joiner.port());
    EXPECT_EQ(id, std::get<RequestPlayerReply>(slow->decoded.message).id);
    const AddForwardRequest again{
        0, id, SystemPlayerOf(0x9, id, kDialect, joiner.address(), joiner.address()), u"", 0};
    joiner.SendTo(hostPort, Encode(again, joiner.address(), kDialect));
    EXPECT_TRUE(joiner.Take(kSuperEnumPlayersReply).has_value());
    EXPECT_FALSE(joiner.Take(kSuperEnumPlayersReply, 300).has_value());
    EXPECT_EQ(s.host->table().machines().size(), 1u);
}

// A player of the host's machine as the host describes it: at 0.0.0.0 with the host's ports.
PlayerInfo HostPlayerAsSent(DirectPlayHost& host, uint32_t id, std::u16string name) {
    PlayerInfo player = testing::PlayerOf(id, host.systemId(), std::move(name));
    player.streamAddress = SockAddr{host.transport().streamPort(), 0};
    player.datagramAddress = SockAddr{host.transport().datagramPort(), 0};
    return player;
}

// Our client, joined to the one session of `s` within `withinMs`.
testing::LoopbackSession::Joined JoinWithin(const testing::LoopbackSession& s, qint64 withinMs) {
    QElapsedTimer clock;
    clock.start();
    auto joined = s.Join(u"ATC");
    EXPECT_LT(clock.elapsed(), withinMs);
    return joined;
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
                          Encode(AddForwardAck{forward->playerId}, joiner.address(), kDialect));
        }
    });
    const uint32_t joinerId = JoinByHand(joiner, hostPort, joiner.port());
    const auto snapshot = joiner.Take(kSuperEnumPlayersReply);
    ASSERT_TRUE(snapshot.has_value());
    SuperEnumPlayersReply expected{host.CurrentDesc(), u"Loopback Fly-in", u"", {}};
    expected.players = {
        testing::SystemPlayerOf(0x7, host.systemId(), kDialect, SockAddr{hostPort, 0},
                                SockAddr{host.transport().datagramPort(), 0}),
        testing::SystemPlayerOf(0x5, joinerId, kDialect, SockAddr{joiner.port(), 0x7F000001},
                                SockAddr{kJoinerDatagramPort, 0x7F000001})};
    if (joinerId < host.systemId()) {
        std::swap(expected.players[0], expected.players[1]);
    }
    expected.players.push_back(HostPlayerAsSent(host, s.hostPilot, u"Host Pilot"));
    EXPECT_EQ(snapshot->bytes, Encode(expected, SockAddr{hostPort, 0}, kDialect));
    const uint32_t late = host.CreatePlayer(u"Late", u"Pilot");
    CreatePlayer announced{0, late, HostPlayerAsSent(host, late, u"Late"), false};
    announced.player.flags = player_flags::kLocal, announced.player.version = kDialect;
    const auto create = joiner.Take(kCreatePlayer);
    ASSERT_TRUE(create.has_value());
    EXPECT_EQ(create->bytes, Encode(announced, SockAddr{hostPort, 0}, kDialect));

    const auto atc = JoinWithin(s, s.timings.addForwardWaitMs);  // the joiner's answer let it in
    EXPECT_TRUE(atc.client->HasPlayer(joinerId));
    const auto forward = joiner.Take(kAddForward);
    ASSERT_TRUE(forward.has_value());
    EXPECT_EQ(forward->decoded.version, kDialect);
    const PlayerInfo machine = std::get<AddForward>(forward->decoded.message).player;
    EXPECT_EQ(machine.streamAddress, (SockAddr{atc.client->transport().streamPort(), 0x7F000001}));
    EXPECT_EQ(machine.datagramAddress,
              (SockAddr{atc.client->transport().datagramPort(), 0x7F000001}));

    joiner.Vanish();
    EXPECT_TRUE(SpinUntil([&] { return !atc.client->HasPlayer(joinerId); }, 3000));
    EXPECT_EQ(atc.client->machines().size(), 1u);
    EXPECT_FALSE(host.table().HasPlayer(joinerId));
}

// A newcomer gets in at once, though of the machines announcing it one can no longer be
// written to and one leaves with DELETEPLAYER instead of acknowledging. The first is dropped at
// the very send that finds it out, in the middle of announcing the newcomer to every machine.
// The ADDFORWARDREQUEST of a joiner whose header names no port is answered at the port its
// system player gives.
TEST(DirectPlayHost, MachinesStalledOrLeavingWhileANewcomerIsAnnouncedDoNotHoldItUp) {
    testing::LoopbackSession s(47742, testing::QuietTimings());
    s.timings.addForwardWaitMs = 15000;
    s.timings.joinTimeoutMs = 20000;
    TransportLimits limits;
    limits.maxPendingWriteBytes = 400;  // the stalled machine's name table, not one more message
    DirectPlayHost host(s.plan, s.timings, limits);
    ASSERT_TRUE(host.Start({u"T", 8, {}, session_flags::kKeepAlive}).ok());
    const quint16 hostPort = host.transport().streamPort();
    const auto first = JoinWithin(s, 5000);
    // This machine's stream port takes one connection and leaves every later one waiting: the
    // host's messages to it wait.
    QTcpServer listener;
    listener.setListenBacklogSize(0);
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    listener.pauseAccepting();
    QTcpSocket filler;
    filler.connectToHost(QHostAddress::LocalHost, listener.serverPort());
    ASSERT_TRUE(filler.waitForConnected(2000));
    ScriptedMachine stalled;
    const uint32_t stalledId = JoinByHand(stalled, hostPort, listener.serverPort());
    ASSERT_TRUE(SpinUntil([&] { return first.client->HasPlayer(stalledId); }, 2000));
    testing::Spin(200);

    ScriptedMachine leaver;
    uint32_t leaverId = 0;
    leaver.OnReceive([&](const ScriptedMachine::Received& received) {
        if (std::holds_alternative<AddForward>(received.decoded.message)) {
            leaver.SendTo(hostPort, Encode(DeletePlayer{0, leaverId}, leaver.address(), kDialect));
        }
    });
    leaverId = JoinByHand(leaver, hostPort, leaver.port(), false);
    ASSERT_TRUE(leaver.Take(kSuperEnumPlayersReply).has_value());  // nobody waited for the stalled
    EXPECT_EQ(host.table().machines().count(stalledId), 0u);
    const auto third = JoinWithin(s, 5000);  // nobody waited for the leaver
    EXPECT_FALSE(host.table().HasPlayer(leaverId) || third.client->HasPlayer(leaverId));
    EXPECT_EQ(host.table().machines().size(), 2u);
    EXPECT_TRUE(SpinUntil([&] { return !first.client->HasPlayer(stalledId); }, 2000));
    EXPECT_TRUE(first.client->HasPlayer(third.client->systemId()));
}

}  // namespace
}  // namespace scopewatch::directplay
