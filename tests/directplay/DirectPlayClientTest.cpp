// Our client against hosts and peers scripted byte by byte, shaped the ways implementations we
// did not write may shape their messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "directplay/DirectPlayClient.h"
#include "platform/ByteWriter.h"
#include "support/DirectPlayLoopback.h"
#include "support/DirectPlayPlayers.h"
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

using testing::PlayerOf;
using testing::ScriptedMachine;
using testing::SpinUntil;
using ::testing::StrEq;
using testing::SystemPlayerOf;
using ::testing::ThrowsMessage;

constexpr uint16_t kDialect = 11;
constexpr uint32_t kHostId = 0x1001;
constexpr uint32_t kClientId = 0x2002;
constexpr uint32_t kPlayerId = 0x3003;

// A host scripted to admit one machine: it hands out ids, answers the add-forward request with
// `nameTable` (at first its own system player alone) and a player id request with
// `playerReply` (none: silence).
struct ScriptedHost {
    ScriptedHost() {
        machine.OnReceive([this](const ScriptedMachine::Received& received) { Answer(received); });
        nameTable.desc.maxPlayers = 8;
        nameTable.desc.flags = session_flags::kKeepAlive;
        nameTable.players = {
            SystemPlayerOf(0x7, kHostId, kDialect, machine.address(), machine.address())};
    }

    FoundSession Session() const {
        FoundSession session;
        session.desc.maxPlayers = 8;
        session.desc.flags = nameTable.desc.flags;
        session.hostIp = QHostAddress::LocalHost;
        session.hostPort = machine.port();
        session.version = kDialect;
        return session;
    }

    void Answer(const ScriptedMachine::Received& received) {
        const quint16 to = received.decoded.sender.port;
        const Message& message = received.decoded.message;
        const auto send = [&](const Message& answer) {
            machine.SendTo(to, Encode(answer, machine.address(), kDialect));
        };
        if (const auto* request = std::get_if<RequestPlayerId>(&message)) {
            if ((request->flags & player_flags::kSystemPlayer) != 0) {
                send(RequestPlayerReply{kClientId, 0});
            } else if (playerReply) {
                send(*playerReply);
            }
        } else if (std::holds_alternative<AddForwardRequest>(message)) {
            for (const Message& early : beforeNameTable) {
                send(early);
            }
            send(nameTable);
        }
    }

    ScriptedMachine machine;
    std::vector<Message> beforeNameTable;
    SuperEnumPlayersReply nameTable;
    std::optional<RequestPlayerReply> playerReply;
};

// A CREATEPLAYER as another implementation may write it: the packed player's fixed part ends
// at `fixedSize` (44 lacks ParentID), names counted without their terminators.
Bytes ForeignCreatePlayer(uint32_t id, uint32_t machine, const std::u16string& name,
                          uint32_t fixedSize, std::optional<SockAddr> stream) {
    ByteWriter name16;
    for (char16_t unit : name) {
        name16.UInt16(static_cast<uint16_t>(unit));
    }
    const uint32_t spSize = stream ? 32 : 0;
    const uint32_t size = fixedSize + static_cast<uint32_t>(name16.Size()) + spSize;
    ByteWriter body;
    body.UInt32(0), body.UInt32(id), body.UInt32(0), body.UInt32(28), body.UInt32(0);
    body.UInt32(size), body.UInt32(0x8), body.UInt32(id);
    body.UInt32(static_cast<uint32_t>(name16.Size())), body.UInt32(0), body.UInt32(spSize);
    body.UInt32(0), body.UInt32(0), body.UInt32(machine), body.UInt32(fixedSize);
    body.UInt32(kDialect);
    if (fixedSize >= 48) {
        body.UInt32(0);  // ParentID
    }
    body.Bytes(name16.bytes());
    if (stream) {
        Bytes sp(16, 0);  // AF_INET, port big-endian, address 0.0.0.0
        sp[0] = 2, sp[2] = static_cast<uint8_t>(stream->port >> 8);
        sp[3] = static_cast<uint8_t>(stream->port);
        body.Bytes(sp), body.Bytes(sp);
    }
    body.UInt16(0), body.UInt32(0);
    Bytes bytes = Encode(Unhandled{kCreatePlayer}, SockAddr{1, 0}, kDialect);
    bytes.insert(bytes.end(), body.bytes().begin(), body.bytes().end());
    bytes[0] = static_cast<uint8_t>(bytes.size());
    return bytes;
}

