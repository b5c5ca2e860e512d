#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "directplay/DirectPlayLayout.h"
#include "shared/Outcome.h"

// Encoding and decoding of the DirectPlay 4 messages Scopewatch exchanges over TCP/IP.
// Pure functions over byte vectors: no sockets here, so every byte can be checked in tests.
namespace scopewatch::directplay {

using Bytes = std::vector<uint8_t>;
using Guid = std::array<uint8_t, 16>;

inline constexpr uint32_t kTokenSend = 0xFAB;
inline constexpr uint32_t kTokenForwarded = 0xCAB;
inline constexpr uint32_t kTokenFromServer = 0xBAB;
// The 20-bit size field allows 1 MiB; nothing the scope reads comes near that, so a larger
// message is passed over unread (on a stream, the connection goes on after it).
inline constexpr size_t kMaxMessageSize = 128 * 1024;

inline constexpr uint16_t kOldestVersion = 9;
inline constexpr uint16_t kNewestVersion = 14;
inline constexpr uint16_t kVerifyVersion = 13;  // the first dialect with CREATEPLAYERVERIFY

enum Command : uint16_t {
    kEnumSessionsReply = 0x01,
    kEnumSessions = 0x02,
    kRequestPlayerId = 0x05,
    kRequestPlayerReply = 0x07,
    kCreatePlayer = 0x08,
    kDeletePlayer = 0x0B,
    kPlayerNameChanged = 0x10,
    kAddForwardRequest = 0x13,
    kPing = 0x16,
    kPingReply = 0x17,
    kYouAreDead = 0x18,
    kPlayerWrapper = 0x19,
    kSessionDescChanged = 0x1A,
    kAddForwardReply = 0x24,
    kAsk4Multicast = 0x25,
    kAsk4MulticastGuaranteed = 0x26,
    kSuperEnumPlayersReply = 0x29,
    kAddForward = 0x2E,
    kAddForwardAck = 0x2F,
    kCreatePlayerVerify = 0x38,
};

namespace session_flags {
inline constexpr uint32_t kNewPlayersDisabled = 0x1;
inline constexpr uint32_t kMigrateHost = 0x4;
inline constexpr uint32_t kNoMessageId = 0x8;
inline constexpr uint32_t kJoinDisabled = 0x20;
inline constexpr uint32_t kKeepAlive = 0x40;
inline constexpr uint32_t kSecureServer = 0x100;
inline constexpr uint32_t kPasswordRequired = 0x400;
inline constexpr uint32_t kMulticastServer = 0x800;
inline constexpr uint32_t kClientServer = 0x1000;
inline constexpr uint32_t kReliableProtocol = 0x2000;
}  // namespace session_flags

namespace player_flags {
inline constexpr uint32_t kSystemPlayer = 0x1;
inline constexpr uint32_t kNameServer = 0x2;
inline constexpr uint32_t kInGroup = 0x4;
inline constexpr uint32_t kLocal = 0x8;
}  // namespace player_flags

namespace enum_flags {
inline constexpr uint32_t kAvailable = 0x1;
inline constexpr uint32_t kAll = 0x2;
inline constexpr uint32_t kPasswordProtected = 0x40;
}  // namespace enum_flags

inline constexpr uint32_t kErrorNoNewPlayers = 0x8877014A;

// An IPv4 socket address as the Windows sockaddr_in image: port and address are kept here in
// host order and written in network order. Address 0 means "the sender's own address".
struct SockAddr {
    uint16_t port = 0;
    uint32_t address = 0;
    bool operator==(const SockAddr&) const = default;
};

struct SessionDesc {
    uint32_t flags = 0;
    Guid instance{};
    Guid application{};
    uint32_t maxPlayers = 0;
    uint32_t currentPlayers = 0;
    uint32_t reserved1 = 0;
    uint32_t reserved2 = 0;
    std::array<uint32_t, 4> user{};
    bool operator==(const SessionDesc&) const = default;
};

// One player (application or system) as the name table knows it. Names are UTF-16 as on
// the wire; addresses are present for system players.
struct PlayerInfo {
    uint32_t flags = 0;
    uint32_t id = 0;
    std::u16string shortName;
    std::u16string longName;
    std::optional<SockAddr> streamAddress;
    std::optional<SockAddr> datagramAddress;
    Bytes playerData;
    uint32_t systemPlayerId = 0;
    uint32_t version = 0;  // dialect of a system player
    uint32_t parentId = 0;
    bool operator==(const PlayerInfo&) const = default;
};

struct EnumSessions {
    Guid application{};
    uint32_t flags = enum_flags::kAvailable;
    std::u16string password;  // empty: no password field
};
struct EnumSessionsReply {
    SessionDesc desc;
    std::u16string name;
};
struct RequestPlayerId {
    uint32_t flags = 0;
};
struct RequestPlayerReply {
    uint32_t id = 0;
    uint32_t result = 0;
};
struct AddForwardRequest {
    uint32_t idTo = 0;
    uint32_t playerId = 0;
    PlayerInfo player;
    std::u16string password;
    uint32_t tickCount = 0;
};
struct AddForward {
    uint32_t idTo = 0;
    uint32_t playerId = 0;
    PlayerInfo player;
};
struct AddForwardAck {
    uint32_t id = 0;
};
struct AddForwardReply {
    uint32_t error = 0;
};
struct SuperEnumPlayersReply {
    SessionDesc desc;
    std::u16string name;
    std::u16string password;
    std::vector<PlayerInfo> players;
};
// CREATEPLAYER, or CREATEPLAYERVERIFY when verify is set: the layouts are identical.
struct CreatePlayer {
    uint32_t idTo = 0;
    uint32_t playerId = 0;
    PlayerInfo player;
    bool verify = false;
};
struct DeletePlayer {
    uint32_t idTo = 0;
    uint32_t playerId = 0;
};
struct Ping {
    uint32_t idFrom = 0;
    uint32_t tickCount = 0;
    bool reply = false;  // PINGREPLY
};
struct YouAreDead {};
struct SessionDescChanged {
    uint32_t idTo = 0;
    SessionDesc desc;
    std::u16string name;
};
struct PlayerNameChanged {
    uint32_t idTo = 0;
    uint32_t playerId = 0;
    std::u16string shortName;
    std::u16string longName;
};
// Application data: everything after the 20-byte prefix when no "play" signature follows.
// With message ids (the usual case) the body starts with idFrom and idTo.
struct PlayerData {
    Bytes body;
};
// In a session whose host relays (the multicast-server flag), a message for the others goes to
// the host wrapped in this: the host sends `inner` on to every member of `groupTo` (0: every
// player). `inner` is the message without its 20-byte prefix: from the "play" signature on for
// a system message, idFrom/idTo/payload for player data. ASK4MULTICASTGUARANTEED when
// `guaranteed` is set.
struct Ask4Multicast {
    uint32_t groupTo = 0;
    uint32_t playerFrom = 0;
    Bytes inner;
    bool guaranteed = true;
};
// A command outside the subset, or a tolerated one we do not act on.
struct Unhandled {
    uint16_t command = 0;
};

using Message =
    std::variant<EnumSessions, EnumSessionsReply, RequestPlayerId, RequestPlayerReply,
                 AddForwardRequest, AddForward, AddForwardAck, AddForwardReply,
                 SuperEnumPlayersReply, CreatePlayer, DeletePlayer, Ping, YouAreDead,
                 SessionDescChanged, PlayerNameChanged, Ask4Multicast, PlayerData, Unhandled>;

struct Decoded {
    SockAddr sender;
    uint16_t command = 0;  // 0 for player data
    uint16_t version = 0;  // 0 for player data
    Message message;
};

// A message that its length fields cannot describe. It is refused whole: nothing is sent.
class EncodeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A whole framed message (size word included) with our listening address in the header.
// Throws EncodeError when the message does not fit its length fields.
Bytes Encode(const Message& message, SockAddr sender, uint16_t version);
// Player data with message ids: idFrom, idTo, then the application payload.
Bytes EncodePlayerData(SockAddr sender, uint32_t idFrom, uint32_t idTo, const Bytes& payload);
// The same without its prefix: the body of a PlayerData message.
Bytes PlayerDataBody(uint32_t idFrom, uint32_t idTo, const Bytes& payload);
// A framed message without its 20-byte prefix: what a relaying host is asked to send on.
Bytes InnerForm(const Bytes& framed);
// The other way: a message from byte 20 on, framed as `sender` sends it.
Bytes FramedForm(const Bytes& inner, SockAddr sender);

// Decodes one framed message. The size word must match the number of bytes given. A message
// that fails says why, with the offset where it went wrong.
Outcome<Decoded> Decode(const uint8_t* data, size_t size);
inline Outcome<Decoded> Decode(const Bytes& bytes) {
    return Decode(bytes.data(), bytes.size());
}

// Decodes the message a datagram starts with. Its size word may be less than the datagram's
// length (a sender may pad a datagram); the bytes after the message are left unread.
Outcome<Decoded> DecodeDatagram(const uint8_t* data, size_t size);

// The total size of the message starting with this 32-bit word, or nothing if the word
// cannot begin a message (unknown token, size below the prefix or above kMaxMessageSize).
std::optional<size_t> FrameSize(uint32_t firstWord);
// Whether this word begins a well-formed message above kMaxMessageSize: one we do not keep,
// but whose end we know, so the stream can go on after it.
bool IsLargeFrame(uint32_t firstWord);

// Splits player data into sender, receiver and payload (sessions with message ids).
struct PlayerDataParts {
    uint32_t idFrom = 0;
    uint32_t idTo = 0;
    Bytes payload;
};
std::optional<PlayerDataParts> SplitPlayerData(const PlayerData& data);
// The idFrom of player data that carries its ids, without copying the payload.
std::optional<uint32_t> PlayerDataSender(const PlayerData& data);

// A readable one-line summary of a message, for logs.
std::string Describe(const Decoded& decoded);

uint16_t ClampVersion(uint32_t version);

}  // namespace scopewatch::directplay
