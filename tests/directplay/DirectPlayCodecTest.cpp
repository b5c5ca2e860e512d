#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "directplay/DirectPlayCodec.h"
#include "platform/ByteWriter.h"
#include "support/DirectPlayPlayers.h"

namespace scopewatch::directplay {
namespace {

using testing::PlayerOf;
using testing::SystemPlayerOf;

Bytes Hex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        if (token != "|") {
            bytes.push_back(static_cast<uint8_t>(std::stoul(token, nullptr, 16)));
        }
    }
    return bytes;
}

uint32_t At32(const Bytes& bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

template <typename T>
T DecodeAs(const Bytes& bytes) {
    const DecodeResult result = Decode(bytes);
    EXPECT_TRUE(result.ok()) << result.error;
    return std::get<T>(result.decoded->message);
}

// The message cut or padded to `size` bytes, its size word saying so.
Bytes Resized(Bytes bytes, size_t size) {
    bytes.resize(size);
    bytes[0] = static_cast<uint8_t>(size), bytes[1] = static_cast<uint8_t>(size >> 8);
    return bytes;
}

const SockAddr kPort2300{2300, 0};

TEST(DirectPlayCodec, EnumSessionsMatchesTheReferenceBytesAndCarriesAPassword) {
    const Bytes expected =
        Hex("34 00 b0 fa | 02 00 08 fc 00 00 00 00 00 00 00 00 00 00 00 00 | 70 6c 61 79 | 02 00 | "
            "0e 00 | 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 | 00 00 00 00 | 01 00 00 00");
    EXPECT_EQ(Encode(EnumSessions{}, kPort2300, 14), expected);
    const DecodeResult result = Decode(expected);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.decoded->command, kEnumSessions);
    EXPECT_EQ(result.decoded->version, 14);
    EXPECT_EQ(result.decoded->sender, kPort2300);
    EXPECT_EQ(std::get<EnumSessions>(result.decoded->message).flags, 1u);
    // With a password it is 70 bytes.
    EnumSessions request;
    request.password = u"12345678";
    const Bytes bytes = Encode(request, kPort2300, 14);
    EXPECT_EQ(bytes.size(), 70u);
    EXPECT_EQ(At32(bytes, 44), 32u);  // counted from "play"
    EXPECT_EQ(DecodeAs<EnumSessions>(bytes).password, u"12345678");
}

TEST(DirectPlayCodec, EnumSessionsReplyLaysOutDescAndName) {
    EnumSessionsReply reply;
    reply.desc.flags = 0x404;
    reply.desc.maxPlayers = 1000;
    reply.desc.currentPlayers = 1;
    reply.desc.instance[0] = 0xAB;
    reply.desc.reserved1 = 0x12340000;
    reply.name = u"LOTHAIR";
    const Bytes bytes = Encode(reply, SockAddr{2301, 0}, 14);
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(At32(bytes, 28), 80u);     // desc size
    EXPECT_EQ(At32(bytes, 32), 0x404u);  // flags
    EXPECT_EQ(At32(bytes, 68), 1000u);   // max
    EXPECT_EQ(At32(bytes, 72), 1u);      // current
    EXPECT_EQ(At32(bytes, 108), 92u);    // name offset from "play"
    EXPECT_EQ(bytes[112], 'L');
    const auto decoded = DecodeAs<EnumSessionsReply>(bytes);
    EXPECT_EQ(decoded.desc, reply.desc);
    EXPECT_EQ(decoded.name, u"LOTHAIR");
}

