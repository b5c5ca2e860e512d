// Our client against hosts and peers scripted byte by byte, shaped the ways implementations we
// did not write may shape their messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "directplay/DirectPlayClient.h"
#include "shared/ByteWriter.h"
#include "support/DirectPlayLoopback.h"
#include "support/DirectPlayPlayers.h"
#include "support/DirectPlaySteps.h"
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

constexpr uint16_t kDialect = 11;
constexpr uint32_t kHostId = 0x1001;
constexpr uint32_t kClientId = 0x2002;
constexpr uint32_t kPlayerId = 0x3003;

// A host scripted to admit one machine: it hands out ids, answers the add-forward request with
// `beforeNameTable` and `nameTable` (at first its own system player alone) and a player id
// request with `playerReply` (none: silence).
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
        if (request && (request->flags & player_flags::kSystemPlayer) != 0) {
            send(RequestPlayerReply{kClientId, 0});
        } else if (request && playerReply) {
            send(*playerReply);
        } else if (std::holds_alternative<AddForwardRequest>(received.decoded.message)) {
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
    quint16 joinerPort = 0;
    std::optional<RequestPlayerReply> playerReply = RequestPlayerReply{kPlayerId, 0};
};

PlayerInfo At(PlayerInfo player, SockAddr address) {
    player.streamAddress = player.datagramAddress = address;
    return player;
}

// A CREATEPLAYER as another implementation may write it: the packed player's fixed part ends
// at `fixedSize` (44 lacks ParentID), names counted without their terminators.
Bytes ForeignCreatePlayer(uint32_t id, uint32_t machine, const std::u16string& name,
                          uint32_t fixedSize, std::optional<SockAddr> stream) {
    const auto nameSize = static_cast<uint32_t>(2 * name.size());
    const uint32_t spSize = stream ? 32 : 0;
    ByteWriter body;
    // idTo, player id, group, packed player at 28, no password; then the packed player: size,
    // flags, id, name lengths, SP and data sizes, count, machine, fixed size, dialect
    for (const uint32_t word :
         {0u, id, 0u, 28u, 0u, fixedSize + nameSize + spSize, 0x8u, id, nameSize, 0u, spSize, 0u,
          0u, machine, fixedSize, uint32_t{kDialect}}) {
        body.UInt32(word);
    }
    if (fixedSize >= 48) {
        body.UInt32(0);  // ParentID
    }
    for (const char16_t unit : name) {
        body.UInt16(static_cast<uint16_t>(unit));
    }
    for (int copy = 0; stream && copy < 2; ++copy) {  // AF_INET, port big-endian, 0.0.0.0
        body.UInt16(2), body.Int8(static_cast<uint8_t>(stream->port >> 8));
        body.Int8(static_cast<uint8_t>(stream->port)), body.Zeros(12);
    }
    body.UInt16(0), body.UInt32(0);
    Bytes bytes = Encode(Unhandled{kCreatePlayer}, SockAddr{1, 0}, kDialect);
    bytes.insert(bytes.end(), body.bytes().begin(), body.bytes().end());
    bytes[0] = static_cast<uint8_t>(bytes.size());
    return bytes;
}