// Every entry is taken, with or without address data: a machine listed without addresses is
// reached at those of its players. What our client sends carries its own addresses and the
// host's dialect throughout.
TEST(DirectPlayClient, ReadsNameTablesAndPlayersInEveryShapeAndDescribesItself) {
    ScriptedMachine other;  // a second machine, listed without address data
    ScriptedHost host;
    host.playerReply = RequestPlayerReply{kPlayerId, 0};
    PlayerInfo withAddresses = PlayerOf(0x5005, kHostId, u"With");
    withAddresses.streamAddress = withAddresses.datagramAddress = host.machine.address();
    PlayerInfo remote = PlayerOf(0x6006, 0x4004, u"Remote");
    remote.streamAddress = remote.datagramAddress = SockAddr{other.port(), 0x7F000001};
    host.nameTable.name = u"Scripted";
    host.nameTable.players.insert(host.nameTable.players.end(),
                                  {SystemPlayerOf(0x5, 0x4004, kDialect), withAddresses,
                                   PlayerOf(0x7007, kHostId, u"Without"), remote});
    DirectPlayClient client(testing::DirectPlayTestPorts(47750), testing::QuietTimings());
    client.Join(host.Session());
    EXPECT_EQ(client.PlayerName(0x5005), u"With");
    EXPECT_EQ(client.PlayerName(0x7007), u"Without");
    EXPECT_EQ(client.PlayerName(0x6006), u"Remote");
    ASSERT_EQ(client.machines().count(0x4004), 1u);
    EXPECT_EQ(client.machines().at(0x4004).streamPort, other.port());

    const auto request = host.machine.Take(kAddForwardRequest);
    ASSERT_TRUE(request.has_value());
    const SockAddr stream{client.transport().streamPort(), 0};
    const SockAddr datagram{client.transport().datagramPort(), 0};
    const PlayerInfo system = std::get<AddForwardRequest>(request->decoded.message).player;
    EXPECT_EQ(request->decoded.version, kDialect);
    EXPECT_EQ(system.flags, 0x9u);
    EXPECT_EQ(system.version, kDialect);
    EXPECT_EQ(system.streamAddress, stream);
    EXPECT_EQ(system.datagramAddress, datagram);

    // Our player reaches both machines, the unlisted one at the address its player gave.
    EXPECT_EQ(client.CreatePlayer(u"ATC", u"Player"), kPlayerId);
    for (ScriptedMachine* machine : {&host.machine, &other}) {
        const auto create = machine->Take(kCreatePlayer);
        ASSERT_TRUE(create.has_value());
        const PlayerInfo player = std::get<CreatePlayer>(create->decoded.message).player;
        EXPECT_EQ(create->decoded.version, kDialect);
        EXPECT_EQ(player.flags, player_flags::kLocal);
        EXPECT_EQ(player.version, kDialect);
        EXPECT_EQ(player.streamAddress, stream);
        EXPECT_EQ(player.datagramAddress, datagram);
    }

    // Players announced without ParentID or address data, names without terminators.
    other.SendTo(client.transport().streamPort(),
                 ForeignCreatePlayer(0x8008, 0x4004, u"Old", 44, SockAddr{other.port(), 0}));
    other.SendTo(client.transport().streamPort(),
                 ForeignCreatePlayer(0x9009, 0x4004, u"Bare", 48, std::nullopt));
    ASSERT_TRUE(SpinUntil([&] { return client.HasPlayer(0x9009); }, 2000));
    EXPECT_EQ(client.PlayerName(0x8008), u"Old");
    EXPECT_EQ(client.PlayerName(0x9009), u"Bare");
    EXPECT_EQ(client.transport().rejectedInputs(), 0);
}

// Machines we hear of while our join goes on, or only through one of their players: the host
// gets our acknowledgement at once, and each machine is reached at the address it gave.
TEST(DirectPlayClient, MachinesAnnouncedDuringOurJoinOrOnlyByTheirPlayersAreReached) {
    ScriptedMachine early;
    ScriptedMachine unannounced;
    ScriptedHost host;
    host.playerReply = RequestPlayerReply{kPlayerId, 0};
    host.beforeNameTable = {
        AddForward{kClientId, 0x4004,
                   SystemPlayerOf(0x5, 0x4004, kDialect, early.address(), early.address())}};
    DirectPlayClient client(testing::DirectPlayTestPorts(47747), testing::QuietTimings());
    client.Join(host.Session());
    const auto ack = host.machine.Take(kAddForwardAck);
    ASSERT_TRUE(ack.has_value());
    EXPECT_EQ(std::get<AddForwardAck>(ack->decoded.message).id, 0x4004u);

    unannounced.SendTo(client.transport().streamPort(),
                       ForeignCreatePlayer(0x8008, 0x5005, u"Late", 48, unannounced.address()));
    ASSERT_TRUE(SpinUntil([&] { return client.HasPlayer(0x8008); }, 2000));
    EXPECT_EQ(client.CreatePlayer(u"ATC", u"Player"), kPlayerId);
    client.SendToAll(kPlayerId, Bytes{1, 2, 3});
    EXPECT_TRUE(early.Take(kCreatePlayer).has_value());
    EXPECT_TRUE(unannounced.Take(kCreatePlayer).has_value());
    const auto data = unannounced.Take(0);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(SplitPlayerData(std::get<PlayerData>(data->decoded.message))->payload,
              (Bytes{1, 2, 3}));
}