TEST(DirectPlayCodec, PlayerIdRequestAndReply) {
    const Bytes request = Encode(RequestPlayerId{0x9}, kPort2300, 11);
    EXPECT_EQ(request, Hex("20 00 b0 fa 02 00 08 fc 00 00 00 00 00 00 00 00 00 00 00 00 "
                           "70 6c 61 79 05 00 0b 00 09 00 00 00"));
    const Bytes reply = Encode(RequestPlayerReply{0x1234, 0}, kPort2300, 14);
    ASSERT_EQ(reply.size(), 68u);
    EXPECT_EQ(At32(reply, 28), 0x1234u);
    EXPECT_EQ(Bytes(reply.begin() + 32, reply.end()), Bytes(36, 0));
    const auto refused = DecodeAs<RequestPlayerReply>(
        Encode(RequestPlayerReply{0, kErrorNoNewPlayers}, kPort2300, 14));
    EXPECT_EQ(refused.result, kErrorNoNewPlayers);
}

PlayerInfo JoinerSystemPlayer() {
    return SystemPlayerOf(0x09, 0x00410001, 11, SockAddr{2300, 0}, SockAddr{2350, 0});
}

TEST(DirectPlayCodec, AddForwardRequestMatchesWhatAJoinerSends) {
    AddForwardRequest request;
    request.playerId = 0x00410001;
    request.player = JoinerSystemPlayer();
    request.tickCount = 0;
    const Bytes bytes = Encode(request, kPort2300, 11);
    const Bytes expected =
        Hex("86 00 b0 fa 02 00 08 fc 00 00 00 00 00 00 00 00 00 00 00 00 70 6c 61 79 13 00 0b 00 "
            "00 00 00 00 01 00 41 00 00 00 00 00 1c 00 00 00 6c 00 00 00 "
            // packed player: size 80, flags 9, id, names 0/0, sp 32, data 0, count 0, system id,
            // fixed size 48, version 11, parent 0
            "50 00 00 00 09 00 00 00 01 00 41 00 00 00 00 00 00 00 00 00 20 00 00 00 00 00 00 00 "
            "00 00 00 00 01 00 41 00 30 00 00 00 0b 00 00 00 00 00 00 00 "
            "02 00 08 fc 00 00 00 00 00 00 00 00 00 00 00 00 "
            "02 00 09 2e 00 00 00 00 00 00 00 00 00 00 00 00 "
            "00 00 00 00 00 00");
    EXPECT_EQ(bytes, expected);
    const auto decoded = DecodeAs<AddForwardRequest>(bytes);
    EXPECT_EQ(decoded.player, request.player);
    EXPECT_EQ(decoded.playerId, request.playerId);
}

TEST(DirectPlayCodec, CreatePlayerCountsTheTerminatorInUtf16NameLengths) {
    CreatePlayer create{0, 77, PlayerOf(77, 5, u"ATC", u"Player"), false};
    create.player.flags = player_flags::kLocal;
    const Bytes bytes = Encode(create, kPort2300, 14);
    EXPECT_EQ(At32(bytes, 48), 48u + 8 + 14);  // packed size
    EXPECT_EQ(At32(bytes, 60), 8u);            // "ATC" + NUL in UTF-16
    EXPECT_EQ(At32(bytes, 64), 14u);
    EXPECT_EQ(bytes.size(), 48u + 70 + 6);  // trailing empty string and dword
    const auto decoded = DecodeAs<CreatePlayer>(bytes);
    EXPECT_EQ(decoded.player, create.player);
    EXPECT_FALSE(decoded.verify);

    create.verify = true;
    const Bytes verify = Encode(create, kPort2300, 14);
    EXPECT_EQ(verify[24], kCreatePlayerVerify);
    EXPECT_TRUE(DecodeAs<CreatePlayer>(verify).verify);

    // Names travel as UTF-16; an empty one comes back empty.
    create.player.shortName = u"Jos\u00e9 \u20ac\u00fc";
    create.player.longName.clear();
    EXPECT_EQ(DecodeAs<CreatePlayer>(Encode(create, kPort2300, 14)).player, create.player);
}