// Every machine is reached, however we hear of it: listed with or without address data (then
// at the addresses of its players), announced while our join goes on (the host gets our
// acknowledgement at once), or known only by one of its players. Name table entries and
// players announced without ParentID, address data or name terminators are all taken. What
// our client sends carries its own addresses and the host's dialect throughout.
TEST(DirectPlayClient, ReachesMachinesInEveryShapeAndDescribesItselfInTheHostsDialect) {
    ScriptedMachine other;  // listed without address data
    ScriptedMachine early;  // announced before the name table comes
    ScriptedMachine unannounced;
    ScriptedHost host;
    host.beforeNameTable = {
        AddForward{kClientId, 0x4004,
                   SystemPlayerOf(0x5, 0x4004, kDialect, early.address(), early.address())}};
    host.nameTable.players.insert(
        host.nameTable.players.end(),
        {SystemPlayerOf(0x5, 0x5005, kDialect),
         At(PlayerOf(0x5015, kHostId, u"With"), host.machine.address()),
         PlayerOf(0x7007, kHostId, u"Without"),
         At(PlayerOf(0x6006, 0x5005, u"Remote"), SockAddr{other.port(), 0x7F000001})});
    DirectPlayClient client(testing::DirectPlayTestPorts(47750), testing::QuietTimings());
    ASSERT_TRUE(JoinNow(client, host.Session()).ok());
    EXPECT_EQ(client.PlayerName(0x5015), u"With");
    EXPECT_EQ(client.PlayerName(0x7007), u"Without");
    EXPECT_EQ(client.PlayerName(0x6006), u"Remote");
    EXPECT_EQ(client.machines().at(0x5005).streamPort, other.port());
    const auto ack = host.machine.Take(kAddForwardAck);
    ASSERT_TRUE(ack.has_value());
    EXPECT_EQ(std::get<AddForwardAck>(ack->decoded.message).id, 0x4004u);

    const auto request = host.machine.Take(kAddForwardRequest);
    ASSERT_TRUE(request.has_value());
    const SockAddr stream{client.transport().streamPort(), 0};
    const SockAddr datagram{client.transport().datagramPort(), 0};
    EXPECT_EQ(request->decoded.version, kDialect);
    EXPECT_EQ(std::get<AddForwardRequest>(request->decoded.message).player,
              SystemPlayerOf(0x9, kClientId, kDialect, stream, datagram));

    unannounced.SendTo(client.transport().streamPort(),
                       ForeignCreatePlayer(0x8008, 0xA00A, u"Late", 48, unannounced.address()));
    ASSERT_TRUE(SpinUntil([&] { return client.HasPlayer(0x8008); }, 2000));
    EXPECT_EQ(CreatePlayerNow(client, u"ATC"), kPlayerId);
    PlayerInfo ours = At(PlayerOf(kPlayerId, kClientId, u"ATC", u"Player"), stream);
    ours.datagramAddress = datagram;
    ours.flags = player_flags::kLocal, ours.version = kDialect;
    for (ScriptedMachine* machine : {&host.machine, &other, &early, &unannounced}) {
        const auto create = machine->Take(kCreatePlayer);
        ASSERT_TRUE(create.has_value());
        EXPECT_EQ(create->decoded.version, kDialect);
        EXPECT_EQ(std::get<CreatePlayer>(create->decoded.message).player, ours);
    }
    client.SendToAll(kPlayerId, Bytes{1, 2, 3});
    const auto data = unannounced.Take(0);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(SplitPlayerData(std::get<PlayerData>(data->decoded.message))->payload,
              (Bytes{1, 2, 3}));

    other.SendTo(client.transport().streamPort(),
                 ForeignCreatePlayer(0x9009, 0x5005, u"Old", 44, SockAddr{other.port(), 0}));
    other.SendTo(client.transport().streamPort(),
                 ForeignCreatePlayer(0x9019, 0x5005, u"Bare", 48, std::nullopt));
    ASSERT_TRUE(SpinUntil([&] { return client.HasPlayer(0x9019); }, 2000));
    EXPECT_EQ(client.PlayerName(0x9009), u"Old");
    EXPECT_EQ(client.PlayerName(0x9019), u"Bare");
    EXPECT_EQ(client.transport().rejectedInputs(), 0);
}

// A session whose host relays: what is meant for the others goes to the host, wrapped, and
// the other machines hear nothing from us directly; what the host passes on reaches us.
TEST(DirectPlayClient, WhereTheHostRelaysEverythingForTheOthersGoesThroughIt) {
    ScriptedMachine other;
    ScriptedHost host;
    host.nameTable.desc.flags |= session_flags::kMulticastServer;
    host.nameTable.players.insert(
        host.nameTable.players.end(),
        {SystemPlayerOf(0x5, 0x4004, kDialect, other.address(), other.address()),
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
        const DecodeResult passedOn = Decode(Encode(PlayerData{ask.inner}, SockAddr{1, 0}, 0));
        EXPECT_TRUE(passedOn.ok()) << passedOn.error;
        return passedOn.ok() ? passedOn.decoded->message : Message{};
    };

    EXPECT_EQ(CreatePlayerNow(client, u"ATC"), kPlayerId);
    EXPECT_EQ(std::get<CreatePlayer>(relayed(kClientId)).playerId, kPlayerId);
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
        DirectPlayClient client(testing::DirectPlayTestPorts(47751), timings);
        ASSERT_TRUE(JoinNow(client, host.Session()).ok());
        ASSERT_TRUE(client.joined());
        EXPECT_EQ(CreatePlayerNow(client, u"ATC"), 0u);
        EXPECT_FALSE(client.joined());
        EXPECT_TRUE(client.machines().empty());
        const auto left = host.machine.Take(kDeletePlayer);
        ASSERT_TRUE(left.has_value());
        EXPECT_EQ(std::get<DeletePlayer>(left->decoded.message).playerId, kClientId);
        EXPECT_EQ(testing::AwaitOutcome<uint32_t>([&](auto done) {
                      client.CreatePlayer(u"ATC", u"Player", done);
                  }).failure,
                  "Not joined to a session");
    }
}