// A session whose host relays: what is meant for the others goes to the host, wrapped, and
// the other machines hear nothing from us directly; what the host passes on reaches us.
TEST(DirectPlayClient, WhereTheHostRelaysEverythingForTheOthersGoesThroughIt) {
    ScriptedMachine other;
    ScriptedHost host;
    host.nameTable.desc.flags |= session_flags::kMulticastServer;
    host.playerReply = RequestPlayerReply{kPlayerId, 0};
    host.nameTable.players.insert(
        host.nameTable.players.end(),
        {SystemPlayerOf(0x5, 0x4004, kDialect, other.address(), other.address()),
         PlayerOf(0x6006, 0x4004, u"Pilot")});
    DirectPlayClient client(testing::DirectPlayTestPorts(47748), testing::QuietTimings());
    client.Join(host.Session());
    const auto relayed = [&](uint32_t playerFrom) {
        const auto received = host.machine.Take(kAsk4MulticastGuaranteed);
        EXPECT_TRUE(received.has_value());
        if (!received) {
            return Message{};
        }
        const auto& ask = std::get<Ask4Multicast>(received->decoded.message);
        EXPECT_EQ(ask.groupTo, 0u);
        EXPECT_EQ(ask.playerFrom, playerFrom);
        // Sent on, the inner message gets a prefix again and reads as a whole message.
        const DecodeResult passedOn = Decode(Encode(PlayerData{ask.inner}, SockAddr{1, 0}, 0));
        EXPECT_TRUE(passedOn.ok()) << passedOn.error;
        return passedOn.ok() ? passedOn.decoded->message : Message{};
    };

    EXPECT_EQ(client.CreatePlayer(u"ATC", u"Player"), kPlayerId);
    EXPECT_EQ(std::get<CreatePlayer>(relayed(kClientId)).playerId, kPlayerId);
    client.SendToAll(kPlayerId, Bytes{1, 2, 3});
    const auto data = SplitPlayerData(std::get<PlayerData>(relayed(kPlayerId)));
    EXPECT_EQ(data->idFrom, kPlayerId);
    EXPECT_EQ(data->payload, (Bytes{1, 2, 3}));

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
    const std::vector<std::optional<RequestPlayerReply>> answers = {
        RequestPlayerReply{0, kErrorNoNewPlayers}, std::nullopt};
    for (const auto& answer : answers) {
        ScriptedHost host;
        host.playerReply = answer;
        Timings timings = testing::QuietTimings();
        timings.replyTimeoutMs = 300;
        DirectPlayClient client(testing::DirectPlayTestPorts(47751), timings);
        client.Join(host.Session());
        ASSERT_TRUE(client.joined());
        EXPECT_THROW(client.CreatePlayer(u"ATC", u"Player"), DirectPlayError);
        EXPECT_FALSE(client.joined());
        EXPECT_TRUE(client.machines().empty());
        const auto left = host.machine.Take(kDeletePlayer);
        ASSERT_TRUE(left.has_value());
        EXPECT_EQ(std::get<DeletePlayer>(left->decoded.message).playerId, kClientId);
        EXPECT_THAT([&] { client.CreatePlayer(u"ATC", u"Player"); },
                    ThrowsMessage<DirectPlayError>(StrEq("Not joined to a session")));
    }
}

// The wait for a host name ends before the answer comes; the late answer harms nothing.
TEST(DirectPlayClient, HostNameLookupOutlivedByItsWaitIsHarmless) {
    Timings impatient = testing::QuietTimings();
    impatient.lookupTimeoutMs = 0;
    DirectPlayClient client(testing::DirectPlayTestPorts(47780), impatient);
    EXPECT_THROW(client.Enumerate("localhost", 100), DirectPlayError);
    testing::Spin(300);
    DirectPlayClient patient(testing::DirectPlayTestPorts(47781), testing::QuietTimings());
    EXPECT_TRUE(patient.Enumerate("localhost", 100).empty());  // found, and nobody hosts there
}

}  // namespace
}  // namespace scopewatch::directplay