TEST(DirectPlayCodec, SuperEnumPlayersReplyRoundTripsTheNameTable) {
    SuperEnumPlayersReply snapshot;
    snapshot.desc.maxPlayers = 8;
    snapshot.desc.currentPlayers = 2;
    snapshot.name = u"Eldorado Fly-in";
    const PlayerInfo host = SystemPlayerOf(0x7, 0x100, 14, kPort2300, kPort2300);
    PlayerInfo pilot = PlayerOf(0x201, 0x100, u"N123", u"Cessna");
    pilot.playerData = Bytes(300, 0x5A);  // needs a two-byte length
    PlayerInfo joiner = JoinerSystemPlayer();
    joiner.flags = 0x5;
    joiner.streamAddress = SockAddr{2300, 0x7F000001};
    // More than 64 KiB of player data (a create message may carry 128 KiB) needs four bytes.
    PlayerInfo big = pilot;
    big.id = 0x202;
    big.playerData = Bytes(70000, 0x5A);
    snapshot.players = {host, joiner, big, pilot};
    const Bytes bytes = Encode(snapshot, kPort2300, 14);
    EXPECT_EQ(At32(bytes, 44), 36u);  // the description right after the offsets
    EXPECT_EQ(At32(bytes, 48), 116u);
    const auto decoded = DecodeAs<SuperEnumPlayersReply>(bytes);
    EXPECT_EQ(decoded.name, snapshot.name);
    EXPECT_EQ(decoded.desc, snapshot.desc);
    ASSERT_EQ(decoded.players.size(), 4u);
    EXPECT_EQ(decoded.players[0], host);
    EXPECT_EQ(decoded.players[1].streamAddress, joiner.streamAddress);
    EXPECT_EQ(decoded.players[1].version, 11u);
    EXPECT_EQ(decoded.players[2], big);
    EXPECT_EQ(decoded.players[3], pilot);
}

// A name table lists its players, then its groups, then its shortcuts. Every entry is read
// and checked, but only the players are players.
TEST(DirectPlayCodec, NameTableGroupsAndShortcutsAreNoPlayers) {
    const PlayerInfo host = SystemPlayerOf(0x7, 0x100, 14, kPort2300, kPort2300);
    const PlayerInfo pilot = PlayerOf(0x201, 0x100, u"N123");
    PlayerInfo group = PlayerOf(0x301, 0x100, u"Group");
    group.playerData = Bytes(4, 1);  // the last field has a length, so a cut shows
    SuperEnumPlayersReply snapshot;
    snapshot.players = {host, pilot, group, group};
    Bytes bytes = Encode(snapshot, kPort2300, 14);
    bytes[28] = 2, bytes[32] = 1, bytes[40] = 1;  // 2 players, 1 group, 1 shortcut
    const auto players = DecodeAs<SuperEnumPlayersReply>(bytes).players;
    ASSERT_EQ(players.size(), 2u);
    EXPECT_EQ(players[0], host);
    EXPECT_EQ(players[1], pilot);
    EXPECT_FALSE(Decode(Resized(bytes, bytes.size() - 1)).ok());  // the shortcut cut short
}

