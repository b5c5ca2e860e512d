#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "directplay/DirectPlayCodec.h"
#include "support/DirectPlayPlayers.h"

namespace scopewatch::directplay {
namespace {

using testing::PlayerOf;
using testing::SystemPlayerOf;

const SockAddr kPort2300{2300, 0};

// Hex bytes; "|" separates fields, "00*12" is twelve zeros.
Bytes Hex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    for (std::string token; in >> token;) {
        if (token != "|") {
            size_t end = 0;
            const auto value = static_cast<uint8_t>(std::stoul(token, &end, 16));
            bytes.insert(bytes.end(), end < token.size() ? std::stoul(token.substr(end + 1)) : 1,
                         value);
        }
    }
    return bytes;
}

// The address image of port 2300 at 0.0.0.0, in every header we encode here.
const std::string kAt2300 = "02 00 08 fc 00*12 ";

Bytes Enc(const Message& message, uint16_t version = 14) {
    return Encode(message, kPort2300, version);
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

// Decoded and encoded again, the message comes back byte for byte: every field was read.
void ExpectRoundTrip(const Bytes& bytes, uint16_t version = 14) {
    const DecodeResult back = Decode(bytes);
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_EQ(Encode(back.decoded->message, back.decoded->sender, version), bytes);
}

// The message cut or padded to `size` bytes, its size word saying so.
Bytes Resized(Bytes bytes, size_t size) {
    bytes.resize(size);
    bytes[0] = static_cast<uint8_t>(size), bytes[1] = static_cast<uint8_t>(size >> 8);
    return bytes;
}

Bytes Poked(Bytes bytes, size_t at, uint8_t value) {
    bytes[at] = value;
    return bytes;
}

Bytes WithTail(Bytes bytes, const Bytes& tail) {
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return Resized(bytes, bytes.size());
}

PlayerInfo JoinerSystemPlayer() {
    return SystemPlayerOf(0x09, 0x00410001, 11, SockAddr{2300, 0}, SockAddr{2350, 0});
}

// The reference's enumeration request both ways; a password is placed after the fixed part.
TEST(DirectPlayCodec, EnumSessionsMatchesTheReferenceBytesAndCarriesAPassword) {
    const Bytes expected =
        Hex("34 00 b0 fa | 02 00 08 fc 00*12 | 70 6c 61 79 | 02 00 | 0e 00 | "
            "00*16 | 00*4 | 01 00 00 00");
    EXPECT_EQ(Enc(EnumSessions{}), expected);
    ExpectRoundTrip(expected);
    const Bytes bytes = Enc(EnumSessions{{}, 1, u"12345678"});
    EXPECT_EQ(bytes.size(), 70u);
    EXPECT_EQ(At32(bytes, 44), 32u);  // counted from "play"
    ExpectRoundTrip(bytes);
}

// An enumeration reply, byte for byte: the description (size, flags, instance, application,
// max and current players, name and password slots, reserved words, user words), then the
// name's offset counted from "play".
TEST(DirectPlayCodec, EnumSessionsReplyLaysOutDescAndName) {
    EnumSessionsReply reply{{}, u"LOTHAIR"};
    reply.desc.flags = 0x404, reply.desc.maxPlayers = 1000, reply.desc.currentPlayers = 1;
    reply.desc.instance[0] = 0xAB, reply.desc.reserved1 = 0x12340000;
    const Bytes bytes = Enc(reply);
    EXPECT_EQ(bytes, Hex("80 00 b0 fa " + kAt2300 + "70 6c 61 79 01 00 0e 00 | 50 00 00 00 | " +
                         "04 04 00 00 | ab 00*15 | 00*16 | e8 03 00 00 | 01 00 00 00 | 00*8 | "
                         "00 00 34 12 | 00*20 | 5c 00 00 00 | "
                         "4c 00 4f 00 54 00 48 00 41 00 49 00 52 00 00 00"));
    ExpectRoundTrip(bytes);
}

// The id request byte for byte, the sizes of the fixed messages, and every field back.
TEST(DirectPlayCodec, PlayerIdRequestAndSmallFixedMessages) {
    EXPECT_EQ(Enc(RequestPlayerId{0x9}, 11),
              Hex("20 00 b0 fa " + kAt2300 + "70 6c 61 79 05 00 0b 00 09 00 00 00"));
    const Bytes reply = Enc(RequestPlayerReply{0x1234, 0});
    EXPECT_EQ(Bytes(reply.begin() + 28, reply.end()), Hex("34 12 00 00 00*36"));
    EXPECT_EQ(Enc(DeletePlayer{0, 0x77}).size(), 48u);
    EXPECT_EQ(Enc(Ping{5, 1000, false}).size(), 36u);
    EXPECT_EQ(Enc(YouAreDead{}).size(), 28u);
    for (const Message& message : std::initializer_list<Message>{
             RequestPlayerReply{0, kErrorNoNewPlayers}, DeletePlayer{0, 0x77}, Ping{5, 1000, true},
             AddForwardAck{3}, AddForwardReply{9}, AddForward{4, 9, JoinerSystemPlayer()},
             PlayerNameChanged{0, 8, u"New", u"L"}}) {
        ExpectRoundTrip(Enc(message));
    }
}

// The add-forward request of a dialect-11 joiner, byte for byte, and back.
TEST(DirectPlayCodec, AddForwardRequestMatchesWhatAJoinerSends) {
    const AddForwardRequest request{0, 0x00410001, JoinerSystemPlayer(), u"", 0};
    const Bytes bytes = Enc(request, 11);
    EXPECT_EQ(bytes, Hex("86 00 b0 fa " + kAt2300 + "70 6c 61 79 13 00 0b 00 " +
                         "00*4 01 00 41 00 00*4 1c 00 00 00 6c 00 00 00 "
                         // packed player: size 80, flags 9, id, names 0/0, sp 32, data 0,
                         // count 0, system id, fixed size 48, version 11, parent 0
                         "50 00 00 00 09 00 00 00 01 00 41 00 00*8 20 00 00 00 00*8 "
                         "01 00 41 00 30 00 00 00 0b 00 00 00 00*4 " +
                         kAt2300 + "02 00 09 2e 00*12 00*6"));
    ExpectRoundTrip(bytes, 11);
}

// A created player comes back whole, names in UTF-16; the verify variant differs only in its
// command. Found by fuzzing the relay of a created player into a name table: a name with a NUL in
// it came back cut short from the name table (whose names are terminated) and what followed was
// misread. A name now ends at its first NUL wherever it is read.
TEST(DirectPlayCodec, CreatePlayerRoundTripsAndANameEndsAtItsFirstNul) {
    CreatePlayer create{0, 77, PlayerOf(77, 5, u"ATC", u"Player"), false};
    create.player.flags = player_flags::kLocal;
    ExpectRoundTrip(Enc(create));
    create.verify = true;
    EXPECT_EQ(Enc(create)[24], kCreatePlayerVerify);
    ExpectRoundTrip(Enc(create));
    create.player.shortName = u"Jos\u00e9 \u20ac\u00fc";
    create.player.longName.clear();
    EXPECT_EQ(DecodeAs<CreatePlayer>(Enc(create)).player, create.player);

    create.player = PlayerOf(0x201, 0, std::u16string(u"N1\0X", 4), std::u16string(u"\0\0play", 6));
    SuperEnumPlayersReply snapshot{{}, u"S", u"", {DecodeAs<CreatePlayer>(Enc(create)).player}};
    for (const PlayerInfo& player :
         {snapshot.players[0], DecodeAs<SuperEnumPlayersReply>(Enc(snapshot)).players.at(0)}) {
        EXPECT_EQ(player.shortName, u"N1");
        EXPECT_EQ(player.longName, u"");
    }
}

// Player data of two- and four-byte lengths (a create message may carry 128 KiB), system
// players with addresses, the description right after the offsets.
TEST(DirectPlayCodec, SuperEnumPlayersReplyRoundTripsTheNameTable) {
    SuperEnumPlayersReply snapshot;
    snapshot.desc.maxPlayers = 8, snapshot.desc.currentPlayers = 2;
    snapshot.name = u"Eldorado Fly-in";
    PlayerInfo pilot = PlayerOf(0x201, 0x100, u"N123", u"Cessna");
    pilot.playerData = Bytes(300, 0x5A);
    PlayerInfo joiner = JoinerSystemPlayer();
    joiner.flags = 0x5;
    joiner.streamAddress = SockAddr{2300, 0x7F000001};
    PlayerInfo big = pilot;
    big.id = 0x202;
    big.playerData = Bytes(70000, 0x5A);
    snapshot.players = {SystemPlayerOf(0x7, 0x100, 14, kPort2300, kPort2300), joiner, big, pilot};
    const Bytes bytes = Enc(snapshot);
    EXPECT_EQ(DecodeAs<SuperEnumPlayersReply>(bytes).players, snapshot.players);
    ExpectRoundTrip(bytes);
}

// A name table lists its players, then its groups, then its shortcuts. Every entry is read
// and checked, but only the players are players.
TEST(DirectPlayCodec, NameTableGroupsAndShortcutsAreNoPlayers) {
    const PlayerInfo host = SystemPlayerOf(0x7, 0x100, 14, kPort2300, kPort2300);
    const PlayerInfo pilot = PlayerOf(0x201, 0x100, u"N123");
    PlayerInfo group = PlayerOf(0x301, 0x100, u"Group");
    group.playerData = Bytes(4, 1);  // the last field has a length, so a cut shows
    Bytes bytes = Enc(SuperEnumPlayersReply{{}, u"", u"", {host, pilot, group, group}});
    bytes[28] = 2, bytes[32] = 1, bytes[40] = 1;  // 2 players, 1 group, 1 shortcut
    EXPECT_EQ(DecodeAs<SuperEnumPlayersReply>(bytes).players, (std::vector{host, pilot}));
    EXPECT_FALSE(Decode(Resized(bytes, bytes.size() - 1)).ok());  // the shortcut cut short
}

// The name table and a player announcement as our host sends them to a joiner of dialect 11:
// every entry, system player or not, ends with the SP length byte 0x20 and the stream and
// datagram addresses of its machine (0.0.0.0 for the host's own, port big-endian).
TEST(DirectPlayCodec, NameTableAndPlayerCreationAsOurHostSendsThem) {
    const PlayerInfo host = SystemPlayerOf(0x7, 0x11, 11, kPort2300, kPort2300);
    const PlayerInfo joiner =
        SystemPlayerOf(0x5, 0x22, 11, SockAddr{2350, 0x7F000001}, SockAddr{2351, 0x7F000001});
    PlayerInfo pilot = PlayerOf(0x33, 0x11, u"A", u"B");
    pilot.streamAddress = pilot.datagramAddress = kPort2300;
    SuperEnumPlayersReply snapshot{{}, u"Fly", u"", {host, joiner, pilot}};
    snapshot.desc.flags = session_flags::kKeepAlive;
    snapshot.desc.maxPlayers = 8, snapshot.desc.currentPlayers = 1;
    snapshot.desc.reserved1 = 0x12340000;
    const std::string hostSp = "20 " + kAt2300 + kAt2300;
    EXPECT_EQ(Enc(snapshot, 11),
              Hex("37 01 b0 fa " + kAt2300 + "70 6c 61 79 29 00 0b 00 " +
                  // 3 players, 0 groups, entries at 124, 0 shortcuts, desc at 36, name at 116
                  "03 00 00 00 00*4 7c 00 00 00 00*4 24 00 00 00 74 00 00 00 00*4 "
                  // description: size, flags, two GUIDs, max 8, current 1, reserved 0x12340000
                  "50 00 00 00 40 00 00 00 00*32 08 00 00 00 01 00 00 00 00*10 34 12 00*20 "
                  "46 00 6c 00 79 00 00 00 "
                  // the host's system player: SP length coded 1, its dialect, its addresses
                  "10 00 00 00 07 00 00 00 11 00 00 00 04 00 00 00 0b 00 00 00 " +
                  hostSp +
                  // the joiner's, at its real address
                  "10 00 00 00 05 00 00 00 22 00 00 00 04 00 00 00 0b 00 00 00 "
                  "20 02 00 09 2e 7f 00 00 01 00*8 02 00 09 2f 7f 00 00 01 00*8 "
                  // the host's pilot: names, owning machine, and the host's addresses
                  "10 00 00 00 00 00 00 00 33 00 00 00 07 00 00 00 11 00 00 00 "
                  "41 00 00 00 42 00 00 00 " +
                  hostSp));

    pilot.flags = player_flags::kLocal;
    pilot.version = 11;
    EXPECT_EQ(Enc(CreatePlayer{0, 0x33, pilot, false}, 11),
              Hex("8e 00 b0 fa " + kAt2300 + "70 6c 61 79 08 00 0b 00 " +
                  "00*4 33 00 00 00 00*4 1c 00 00 00 00*4 "
                  // size 88, flags 8, id, names 4/4, SP 32, data 0, count 0, system 0x11,
                  // fixed size 48, dialect 11, parent 0
                  "58 00 00 00 08 00 00 00 33 00 00 00 04 00 00 00 04 00 00 00 20 00 00 00 "
                  "00*8 11 00 00 00 30 00 00 00 0b 00 00 00 00*4 41 00 00 00 42 00 00 00 " +
                  kAt2300 + kAt2300 + "00*6"));
}

// A name table entry as others may write it: four-byte data length, members, parent, shortcut.
TEST(DirectPlayCodec, SuperPackedEntryWithFourByteLengthsAndShortcuts) {
    // size, flags, id, what follows (SN, PD/4, PC/1, PI, SC/1), owning machine, short name,
    // player data, one member, parent, one shortcut
    const Bytes entry =
        Hex("10 00 00 00 | 00*4 | 42 00 00 00 | 71 03 00 00 | 00 01 00 00 | 42 00 00 00 | "
            "02 00 00 00 07 08 | 01 55 00 00 00 | 99 00 00 00 | 01 66 00 00 00");
    const Bytes bytes = WithTail(Enc(SuperEnumPlayersReply{{}, u"S", u"", {}}), entry);
    const auto players =
        DecodeAs<SuperEnumPlayersReply>(Poked(bytes, 28, 1)).players;  // one player
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(players[0].shortName, u"B");
    EXPECT_EQ(players[0].playerData, (Bytes{7, 8}));
    EXPECT_EQ(players[0].parentId, 0x99u);
    EXPECT_EQ(players[0].systemPlayerId, 0x100u);
}

// A peer may leave out a text's terminator: the text then ends with the message, an odd last
// byte left out. An optional text whose offset lies at or past the end is absent.
TEST(DirectPlayCodec, TextsMayRunToTheMessageEndOrLieBeyondIt) {
    const Bytes enumeration = Enc(EnumSessions{{}, 1, u"pw"});
    EXPECT_EQ(DecodeAs<EnumSessions>(Resized(enumeration, 56)).password, u"pw");
    EXPECT_EQ(DecodeAs<EnumSessions>(Resized(enumeration, 52)).password, u"");

    const Bytes reply = Enc(EnumSessionsReply{{}, u"Name"});
    EXPECT_EQ(DecodeAs<EnumSessionsReply>(Resized(reply, reply.size() - 1)).name, u"Name");
    EXPECT_EQ(DecodeAs<EnumSessionsReply>(Poked(reply, 108, 0xF0)).name, u"");

    // Password offset 108 with no password and no tick count after it: the message ends there.
    const Bytes request = Enc(AddForwardRequest{0, 1, JoinerSystemPlayer(), u"pw", 5});
    const auto bare = DecodeAs<AddForwardRequest>(Resized(request, 128));
    EXPECT_EQ(bare.player, JoinerSystemPlayer());
    EXPECT_EQ(bare.password, u"");
    const auto unterminated = DecodeAs<AddForwardRequest>(Resized(request, 132));
    EXPECT_EQ(unterminated.password, u"pw");
    EXPECT_EQ(unterminated.tickCount, 0u);

    SuperEnumPlayersReply snapshot{{}, u"Fly", u"", {}};
    const Bytes named = Enc(snapshot);  // the name is the last field
    EXPECT_EQ(DecodeAs<SuperEnumPlayersReply>(Resized(named, named.size() - 2)).name, u"Fly");
    snapshot.password = u"pw";
    snapshot.players = {PlayerOf(0x201, 0x100, u"N1", u"Cessna")};
    Bytes table = Enc(snapshot);  // the long name is the last field
    table = Resized(table, table.size() - 2);
    table[48] = 0xF0, table[52] = 0xF0;  // name and password beyond the end
    const auto decoded = DecodeAs<SuperEnumPlayersReply>(table);
    EXPECT_EQ(decoded.name, u"");
    EXPECT_EQ(decoded.password, u"");
    EXPECT_EQ(decoded.players, snapshot.players);
}

// In a session whose host relays, the message for the others travels after three fields,
// without its 20-byte prefix: from "play" on, or from idFrom on for player data.
TEST(DirectPlayCodec, RelayRequestCarriesTheMessageWithoutItsPrefix) {
    const Bytes inner = InnerForm(Enc(DeletePlayer{0, 0x77}));
    EXPECT_EQ(inner, Hex("70 6c 61 79 0b 00 0e 00 | 00*4 | 77 00 00 00 | 00*12"));
    // group to, player from, offset of the inner message from "play"
    const Bytes bytes = Enc(Ask4Multicast{0, 0x2002, inner, true});
    EXPECT_EQ(bytes, WithTail(Hex("00 00 b0 fa " + kAt2300 +
                                  "70 6c 61 79 26 00 0e 00 | 00*4 | 02 20 00 00 | 14 00 00 00"),
                              inner));
    ExpectRoundTrip(bytes);

    EXPECT_EQ(InnerForm(EncodePlayerData(kPort2300, 5, 0, {9})), Hex("05 00 00 00 00*4 09"));
    const Bytes unguaranteed = Enc(Ask4Multicast{0, 5, {}, false});
    EXPECT_EQ(unguaranteed[24], 0x25);
    EXPECT_FALSE(Decode(Poked(unguaranteed, 36, 0xFF)).ok());  // the inner one would start outside
}

// Player data carries its ids without the "play" signature, plain or wrapped. A datagram may
// carry bytes after its message (a sender may pad it); a stream message is exactly what its
// size word says.
TEST(DirectPlayCodec, PlayerDataCarriesIdsWithoutSignatureAndMayBePaddedInADatagram) {
    const Bytes bytes = EncodePlayerData(kPort2300, 0x11, 0x22, Bytes{1, 2, 3});
    EXPECT_EQ(bytes, Hex("1f 00 b0 fa " + kAt2300 + "11 00 00 00 22 00 00 00 01 02 03"));
    const auto parts = SplitPlayerData(DecodeAs<PlayerData>(bytes));
    ASSERT_TRUE(parts);
    EXPECT_EQ(std::tie(parts->idFrom, parts->idTo, parts->payload),
              std::tuple(0x11u, 0x22u, Bytes{1, 2, 3}));
    const Bytes wrapped =
        WithTail(Enc(Unhandled{kPlayerWrapper}), Hex("11 00 00 00 22 00 00 00 09"));
    EXPECT_EQ(SplitPlayerData(DecodeAs<PlayerData>(wrapped))->payload, Bytes{9});

    Bytes padded = bytes;
    padded.resize(padded.size() + 5, 0xEE);
    EXPECT_FALSE(Decode(padded).ok());
    const DecodeResult datagram = DecodeDatagram(padded.data(), padded.size());
    ASSERT_TRUE(datagram.ok()) << datagram.error;
    EXPECT_EQ(SplitPlayerData(std::get<PlayerData>(datagram.decoded->message))->payload,
              (Bytes{1, 2, 3}));
    EXPECT_FALSE(DecodeDatagram(padded.data(), 30).ok());  // shorter than its size word
}

// Tokens other than ours, every dialect and unknown commands are taken; size words outside
// the bounds are not. The size word has 20 bits: a message that does not fit is refused
// whole, never sent with a wrong size.
TEST(DirectPlayCodec, AcceptsOtherTokensDialectsAndCommandsWithinTheSizeBounds) {
    for (uint16_t version = 9; version <= 14; ++version) {  // with the token 0xCAB
        EXPECT_EQ(Decode(Poked(Enc(RequestPlayerId{1}, version), 3, 0xCA)).decoded.value().version,
                  version);
    }
    EXPECT_EQ(std::get<Unhandled>(Decode(Enc(Unhandled{0x35})).decoded.value().message).command,
              0x35);
    EXPECT_EQ(FrameSize(0xFAB00000 | 20), 20u);
    EXPECT_FALSE(FrameSize(0xFAB00000 | 19));
    EXPECT_FALSE(FrameSize(0x12300000 | 40));
    EXPECT_FALSE(FrameSize(0xFAB00000 | static_cast<uint32_t>(kMaxMessageSize + 1)));

    const size_t largest = 0xFFFFF;
    EXPECT_EQ(EncodePlayerData(kPort2300, 1, 2, Bytes(largest - kHeaderSize, 0)).size(), largest);
    EXPECT_THROW(EncodePlayerData(kPort2300, 1, 2, Bytes(largest - kHeaderSize + 1, 0)),
                 EncodeError);
    CreatePlayer create;
    create.player.playerData = Bytes(largest, 0);
    EXPECT_THROW(Enc(create), EncodeError);
}

// Each lie is refused: cut short, a size word claiming more, a description far outside (the
// error names the offset) or too small, names beyond the packed size or of odd length, two
// billion players, an entry whose names start past the end.
TEST(DirectPlayCodec, MalformedMessagesAreRejected) {
    const Bytes reply = Enc(EnumSessionsReply{{}, u"Name"});
    const Bytes create = Enc(CreatePlayer{0, 0, PlayerOf(0, 0, u"ATC", u""), false});
    const Bytes table = Enc(SuperEnumPlayersReply{});
    const Bytes entry = Enc(SuperEnumPlayersReply{{}, u"", u"", {PlayerOf(0x201, 0x100, u"N1")}});
    const std::vector<Bytes> lies = {Bytes(reply.begin(), reply.begin() + 10),
                                     Poked(reply, 0, static_cast<uint8_t>(reply.size() + 4)),
                                     Poked(reply, 28, 10),
                                     Poked(create, 60, 0xFF),
                                     Poked(create, 60, 7),
                                     Poked(table, 31, 0x7F),
                                     Poked(entry, kPrefixSize + At32(entry, 36), 0xF0)};
    for (size_t i = 0; i < lies.size(); ++i) {
        EXPECT_FALSE(Decode(lies[i]).ok()) << "lie " << i;
    }
    const DecodeResult outside = Decode(Poked(table, 44, 0xF0));
    EXPECT_FALSE(outside.ok());
    EXPECT_NE(outside.error.find("at byte"), std::string::npos);
}

// Every prefix and random corruptions of valid messages decode or fail cleanly; run under
// the address sanitizer this proves no read leaves the buffer.
TEST(DirectPlayCodec, TruncatedAndCorruptedMessagesNeverReadOutside) {
    std::mt19937 random(7);
    for (const Bytes& sample :
         {Enc(SuperEnumPlayersReply{{}, u"Session", u"", {JoinerSystemPlayer()}}),
          Enc(AddForwardRequest{0, 1, JoinerSystemPlayer(), u"pw", 5}),
          Enc(EnumSessionsReply{{}, u"X"}), Enc(CreatePlayer{0, 1, JoinerSystemPlayer(), false})}) {
        for (size_t length = 0; length < sample.size(); ++length) {
            const Bytes cut(sample.begin(), sample.begin() + static_cast<long>(length));
            (void)Decode(length >= 4 ? Resized(cut, length) : cut);
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