// Only the session steers the client. A stranger's answers to our join, its player data (in the
// name of nobody or of a real player), and its word that the host left are dropped and
// counted; so is a member machine speaking for the host's player. What a member sends as its
// own player, and the host as its, arrives, and only the host's counts as the host's. A
// DELETEPLAYER for id 0 during the join names no player; the join goes on. A new join starts
// with nothing queued from the old one.
TEST(DirectPlayClient, OnlyTheMachinesOfTheSessionAreHeardAndOnlyTheHostSpeaksForIt) {
    ScriptedMachine stranger(QHostAddress("127.0.0.2"));
    ScriptedMachine other(QHostAddress("127.0.0.3"));
    ScriptedHost host;
    host.holdNameTable = true;
    host.beforeNameTable = {DeletePlayer{0, 0}};
    const SockAddr otherAt{other.port(), 0x7F000003};
    host.nameTable.players.insert(
        host.nameTable.players.end(),
        {SystemPlayerOf(0x5, 0x5005, kDialect, otherAt, otherAt),
         At(PlayerOf(0x5015, kHostId, u"Host Pilot"), host.machine.address()),
         At(PlayerOf(0x6006, 0x5005, u"Remote"), otherAt)});
    DirectPlayClient client(testing::DirectPlayTestPorts(47782), testing::QuietTimings());
    std::optional<Outcome<SessionDesc>> joined;
    client.Join(host.Session(), [&](const Outcome<SessionDesc>& outcome) { joined = outcome; });
    ASSERT_TRUE(SpinUntil([&] { return host.joinerPort != 0; }, 3000));
    SuperEnumPlayersReply forgedTable = host.nameTable;
    forgedTable.players.resize(1);
    for (const Message& forged :
         {Message{forgedTable}, Message{AddForwardReply{kErrorNoNewPlayers}},
          Message{RequestPlayerReply{0x6666, 0}}}) {
        stranger.SendTo(client.transport().streamPort(), Encode(forged, stranger.address(), 14));
    }
    testing::Spin(200);
    EXPECT_FALSE(joined.has_value());
    host.SendNameTable();
    ASSERT_TRUE(SpinUntil([&] { return joined.has_value(); }, 3000));
    ASSERT_TRUE(joined->ok()) << joined->failure;
    EXPECT_EQ(client.PlayerName(0x6006), u"Remote");
    EXPECT_EQ(client.refusedMessages(), 3u);

    const quint16 ours = client.transport().streamPort();
    const auto data = [](uint32_t from, uint8_t tag) {
        return EncodePlayerData(SockAddr{40000, 0}, from, 0,
                                Bytes{0x16, 0x10, 0, 0, 0, 0, 0, 0, tag});
    };
    stranger.SendDatagram(client.transport().datagramPort(), data(0x5EED0001, 1));
    stranger.SendDatagram(client.transport().datagramPort(), data(0x5015, 2));
    stranger.SendTo(ours, Encode(DeletePlayer{0, kHostId}, stranger.address(), 14));
    other.SendTo(ours, data(0x5015, 3));
    other.SendTo(ours, Encode(DeletePlayer{0, kHostId}, other.address(), 14));
    other.SendTo(ours, Encode(DeletePlayer{0, 0x5015}, other.address(), 14));
    other.SendTo(ours, data(0x6006, 4));
    host.machine.SendTo(ours, data(0x5015, 5));
    ASSERT_TRUE(SpinUntil([&] { return client.WaitingCount() == 2; }, 3000));
    testing::Spin(200);
    EXPECT_EQ(client.refusedMessages(), 9u);
    std::map<uint32_t, std::pair<uint8_t, bool>> arrived;  // by sender: the tag, from the host
    while (const auto delivery = client.TakeDelivery()) {
        arrived[delivery->idFrom] = {delivery->payload.back(), delivery->fromHost};
    }
    EXPECT_EQ(arrived, (std::map<uint32_t, std::pair<uint8_t, bool>>{{0x5015, {5, true}},
                                                                     {0x6006, {4, false}}}));
    EXPECT_TRUE(client.joined());
    EXPECT_TRUE(client.HasPlayer(0x5015));

    host.machine.SendTo(ours, data(0x5015, 6));
    ASSERT_TRUE(SpinUntil([&] { return client.WaitingCount() == 1; }, 3000));
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
    EXPECT_FALSE(testing::AwaitOutcome<std::vector<FoundSession>>([&](auto done) {
                     client.Enumerate("localhost", 100, done);
                 }).ok());
    testing::Spin(300);
    DirectPlayClient patient(testing::DirectPlayTestPorts(47781), testing::QuietTimings());
    const auto found = testing::AwaitOutcome<std::vector<FoundSession>>(
        [&](auto done) { patient.Enumerate("localhost", 100, done); });
    ASSERT_TRUE(found.ok()) << found.failure;
    EXPECT_TRUE(found.value->empty());  // found, and nobody hosts there
}

}  // namespace
}  // namespace scopewatch::directplay