// The name table and a player announcement as our host sends them to a joiner of dialect 11:
// every entry, system player or not, ends with the SP length byte 0x20 and the stream and
// datagram addresses of its machine (0.0.0.0 for the host's own, port big-endian).
TEST(DirectPlayCodec, NameTableAndPlayerCreationAsOurHostSendsThem) {
    const SockAddr hostPort{2300, 0};
    const PlayerInfo host = SystemPlayerOf(0x7, 0x11, 11, hostPort, hostPort);
    const PlayerInfo joiner =
        SystemPlayerOf(0x5, 0x22, 11, SockAddr{2350, 0x7F000001}, SockAddr{2351, 0x7F000001});
    PlayerInfo pilot = PlayerOf(0x33, 0x11, u"A", u"B");
    pilot.streamAddress = pilot.datagramAddress = hostPort;
    SuperEnumPlayersReply snapshot;
    snapshot.desc.flags = session_flags::kKeepAlive;
    snapshot.desc.maxPlayers = 8;
    snapshot.desc.currentPlayers = 1;
    snapshot.desc.reserved1 = 0x12340000;
    snapshot.name = u"Fly";
    snapshot.players = {host, joiner, pilot};
    const std::string hostSp =
        "20 02 00 08 fc 00 00 00 00 00 00 00 00 00 00 00 00 "
        "02 00 08 fc 00 00 00 00 00 00 00 00 00 00 00 00 ";
    EXPECT_EQ(Encode(snapshot, hostPort, 11),
              Hex("37 01 b0 fa 02 00 08 fc 00 00 00 00 00 00 00 00 00 00 00 00 "
                  "70 6c 61 79 29 00 0b 00 "
                  // 3 players, 0 groups, entries at 124, 0 shortcuts, desc at 36, name at 116
                  "03 00 00 00 00 00 00 00 7c 00 00 00 00 00 00 00 24 00 00 00 74 00 00 00 "
                  "00 00 00 00 "
                  "50 00 00 00 40 00 00 00 "
                  "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                  "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                  "08 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 34 12 00 00 00 00 "
                  "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                  "46 00 6c 00 79 00 00 00 "
                  // the host's system player: SP length coded 1, its dialect, its addresses
                  "10 00 00 00 07 00 00 00 11 00 00 00 04 00 00 00 0b 00 00 00 " +
                  hostSp +
                  // the joiner's, at its real address
                  "10 00 00 00 05 00 00 00 22 00 00 00 04 00 00 00 0b 00 00 00 "
                  "20 02 00 09 2e 7f 00 00 01 00 00 00 00 00 00 00 00 "
                  "02 00 09 2f 7f 00 00 01 00 00 00 00 00 00 00 00 "
                  // the host's pilot: names, owning machine, and the host's addresses
                  "10 00 00 00 00 00 00 00 33 00 00 00 07 00 00 00 11 00 00 00 "
                  "41 00 00 00 42 00 00 00 " +
                  hostSp));

    pilot.flags = player_flags::kLocal;
    pilot.version = 11;
    EXPECT_EQ(Encode(CreatePlayer{0, 0x33, pilot, false}, hostPort, 11),
              Hex("8e 00 b0 fa 02 00 08 fc 00 00 00 00 00 00 00 00 00 00 00 00 "
                  "70 6c 61 79 08 00 0b 00 "
                  "00 00 00 00 33 00 00 00 00 00 00 00 1c 00 00 00 00 00 00 00 "
                  // size 88, flags 8, id, names 4/4, SP 32, data 0, count 0, system 0x11,
                  // fixed size 48, dialect 11, parent 0
                  "58 00 00 00 08 00 00 00 33 00 00 00 04 00 00 00 04 00 00 00 "
                  "20 00 00 00 00 00 00 00 00 00 00 00 11 00 00 00 30 00 00 00 "
                  "0b 00 00 00 00 00 00 00 "
                  "41 00 00 00 42 00 00 00 " +
                  hostSp.substr(3) + "00 00 00 00 00 00"));
}

