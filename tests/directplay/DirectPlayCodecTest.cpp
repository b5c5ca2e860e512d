#include <gtest/gtest.h>

#include "directplay/DirectPlayCodec.h"
#include "support/DirectPlayLoopback.h"
#include "support/Golden.h"

namespace scopewatch::directplay {
namespace {

using testing::PlayerOf;
using testing::SystemPlayerOf;

const SockAddr kPort2300{2300, 0};

Bytes Enc(const Message& message, uint16_t version = 14) {
    return Encode(message, kPort2300, version);
}

template <typename T>
T DecodeAs(const Bytes& bytes) {
    const Outcome<Decoded> result = Decode(bytes);
    EXPECT_TRUE(result.ok()) << result.failure;
    return result.ok() ? std::get<T>(result.value->message) : T{};
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

PlayerInfo JoinerSystemPlayer() {
    return SystemPlayerOf(0x09, 0x00410001, 11, SockAddr{2300, 0}, SockAddr{2350, 0});
}

// Every kind of message we send (and the two we only read) as tests/data/directplay/*.hex holds
// it, byte for byte, all from port 2300 at 0.0.0.0; each file decodes and encodes again to the
// same bytes, so every field was read. The name table and the player announcement are as our
// host sends them to a joiner of dialect 11: every entry ends with SP length 0x20 and its
// machine's addresses (ours as 0.0.0.0).
TEST(DirectPlayCodec, EveryMessageMatchesItsGoldenBytesAndReadsBackWhole) {
    EnumSessionsReply reply{{}, u"LOTHAIR"};
    reply.desc.flags = 0x404, reply.desc.maxPlayers = 1000, reply.desc.currentPlayers = 1;
    reply.desc.instance[0] = 0xAB, reply.desc.reserved1 = 0x12340000;
    PlayerInfo pilot = PlayerOf(0x33, 0x11, u"A", u"B");
    pilot.streamAddress = pilot.datagramAddress = kPort2300;
    const PlayerInfo joiner =
        SystemPlayerOf(0x5, 0x22, 11, SockAddr{2350, 0x7F000001}, SockAddr{2351, 0x7F000001});
    SuperEnumPlayersReply table{
        {}, u"Fly", u"", {SystemPlayerOf(0x7, 0x11, 11, kPort2300, kPort2300), joiner, pilot}};
    table.desc.flags = session_flags::kKeepAlive, table.desc.maxPlayers = 8;
    table.desc.currentPlayers = 1, table.desc.reserved1 = 0x12340000;
    pilot.flags = player_flags::kLocal, pilot.version = 11;
    const std::vector<std::tuple<std::string, Message, uint16_t>> golden = {
        {"enumsessions", EnumSessions{}, 14},
        {"enumsessionsreply", reply, 14},
        {"requestplayerid", RequestPlayerId{0x9}, 11},
        {"requestplayerreply", RequestPlayerReply{0x1234, 0}, 14},
        {"requestplayerreply-refused", RequestPlayerReply{0, kErrorNoNewPlayers}, 14},
        {"addforwardrequest", AddForwardRequest{0, 0x00410001, JoinerSystemPlayer(), u"", 0}, 11},
        {"addforward", AddForward{4, 9, JoinerSystemPlayer()}, 14},
        {"addforwardack", AddForwardAck{3}, 14},
        {"addforwardreply", AddForwardReply{9}, 14},
        {"superenumplayersreply", table, 11},
        {"createplayer", CreatePlayer{0, 0x33, pilot, false}, 11},
        {"createplayerverify", CreatePlayer{0, 0x33, pilot, true}, 11},
        {"deleteplayer", DeletePlayer{0, 0x77}, 14},
        {"ping", Ping{5, 1000, false}, 14},
        {"pingreply", Ping{5, 1000, true}, 14},
        {"youaredead", YouAreDead{}, 14},
        {"ask4multicastguaranteed",
         Ask4Multicast{0, 0x2002, InnerForm(Enc(DeletePlayer{0, 0x77})), true}, 14},
        {"playerdata", PlayerData{{0x11, 0, 0, 0, 0x22, 0, 0, 0, 1, 2, 3}}, 0},
        {"playernamechanged", PlayerNameChanged{0, 8, u"New", u"L"}, 14},
        {"sessiondescchanged", SessionDescChanged{0, table.desc, u"Fly"}, 14},
    };
    for (const auto& [name, message, version] : golden) {
        const std::string file = "directplay/" + name + ".hex";
        const Bytes bytes = Enc(message, version);
        testing::ExpectBytesMatchGolden(bytes, file, Describe(*Decode(bytes).value));
        const Outcome<Decoded> back = Decode(testing::ReadGoldenBytes(file));
        ASSERT_TRUE(back.ok()) << name << ": " << back.failure;
        EXPECT_EQ(Encode(back.value->message, back.value->sender, version), bytes) << name;
    }
    EXPECT_EQ(EncodePlayerData(kPort2300, 0x11, 0x22, {1, 2, 3}),
              testing::ReadGoldenBytes("directplay/playerdata.hex"));
    // A relayed message travels without its 20-byte prefix.
    for (const Bytes& framed :
         {Enc(DeletePlayer{0, 0x77}), EncodePlayerData(kPort2300, 5, 0, {9})}) {
        EXPECT_EQ(InnerForm(framed), Bytes(framed.begin() + kPrefixSize, framed.end()));
    }
}

// Players come back whole, names in UTF-16, player data with four bytes of length in a name
// table (a create message may carry 128 KiB). Found by fuzzing the relay of a created player into a
// name table: a name with a NUL in it came back cut short from the name table (whose names are
// terminated) and what followed was misread. A name now ends at its first NUL wherever it is read.
TEST(DirectPlayCodec, PlayersComeBackWholeAndANameEndsAtItsFirstNul) {
    CreatePlayer create{0, 77, PlayerOf(77, 5, u"Jos\u00e9 \u20ac\u00fc", u""), false};
    EXPECT_EQ(DecodeAs<CreatePlayer>(Enc(create)).player, create.player);
    PlayerInfo big = PlayerOf(0x202, 0x100, u"N123", u"Cessna");
    big.playerData = Bytes(70000, 0x5A);
    SuperEnumPlayersReply snapshot{{}, u"S", u"", {JoinerSystemPlayer(), big}};
    EXPECT_EQ(DecodeAs<SuperEnumPlayersReply>(Enc(snapshot)).players, snapshot.players);

    create.player = PlayerOf(0x201, 0, std::u16string(u"N1\0X", 4), std::u16string(u"\0\0play", 6));
    snapshot.players = {DecodeAs<CreatePlayer>(Enc(create)).player};
    for (const PlayerInfo& player :
         {snapshot.players[0], DecodeAs<SuperEnumPlayersReply>(Enc(snapshot)).players.at(0)}) {
        EXPECT_EQ(std::tie(player.shortName, player.longName), std::tuple(u"N1", u""));
    }
}

// What others may send is read liberally: any token and dialect, unknown commands, player data
// wrapped (and a datagram padded after its message: DirectPlayTransportTest). A text may lack its
// terminator (it ends with the message, an odd last byte left out); an optional text whose offset
// lies at or past the end is absent. A name table's groups and shortcuts are read and checked but
// are no players; its entries may have four-byte data lengths, members, a parent and shortcuts.
TEST(DirectPlayCodec, OtherTokensDialectsAndShapesAreReadLiberally) {
    for (uint16_t version = 9; version <= 14; ++version) {  // with the token 0xCAB
        EXPECT_EQ(Decode(Poked(Enc(RequestPlayerId{1}, version), 3, 0xCA)).value->version, version);
    }
    EXPECT_EQ(std::get<Unhandled>(Decode(Enc(Unhandled{0x35})).value->message).command, 0x35);
    Bytes wrapped = Enc(Unhandled{kPlayerWrapper});
    wrapped.insert(wrapped.end(), {0x11, 0, 0, 0, 0x22, 0, 0, 0, 9});
    EXPECT_EQ(SplitPlayerData(DecodeAs<PlayerData>(Resized(wrapped, wrapped.size())))->payload,
              Bytes{9});

    const Bytes enumeration = Enc(EnumSessions{{}, 1, u"pw"});
    EXPECT_EQ(DecodeAs<EnumSessions>(Resized(enumeration, 56)).password, u"pw");
    EXPECT_EQ(DecodeAs<EnumSessions>(Resized(enumeration, 52)).password, u"");
    const Bytes reply = Enc(EnumSessionsReply{{}, u"Name"});
    EXPECT_EQ(DecodeAs<EnumSessionsReply>(Resized(reply, reply.size() - 1)).name, u"Name");
    EXPECT_EQ(DecodeAs<EnumSessionsReply>(Poked(reply, 108, 0xF0)).name, u"");
    // Password offset 108 with no password and no tick count after it: the message ends there.
    const Bytes request = Enc(AddForwardRequest{0, 1, JoinerSystemPlayer(), u"pw", 5});
    EXPECT_EQ(DecodeAs<AddForwardRequest>(Resized(request, 128)).player, JoinerSystemPlayer());
    const auto unterminated = DecodeAs<AddForwardRequest>(Resized(request, 132));
    EXPECT_EQ(std::tie(unterminated.password, unterminated.tickCount), std::tuple(u"pw", 0u));
    SuperEnumPlayersReply snapshot{{}, u"Fly", u"pw", {PlayerOf(0x201, 0x100, u"N1", u"Cessna")}};
    Bytes table = Enc(snapshot);  // the long name is the last field
    table = Poked(Poked(Resized(table, table.size() - 2), 48, 0xF0), 52, 0xF0);  // name, password
    const auto decoded = DecodeAs<SuperEnumPlayersReply>(table);
    EXPECT_EQ(std::tie(decoded.name, decoded.password, decoded.players),
              std::tie(u"", u"", snapshot.players));

    const PlayerInfo host = SystemPlayerOf(0x7, 0x100, 14, kPort2300, kPort2300);
    PlayerInfo group = PlayerOf(0x301, 0x100, u"Group");
    group.playerData = Bytes(4, 1);  // the last field has a length, so a cut shows
    Bytes listed =
        Enc(SuperEnumPlayersReply{{}, u"", u"", {host, snapshot.players[0], group, group}});
    listed[28] = 2, listed[32] = 1, listed[40] = 1;  // 2 players, 1 group, 1 shortcut
    EXPECT_EQ(DecodeAs<SuperEnumPlayersReply>(listed).players,
              (std::vector{host, snapshot.players[0]}));
    EXPECT_FALSE(Decode(Resized(listed, listed.size() - 1)).ok());  // the shortcut cut short
    const auto players = DecodeAs<SuperEnumPlayersReply>(
                             testing::ReadGoldenBytes("directplay/foreign-nametable.hex"))
                             .players;
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(std::tie(players[0].shortName, players[0].playerData, players[0].parentId,
                       players[0].systemPlayerId),
              std::tuple(u"B", Bytes{7, 8}, 0x99u, 0x100u));
}

// Size words outside the bounds are refused; the size word has 20 bits, so a message that does
// not fit is refused whole, never sent with a wrong size. Each message in
// tests/data/directplay/refused/ lies (its first line says how) and is refused; a description far
// outside names the offset in the error.
TEST(DirectPlayCodec, SizesBeyondTheBoundsAndLiesAreRefused) {
    EXPECT_EQ(FrameSize(0xFAB00000 | 20), 20u);
    for (const uint32_t word : std::initializer_list<uint32_t>{
             0xFAB00000 | 19, 0x12300000 | 40, 0xFAB00000 | uint32_t{kMaxMessageSize + 1}}) {
        EXPECT_FALSE(FrameSize(word)) << word;
    }
    EXPECT_EQ(EncodePlayerData(kPort2300, 1, 2, Bytes(kLargestFrame - kHeaderSize, 0)).size(),
              kLargestFrame);
    EXPECT_THROW(EncodePlayerData(kPort2300, 1, 2, Bytes(kLargestFrame - kHeaderSize + 1, 0)),
                 EncodeError);
    CreatePlayer tooLarge;
    tooLarge.player.playerData = Bytes(kLargestFrame, 0);
    EXPECT_THROW(Enc(tooLarge), EncodeError);

    for (const auto& file : testing::GoldenFilesIn("directplay/refused")) {
        EXPECT_FALSE(Decode(testing::ReadGoldenBytes(file)).ok()) << file;
    }
    const Bytes table = Enc(SuperEnumPlayersReply{});
    EXPECT_NE(Decode(Poked(table, 44, 0xF0)).failure.find("at byte"), std::string::npos);

    // Every golden message cut short at every length, its size word saying so, is refused or
    // read within what is left (the sanitized run checks every read) and describes itself.
    for (const std::string& name : testing::GoldenFilesIn("directplay")) {
        const Bytes whole = testing::ReadGoldenBytes(name);
        for (size_t size = 4; size < whole.size(); ++size) {
            const Outcome<Decoded> cut = Decode(Resized(whole, size));
            EXPECT_TRUE(!cut.ok() || !Describe(*cut.value).empty()) << name << " " << size;
        }
    }
}

}  // namespace
}  // namespace scopewatch::directplay
