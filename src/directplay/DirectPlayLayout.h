#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

// Where every field of the DirectPlay 4 messages we read and write stands, and the sizes of
// their parts. The decoder reads and the encoder writes by these names, so a field misplaced
// in one of them shows as a mismatch against the other (and against the golden messages).
//
// A framed message is a 20-byte prefix (the size word and the sender's address), then either
// player data or a system message: the "play" signature at byte 20, the command, the dialect
// and the message's own fields. Offsets inside a message count from byte 20, as the offset
// fields inside messages do: a name at offset 92 stands at byte 112 of the framed message.
// Offsets inside a structure (an address, a session description, a packed player) count from
// the structure's start.
namespace scopewatch::directplay {

// ---- Framing ------------------------------------------------------------------------------

// The prefix: the size word, then the sender's listening address.
namespace prefix {
inline constexpr size_t kSizeWord = 0;
inline constexpr size_t kSender = 4;
}  // namespace prefix
inline constexpr size_t kPrefixSize = 20;

// The size word: the size of the whole message in its low 20 bits, a token in the bits above.
inline constexpr uint32_t kSizeBits = 20;
// What the size word of a message can hold.
inline constexpr size_t kLargestFrame = (size_t{1} << kSizeBits) - 1;
constexpr size_t SizeInWord(uint32_t word) {
    return word & kLargestFrame;
}
constexpr uint32_t TokenInWord(uint32_t word) {
    return word >> kSizeBits;
}
constexpr uint32_t SizeWord(size_t size, uint32_t token) {
    return static_cast<uint32_t>(size & kLargestFrame) | (token << kSizeBits);
}

// A system message: the signature, the command and the dialect; its fields follow.
namespace header {
inline constexpr uint32_t kSignature = 0;
inline constexpr uint32_t kCommand = 4;
inline constexpr uint32_t kVersion = 6;
inline constexpr uint32_t kSize = 8;
}  // namespace header
inline constexpr uint32_t kSignature = 0x79616C70;  // "play"
// The prefix and the header, as framed.
inline constexpr size_t kHeaderSize = kPrefixSize + header::kSize;

// Player data with message ids: the sending and the receiving player, then the payload. In a
// session without message ids the payload starts at once.
namespace player_data {
inline constexpr uint32_t kIdFrom = 0;
inline constexpr uint32_t kIdTo = 4;
inline constexpr uint32_t kPayload = 8;
}  // namespace player_data

// A player id, as groups list their members and name tables their shortcuts.
inline constexpr size_t kIdSize = 4;

// ---- Structures ---------------------------------------------------------------------------

// A Windows sockaddr_in image: the family little-endian, port and address in network order,
// then zeros.
namespace sock_addr {
inline constexpr size_t kFamily = 0;
inline constexpr size_t kPort = 2;
inline constexpr size_t kAddress = 4;
inline constexpr size_t kSize = 16;
}  // namespace sock_addr
inline constexpr uint16_t kInternetFamily = 2;  // AF_INET

// The service provider's data of a player: its machine's stream and datagram addresses.
namespace sp_data {
inline constexpr size_t kStream = 0;
inline constexpr size_t kDatagram = 16;
inline constexpr uint32_t kSize = 32;
}  // namespace sp_data

// A session description: its own size, the flags, the instance and application GUIDs, the
// player limits, two pointers that mean nothing on the wire, two reserved words, four user
// words.
namespace session_desc {
inline constexpr size_t kSizeField = 0;
inline constexpr size_t kFlags = 4;
inline constexpr size_t kInstance = 8;
inline constexpr size_t kApplication = 24;
inline constexpr size_t kMaxPlayers = 40;
inline constexpr size_t kCurrentPlayers = 44;
inline constexpr size_t kNamePointer = 48;
inline constexpr size_t kPasswordPointer = 52;
inline constexpr size_t kReserved1 = 56;
inline constexpr size_t kReserved2 = 60;
inline constexpr size_t kUser = 64;  // four words
inline constexpr uint32_t kSize = 80;
}  // namespace session_desc

// A packed player: the fixed part (read up to its own FixedSize, so that an older layout
// without ParentID is read too), then the short and long names, the service provider data,
// the player data and (for groups) the member ids, each of the length the fixed part gives.
namespace packed_player {
inline constexpr size_t kSizeField = 0;
inline constexpr size_t kFlags = 4;
inline constexpr size_t kId = 8;
inline constexpr size_t kShortNameLength = 12;
inline constexpr size_t kLongNameLength = 16;
inline constexpr size_t kSpDataSize = 20;
inline constexpr size_t kPlayerDataSize = 24;
inline constexpr size_t kMemberCount = 28;
inline constexpr size_t kSystemPlayerId = 32;
inline constexpr size_t kFixedSizeField = 36;
inline constexpr size_t kVersion = 40;
inline constexpr size_t kParentId = 44;
inline constexpr uint32_t kFixedSize = 48;        // what we write
inline constexpr uint32_t kOldestFixedSize = 44;  // without ParentID
}  // namespace packed_player

// A super-packed player (the entries of a name table): its size field covers the size, the
// flags, the id and the mask; after them the dialect (a system player) or the system player's
// id, then the fields the mask announces, in this order: the short name, the long name (both
// terminated), the player data, the service provider data, the member ids, the parent, the
// shortcut ids. A two-bit code in the mask gives the width of each field's length or count.
namespace super_packed {
inline constexpr size_t kSizeField = 0;
inline constexpr size_t kFlags = 4;
inline constexpr size_t kId = 8;
inline constexpr size_t kInfoMask = 12;
inline constexpr size_t kVersionOrSystemPlayer = 16;
inline constexpr uint32_t kSize = 16;       // what the size field says
inline constexpr uint32_t kFixedSize = 20;  // the fields before the optional ones

// The mask.
inline constexpr uint32_t kShortNameBit = 0x1;
inline constexpr uint32_t kLongNameBit = 0x2;
inline constexpr uint32_t kSpDataLengthShift = 2;
inline constexpr uint32_t kPlayerDataLengthShift = 4;
inline constexpr uint32_t kMemberCountShift = 6;
inline constexpr uint32_t kParentBit = 0x100;
inline constexpr uint32_t kShortcutCountShift = 9;
inline constexpr uint32_t kLengthCodeMask = 0x3;
// The width of a length or count by its code: 0 (the field is absent), one, two, four bytes.
inline constexpr std::array<size_t, 4> kLengthWidths = {0, 1, 2, 4};

// The code of the narrowest width that holds a length.
constexpr uint32_t LengthCode(size_t length) {
    if (length == 0) {
        return 0;
    }
    if (length <= std::numeric_limits<uint8_t>::max()) {
        return 1;
    }
    return length <= std::numeric_limits<uint16_t>::max() ? 2 : 3;
}
}  // namespace super_packed

// ---- Messages: offsets from byte 20 -------------------------------------------------------

// ENUMSESSIONS: the application asked for, where the password stands (0: none), the flags,
// then the password.
namespace enum_sessions {
inline constexpr uint32_t kApplication = 8;
inline constexpr uint32_t kPasswordOffset = 24;
inline constexpr uint32_t kFlags = 28;
inline constexpr uint32_t kPassword = 32;
}  // namespace enum_sessions

// ENUMSESSIONSREPLY: the session's description, where its name stands, the name.
namespace enum_sessions_reply {
inline constexpr uint32_t kDesc = 8;
inline constexpr uint32_t kNameOffset = 88;
inline constexpr uint32_t kName = 92;
}  // namespace enum_sessions_reply

// REQUESTPLAYERID: the flags of the player asked for.
namespace request_player_id {
inline constexpr uint32_t kFlags = 8;
}  // namespace request_player_id

// REQUESTPLAYERREPLY: the id given, an unsecured session's all-zero security description and
// provider offsets, the result.
namespace request_player_reply {
inline constexpr uint32_t kId = 8;
inline constexpr uint32_t kSecurityDesc = 12;
inline constexpr uint32_t kSspiOffset = 36;
inline constexpr uint32_t kCapiOffset = 40;
inline constexpr uint32_t kResult = 44;
inline constexpr uint32_t kSize = 48;
}  // namespace request_player_reply

// The messages about one player (ADDFORWARDREQUEST, ADDFORWARD, CREATEPLAYER, CREATEPLAYERVERIFY,
// DELETEPLAYER): the receiver, the player, a group, where the packed player and the password
// stand (0: none), then the packed player. After it, ADDFORWARDREQUEST carries a password and
// a tick count, CREATEPLAYER an empty text and a reserved word.
namespace player_message {
inline constexpr uint32_t kIdTo = 8;
inline constexpr uint32_t kPlayerId = 12;
inline constexpr uint32_t kGroupId = 16;
inline constexpr uint32_t kCreateOffset = 20;
inline constexpr uint32_t kPasswordOffset = 24;
inline constexpr uint32_t kPacked = 28;
inline constexpr size_t kCreateTrailerSize = 6;
}  // namespace player_message

// ADDFORWARDACK: the machine acknowledged; ADDFORWARDREPLY: why the join failed.
namespace add_forward_ack {
inline constexpr uint32_t kId = 8;
}  // namespace add_forward_ack
namespace add_forward_reply {
inline constexpr uint32_t kError = 8;
}  // namespace add_forward_reply

// SUPERENUMPLAYERSREPLY: the counts of players, groups and shortcuts, where the entries, the
// description, the name and the password stand; then the description, the name, the password
// and the entries (players, groups, shortcuts).
namespace super_enum_players_reply {
inline constexpr uint32_t kPlayerCount = 8;
inline constexpr uint32_t kGroupCount = 12;
inline constexpr uint32_t kPackedOffset = 16;
inline constexpr uint32_t kShortcutCount = 20;
inline constexpr uint32_t kDescOffset = 24;
inline constexpr uint32_t kNameOffset = 28;
inline constexpr uint32_t kPasswordOffset = 32;
inline constexpr uint32_t kDesc = 36;
}  // namespace super_enum_players_reply

// PING and PINGREPLY: the player pinging, its tick count.
namespace ping {
inline constexpr uint32_t kIdFrom = 8;
inline constexpr uint32_t kTickCount = 12;
}  // namespace ping

// SESSIONDESCCHANGED: the receiver, where the name and the password stand, the description,
// then the texts.
namespace session_desc_changed {
inline constexpr uint32_t kIdTo = 8;
inline constexpr uint32_t kNameOffset = 12;
inline constexpr uint32_t kPasswordOffset = 16;
inline constexpr uint32_t kDesc = 20;
}  // namespace session_desc_changed

// PLAYERNAMECHANGED: the receiver, the player, where its short and long names stand, the names.
namespace player_name_changed {
inline constexpr uint32_t kIdTo = 8;
inline constexpr uint32_t kPlayerId = 12;
inline constexpr uint32_t kShortNameOffset = 16;
inline constexpr uint32_t kLongNameOffset = 20;
inline constexpr uint32_t kNames = 24;
}  // namespace player_name_changed

// ASK4MULTICAST and ASK4MULTICASTGUARANTEED: the group to send to, the sending player, where
// the message to relay stands (it runs to the end), the message.
namespace ask4multicast {
inline constexpr uint32_t kGroupTo = 8;
inline constexpr uint32_t kPlayerFrom = 12;
inline constexpr uint32_t kMessageOffset = 16;
inline constexpr uint32_t kMessage = 20;
}  // namespace ask4multicast

// PLAYERWRAPPER: player data (with its ids) after the header.
namespace player_wrapper {
inline constexpr uint32_t kPlayerData = 8;
}  // namespace player_wrapper

}  // namespace scopewatch::directplay