TEST(DirectPlayCodec, SuperPackedEntryWithFourByteLengthsAndShortcuts) {
    ByteWriter entry;
    entry.UInt32(16), entry.UInt32(0), entry.UInt32(0x42);
    entry.UInt32(0x1 | (3u << 4) | (1u << 6) | 0x100 | (1u << 9));  // SN, PD/4, PC/1, PI, SC/1
    entry.UInt32(0x100);                                            // owning machine
    entry.UInt16('B'), entry.UInt16(0);
    entry.UInt32(2), entry.Int8(7), entry.Int8(8);  // player data
    entry.Int8(1), entry.UInt32(0x55);              // one member
    entry.UInt32(0x99);                             // parent
    entry.Int8(1), entry.UInt32(0x66);              // one shortcut
    SuperEnumPlayersReply shell;
    shell.name = u"S";
    Bytes bytes = Encode(shell, kPort2300, 14);
    bytes.insert(bytes.end(), entry.bytes().begin(), entry.bytes().end());
    bytes[28] = 1;  // one player
    bytes[0] = static_cast<uint8_t>(bytes.size());
    bytes[1] = static_cast<uint8_t>(bytes.size() >> 8);
    const auto decoded = DecodeAs<SuperEnumPlayersReply>(bytes);
    ASSERT_EQ(decoded.players.size(), 1u);
    EXPECT_EQ(decoded.players[0].shortName, u"B");
    EXPECT_EQ(decoded.players[0].playerData, (Bytes{7, 8}));
    EXPECT_EQ(decoded.players[0].parentId, 0x99u);
    EXPECT_EQ(decoded.players[0].systemPlayerId, 0x100u);
}

// Found by fuzzing the relay of a created player into a name table: a name with a NUL in
// it came back cut short from the name table (whose names are terminated), and what
// followed was misread. A name now ends at its first NUL wherever it is read.
TEST(DirectPlayCodec, ANameEndsAtItsFirstNulSoItCanBeHandedOn) {
    const CreatePlayer create{
        0, 0x201, PlayerOf(0x201, 0, std::u16string(u"N1\0X", 4), std::u16string(u"\0\0play", 6)),
        false};
    const auto arrived = DecodeAs<CreatePlayer>(Encode(create, kPort2300, 14)).player;
    EXPECT_EQ(arrived.shortName, u"N1");
    EXPECT_EQ(arrived.longName, u"");

    SuperEnumPlayersReply snapshot;
    snapshot.name = u"S";
    snapshot.players = {arrived};
    const auto relayed = DecodeAs<SuperEnumPlayersReply>(Encode(snapshot, kPort2300, 14));
    ASSERT_EQ(relayed.players.size(), 1u);
    EXPECT_EQ(relayed.players[0].shortName, u"N1");
    EXPECT_EQ(relayed.players[0].longName, u"");
}

// A peer may leave out a text's terminator: the text then ends with the message, an odd last
// byte left out. An optional text whose offset lies at or past the end is absent.
TEST(DirectPlayCodec, TextsMayRunToTheMessageEndOrLieBeyondIt) {
    const Bytes enumeration = Encode(EnumSessions{{}, 1, u"pw"}, kPort2300, 14);
    EXPECT_EQ(DecodeAs<EnumSessions>(Resized(enumeration, 56)).password, u"pw");
    EXPECT_EQ(DecodeAs<EnumSessions>(Resized(enumeration, 52)).password, u"");

    const Bytes reply = Encode(EnumSessionsReply{{}, u"Name"}, kPort2300, 14);
    EXPECT_EQ(DecodeAs<EnumSessionsReply>(Resized(reply, reply.size() - 1)).name, u"Name");
    Bytes nameBeyond = reply;
    nameBeyond[108] = 0xF0;
    EXPECT_EQ(DecodeAs<EnumSessionsReply>(nameBeyond).name, u"");

    // Password offset 108 with no password and no tick count after it: the message ends there.
    const Bytes request =
        Encode(AddForwardRequest{0, 1, JoinerSystemPlayer(), u"pw", 5}, kPort2300, 14);
    const auto bare = DecodeAs<AddForwardRequest>(Resized(request, 128));
    EXPECT_EQ(bare.player, JoinerSystemPlayer());
    EXPECT_EQ(bare.password, u"");
    const auto unterminated = DecodeAs<AddForwardRequest>(Resized(request, 132));
    EXPECT_EQ(unterminated.password, u"pw");
    EXPECT_EQ(unterminated.tickCount, 0u);

    SuperEnumPlayersReply snapshot;
    snapshot.name = u"Fly";
    const Bytes named = Encode(snapshot, kPort2300, 14);  // the name is the last field
    EXPECT_EQ(DecodeAs<SuperEnumPlayersReply>(Resized(named, named.size() - 2)).name, u"Fly");
    snapshot.password = u"pw";
    snapshot.players = {PlayerOf(0x201, 0x100, u"N1", u"Cessna")};
    Bytes table = Encode(snapshot, kPort2300, 14);  // the long name is the last field
    table = Resized(table, table.size() - 2);
    table[48] = 0xF0, table[52] = 0xF0;  // name and password beyond the end
    const auto decoded = DecodeAs<SuperEnumPlayersReply>(table);
    EXPECT_EQ(decoded.name, u"");
    EXPECT_EQ(decoded.password, u"");
    ASSERT_EQ(decoded.players.size(), 1u);
    EXPECT_EQ(decoded.players[0], snapshot.players[0]);
}

TEST(DirectPlayCodec, SmallFixedMessages) {
    const Bytes remove = Encode(DeletePlayer{0, 0x77}, kPort2300, 14);
    EXPECT_EQ(remove.size(), 48u);
    EXPECT_EQ(DecodeAs<DeletePlayer>(remove).playerId, 0x77u);
    const Bytes ping = Encode(Ping{5, 1000, false}, kPort2300, 14);
    EXPECT_EQ(ping.size(), 36u);
    const auto reply = DecodeAs<Ping>(Encode(Ping{5, 1000, true}, kPort2300, 14));
    EXPECT_TRUE(reply.reply);
    EXPECT_EQ(reply.tickCount, 1000u);
    EXPECT_EQ(Encode(YouAreDead{}, kPort2300, 14).size(), 28u);
    EXPECT_EQ(DecodeAs<AddForwardAck>(Encode(AddForwardAck{3}, kPort2300, 14)).id, 3u);
    EXPECT_EQ(DecodeAs<AddForwardReply>(Encode(AddForwardReply{9}, kPort2300, 14)).error, 9u);
    const auto added = DecodeAs<AddForward>(
        Encode(AddForward{4, JoinerSystemPlayer().id, JoinerSystemPlayer()}, kPort2300, 14));
    EXPECT_EQ(added.player, JoinerSystemPlayer());
    const auto renamed = DecodeAs<PlayerNameChanged>(
        Encode(PlayerNameChanged{0, 8, u"New", u"Long"}, kPort2300, 14));
    EXPECT_EQ(renamed.shortName, u"New");
    EXPECT_EQ(renamed.longName, u"Long");
}

// In a session whose host relays, the message for the others travels after three fields,
// without its 20-byte prefix: from "play" on, or from idFrom on for player data.
TEST(DirectPlayCodec, RelayRequestCarriesTheMessageWithoutItsPrefix) {
    const Bytes inner = InnerForm(Encode(DeletePlayer{0, 0x77}, kPort2300, 14));
    ASSERT_EQ(inner.size(), 28u);
    EXPECT_EQ(Bytes(inner.begin(), inner.begin() + 4), Hex("70 6c 61 79"));
    const Bytes bytes = Encode(Ask4Multicast{0, 0x2002, inner, true}, kPort2300, 14);
    ASSERT_EQ(bytes.size(), 40u + inner.size());
    EXPECT_EQ(Bytes(bytes.begin() + 24, bytes.begin() + 40),
              Hex("26 00 0e 00 | 00 00 00 00 | 02 20 00 00 | 14 00 00 00"));
    EXPECT_EQ(Bytes(bytes.begin() + 40, bytes.end()), inner);
    const auto back = DecodeAs<Ask4Multicast>(bytes);
    EXPECT_EQ(back.playerFrom, 0x2002u);
    EXPECT_EQ(back.inner, inner);
    EXPECT_TRUE(back.guaranteed);

    EXPECT_EQ(InnerForm(EncodePlayerData(kPort2300, 5, 0, {9})), Hex("05 00 00 00 00 00 00 00 09"));
    Bytes lying = Encode(Ask4Multicast{0, 5, {}, false}, kPort2300, 14);
    EXPECT_EQ(lying[24], 0x25);
    lying[36] = 0xFF;  // the inner message would start outside
    EXPECT_FALSE(Decode(lying).ok());
}

TEST(DirectPlayCodec, PlayerDataCarriesIdsWithoutSignature) {
    const Bytes bytes = EncodePlayerData(kPort2300, 0x11, 0x22, Bytes{1, 2, 3});
    EXPECT_EQ(bytes, Hex("1f 00 b0 fa 02 00 08 fc 00 00 00 00 00 00 00 00 00 00 00 00 "
                         "11 00 00 00 22 00 00 00 01 02 03"));
    const auto parts = SplitPlayerData(DecodeAs<PlayerData>(bytes));
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->idFrom, 0x11u);
    EXPECT_EQ(parts->idTo, 0x22u);
    EXPECT_EQ(parts->payload, (Bytes{1, 2, 3}));

    // A wrapped player message decodes to the inner ids and payload.
    Bytes wrapped = Encode(Unhandled{kPlayerWrapper}, kPort2300, 14);
    const Bytes inner = {0x11, 0, 0, 0, 0x22, 0, 0, 0, 9};
    wrapped.insert(wrapped.end(), inner.begin(), inner.end());
    wrapped[0] = static_cast<uint8_t>(wrapped.size());
    EXPECT_EQ(SplitPlayerData(DecodeAs<PlayerData>(wrapped))->payload, Bytes{9});
}

TEST(DirectPlayCodec, AcceptsOtherTokensEveryDialectAndUnknownCommands) {
    for (uint16_t version = 9; version <= 14; ++version) {
        Bytes bytes = Encode(RequestPlayerId{1}, kPort2300, version);
        bytes[3] = 0xCA;  // 0xCAB token
        ASSERT_TRUE(Decode(bytes).ok()) << version;
        EXPECT_EQ(Decode(bytes).decoded->version, version);
    }
    EXPECT_EQ(FrameSize(0xFAB00000 | 20), 20u);
    EXPECT_FALSE(FrameSize(0xFAB00000 | 19));
    EXPECT_FALSE(FrameSize(0x12300000 | 40));
    EXPECT_FALSE(FrameSize(0xFAB00000 | static_cast<uint32_t>(kMaxMessageSize + 1)));
    // Unknown commands are reported, not rejected.
    const DecodeResult unknown = Decode(Encode(Unhandled{0x35}, kPort2300, 14));
    ASSERT_TRUE(unknown.ok());
    EXPECT_EQ(std::get<Unhandled>(unknown.decoded->message).command, 0x35);
}

// A datagram may carry bytes after its message (a sender may pad it): they are no part of the
// message. A stream message is exactly what its size word says.
TEST(DirectPlayCodec, ADatagramMayCarryBytesAfterItsMessage) {
    Bytes padded = EncodePlayerData(kPort2300, 0x11, 0x22, Bytes{1, 2, 3});
    padded.resize(padded.size() + 5, 0xEE);
    EXPECT_FALSE(Decode(padded).ok());
    const DecodeResult datagram = DecodeDatagram(padded.data(), padded.size());
    ASSERT_TRUE(datagram.ok()) << datagram.error;
    EXPECT_EQ(SplitPlayerData(std::get<PlayerData>(datagram.decoded->message))->payload,
              (Bytes{1, 2, 3}));
    EXPECT_FALSE(DecodeDatagram(padded.data(), 30).ok());  // shorter than its size word
}

// The size word has 20 bits: a message that does not fit is refused whole, never sent with a
// wrong size.
TEST(DirectPlayCodec, RefusesMessagesTheSizeFieldsCannotHold) {
    const size_t largest = 0xFFFFF;
    EXPECT_EQ(EncodePlayerData(kPort2300, 1, 2, Bytes(largest - kHeaderSize, 0)).size(), largest);
    EXPECT_THROW(EncodePlayerData(kPort2300, 1, 2, Bytes(largest - kHeaderSize + 1, 0)),
                 EncodeError);
    CreatePlayer create;
    create.player.playerData = Bytes(largest, 0);
    EXPECT_THROW(Encode(create, kPort2300, 14), EncodeError);
}

TEST(DirectPlayCodec, MalformedMessagesAreRejected) {
    const Bytes good = Encode(EnumSessionsReply{{}, u"Name"}, kPort2300, 14);
    EXPECT_FALSE(Decode(Bytes(good.begin(), good.begin() + 10)).ok());  // short

    Bytes lying = good;
    lying[0] = static_cast<uint8_t>(good.size() + 4);  // claims more than it has
    EXPECT_FALSE(Decode(lying).ok());

    Bytes outside = Encode(SuperEnumPlayersReply{}, kPort2300, 14);
    outside[44] = 0xF0;  // description offset far beyond the end
    const DecodeResult result = Decode(outside);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("at byte"), std::string::npos);

    Bytes badDesc = good;
    badDesc[28] = 10;  // description size below 80
    EXPECT_FALSE(Decode(badDesc).ok());

    CreatePlayer create;
    create.player.shortName = u"ATC";
    Bytes packed = Encode(create, kPort2300, 14);
    packed[60] = 0xFF;  // short name length beyond the packed size
    EXPECT_FALSE(Decode(packed).ok());
    packed = Encode(create, kPort2300, 14);
    packed[60] = 7;  // odd length
    EXPECT_FALSE(Decode(packed).ok());

    SuperEnumPlayersReply snapshot;
    Bytes many = Encode(snapshot, kPort2300, 14);
    many[31] = 0x7F;  // two billion players
    EXPECT_FALSE(Decode(many).ok());
    snapshot.players = {PlayerOf(0x201, 0x100, u"N1")};
    Bytes entry = Encode(snapshot, kPort2300, 14);
    entry[kPrefixSize + At32(entry, 36)] = 0xF0;  // entry size: its names start past the end
    EXPECT_FALSE(Decode(entry).ok());
}

// Every prefix and random corruptions of valid messages decode or fail cleanly; run under
// the address sanitizer this proves no read leaves the buffer.
TEST(DirectPlayCodec, TruncatedAndCorruptedMessagesNeverReadOutside) {
    SuperEnumPlayersReply snapshot;
    snapshot.name = u"Session";
    snapshot.players = {JoinerSystemPlayer()};
    AddForwardRequest request{0, 1, JoinerSystemPlayer(), u"pw", 5};
    const std::vector<Bytes> samples = {
        Encode(snapshot, kPort2300, 14), Encode(request, kPort2300, 14),
        Encode(EnumSessionsReply{{}, u"X"}, kPort2300, 14),
        Encode(CreatePlayer{0, 1, JoinerSystemPlayer(), false}, kPort2300, 14)};
    std::mt19937 random(7);
    for (const Bytes& sample : samples) {
        for (size_t length = 0; length < sample.size(); ++length) {
            Bytes cut(sample.begin(), sample.begin() + static_cast<long>(length));
            if (cut.size() >= 4) {
                cut[0] = static_cast<uint8_t>(length), cut[1] = static_cast<uint8_t>(length >> 8);
            }
            (void)Decode(cut);
        }
        for (int round = 0; round < 2000; ++round) {
            Bytes corrupt = sample;
            for (int flips = 0; flips < 4; ++flips) {
                corrupt[28 + random() % (corrupt.size() - 28)] = static_cast<uint8_t>(random());
            }
            (void)Decode(corrupt);
        }
    }
}

}  // namespace
}  // namespace scopewatch::directplay
