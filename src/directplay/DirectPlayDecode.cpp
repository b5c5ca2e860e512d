// Reading the messages of DirectPlayCodec.h. Every field read is bounds-checked; the first
// fault ends the message with an error naming the byte where it was found.
#include <algorithm>
#include <cstdio>

#include "directplay/DirectPlayCodec.h"
#include "directplay/DirectPlayLayout.h"
#include "shared/ByteCursor.h"

namespace scopewatch::directplay {
namespace {

// Thrown inside the decoder only; Decode turns it into an error text.
struct Malformed {
    std::string what;
    size_t offset;
};

std::string HexWord(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

[[noreturn]] void Fail(const std::string& what, size_t offset) {
    throw Malformed{what, offset};
}

// Bounds-checked reads at absolute positions of one message.
class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t size() const { return size_; }
    uint8_t U8(size_t at) const { return static_cast<uint8_t>(Little(at, 1)); }
    uint16_t U16(size_t at) const { return static_cast<uint16_t>(Little(at, 2)); }
    uint32_t U32(size_t at) const { return static_cast<uint32_t>(Little(at, 4)); }

    void Need(size_t at, size_t count, const char* what) const {
        if (at > size_ || count > size_ - at) {
            Fail(std::string("message too short for ") + what, at);
        }
    }
    Bytes Slice(size_t at, size_t count) const {
        Need(at, count, "data");
        return Bytes(data_ + at, data_ + at + count);
    }
    Guid ReadGuid(size_t at) const {
        Need(at, 16, "a GUID");
        Guid guid{};
        std::copy(data_ + at, data_ + at + 16, guid.begin());
        return guid;
    }
    SockAddr ReadSockAddr(size_t at) const {
        Need(at, 16, "an address");
        SockAddr address;
        address.port = static_cast<uint16_t>((data_[at + 2] << 8) | data_[at + 3]);
        address.address = (uint32_t{data_[at + 4]} << 24) | (uint32_t{data_[at + 5]} << 16) |
                          (uint32_t{data_[at + 6]} << 8) | uint32_t{data_[at + 7]};
        return address;
    }
    // A NUL-terminated UTF-16 text; returns the text and advances `at` past the terminator.
    // A peer may leave the terminator out: the text then ends with the message, and an odd
    // last byte is no part of it.
    std::u16string ReadWideZ(size_t& at) const {
        Need(at, 0, "a text");
        std::u16string text;
        while (size_ - at >= 2) {
            const char16_t unit = static_cast<char16_t>(U16(at));
            at += 2;
            if (unit == 0) {
                return text;
            }
            text.push_back(unit);
        }
        at = size_;
        return text;
    }
    // A UTF-16 text in a field of a given byte length: the text ends at its first NUL, as
    // every name does (a name holding a NUL could not be handed on in a name table).
    std::u16string ReadWide(size_t at, size_t length) const {
        if (length % 2 != 0) {
            Fail("odd text length", at);
        }
        Need(at, length, "a text");
        std::u16string text;
        for (size_t i = 0; i < length; i += 2) {
            const auto unit = static_cast<char16_t>(U16(at + i));
            if (unit == 0) {
                break;
            }
            text.push_back(unit);
        }
        return text;
    }

  private:
    uint64_t Little(size_t at, size_t count) const {
        Need(at, count, "a field");
        ByteCursor cursor(data_ + at, count);
        return count == 1 ? cursor.UInt8() : (count == 2 ? cursor.UInt16() : cursor.UInt32());
    }

    const uint8_t* data_;
    size_t size_;
};

// Offsets inside messages count from the "play" signature at byte 20.
size_t Absolute(uint32_t relative) {
    return kPrefixSize + relative;
}

SessionDesc ReadDesc(const Reader& in, size_t at) {
    in.Need(at, kDescSize, "a session description");
    if (in.U32(at) < kDescSize) {
        Fail("session description size below 80", at);
    }
    SessionDesc desc;
    desc.flags = in.U32(at + 4);
    desc.instance = in.ReadGuid(at + 8);
    desc.application = in.ReadGuid(at + 24);
    desc.maxPlayers = in.U32(at + 40);
    desc.currentPlayers = in.U32(at + 44);
    desc.reserved1 = in.U32(at + 56);
    desc.reserved2 = in.U32(at + 60);
    for (size_t i = 0; i < 4; ++i) {
        desc.user[i] = in.U32(at + 64 + 4 * i);
    }
    return desc;
}

void ReadAddresses(const Reader& in, size_t at, PlayerInfo& player) {
    player.streamAddress = in.ReadSockAddr(at);
    player.datagramAddress = in.ReadSockAddr(at + 16);
}

// The fixed part is read up to its own FixedSize, so an older layout without ParentID works.
PlayerInfo ReadPacked(const Reader& in, size_t at) {
    in.Need(at, 44, "a packed player");
    const uint32_t size = in.U32(at);
    const uint32_t fixedSize = in.U32(at + 36);
    if (fixedSize < 44 || fixedSize > size) {
        Fail("packed player with a bad fixed size", at + 36);
    }
    in.Need(at, size, "a packed player");
    PlayerInfo player;
    player.flags = in.U32(at + 4);
    player.id = in.U32(at + 8);
    const uint64_t shortLength = in.U32(at + 12);
    const uint64_t longLength = in.U32(at + 16);
    const uint64_t spSize = in.U32(at + 20);
    const uint64_t dataSize = in.U32(at + 24);
    const uint64_t groupSize = 4ull * in.U32(at + 28);
    player.systemPlayerId = in.U32(at + 32);
    player.version = in.U32(at + 40);
    player.parentId = fixedSize >= 48 ? in.U32(at + 44) : 0;
    if (fixedSize + shortLength + longLength + spSize + dataSize + groupSize > size) {
        Fail("packed player lengths exceed its size", at);
    }
    size_t position = at + fixedSize;
    player.shortName = in.ReadWide(position, shortLength);
    position += shortLength;
    player.longName = in.ReadWide(position, longLength);
    position += longLength;
    if (spSize >= kSpDataSize) {
        ReadAddresses(in, position, player);
    }
    position += spSize;
    player.playerData = in.Slice(position, dataSize);
    return player;
}

size_t ReadCodedLength(const Reader& in, size_t& at, uint32_t code) {
    const size_t widths[] = {0, 1, 2, 4};
    const size_t width = widths[code & 3];
    if (width == 0) {
        return 0;
    }
    const uint32_t value = width == 1 ? in.U8(at) : (width == 2 ? in.U16(at) : in.U32(at));
    at += width;
    return value;
}

PlayerInfo ReadSuperPacked(const Reader& in, size_t& at) {
    in.Need(at, 20, "a super-packed player");
    const uint32_t size = in.U32(at);
    if (size < kSuperPackedSize) {
        Fail("super-packed player size below 16", at);
    }
    PlayerInfo player;
    player.flags = in.U32(at + 4);
    player.id = in.U32(at + 8);
    const uint32_t mask = in.U32(at + 12);
    const uint32_t versionOrSystem = in.U32(at + 16);
    if ((player.flags & player_flags::kSystemPlayer) != 0) {
        player.version = versionOrSystem;
        player.systemPlayerId = player.id;
    } else {
        player.systemPlayerId = versionOrSystem;
    }
    size_t position = at + size + 4;
    if (mask & 0x1) {
        player.shortName = in.ReadWideZ(position);
    }
    if (mask & 0x2) {
        player.longName = in.ReadWideZ(position);
    }
    const size_t dataSize = ReadCodedLength(in, position, mask >> 4);
    player.playerData = in.Slice(position, dataSize);
    position += dataSize;
    const size_t spSize = ReadCodedLength(in, position, mask >> 2);
    in.Need(position, spSize, "service provider data");
    if (spSize >= kSpDataSize) {
        ReadAddresses(in, position, player);
    }
    position += spSize;
    const size_t memberCount = ReadCodedLength(in, position, mask >> 6);
    in.Need(position, 4 * memberCount, "group members");
    position += 4 * memberCount;
    if (mask & 0x100) {
        player.parentId = in.U32(position);
        position += 4;
    }
    const size_t shortcutCount = ReadCodedLength(in, position, mask >> 9);
    in.Need(position, 4 * shortcutCount, "shortcuts");
    position += 4 * shortcutCount;
    at = position;
    return player;
}

// An optional text is absent when its offset is 0, and also when the offset lies at or past
// the end of the message: a peer may leave a text out by ending the message where it
// would start.
bool HasText(const Reader& in, uint32_t relative) {
    return relative != 0 && Absolute(relative) < in.size();
}

std::u16string ReadOptionalText(const Reader& in, uint32_t relative) {
    if (!HasText(in, relative)) {
        return {};
    }
    size_t at = Absolute(relative);
    return in.ReadWideZ(at);
}

// The entries list the players, then the groups, then the shortcuts. Every entry is read,
// so a broken one refuses the message, but only the players are kept.
SuperEnumPlayersReply ReadNameTable(const Reader& in) {
    SuperEnumPlayersReply m;
    const uint32_t playerCount = in.U32(28);
    const uint64_t count = uint64_t{playerCount} + in.U32(32) + in.U32(40);
    m.desc = ReadDesc(in, Absolute(in.U32(44)));
    m.name = ReadOptionalText(in, in.U32(48));
    m.password = ReadOptionalText(in, in.U32(52));
    size_t at = Absolute(in.U32(36));
    // Each entry takes at least 20 bytes: a lying count fails before any allocation.
    if (count * 20 > in.size()) {
        Fail("more entries announced than the message can hold", 28);
    }
    for (uint64_t i = 0; i < count; ++i) {
        PlayerInfo entry = ReadSuperPacked(in, at);
        if (i < playerCount) {
            m.players.push_back(std::move(entry));
        }
    }
    return m;
}

PlayerInfo ReadCreatedPlayer(const Reader& in) {
    const uint32_t createOffset = in.U32(40);
    if (createOffset == 0) {
        Fail("player message without a packed player", 40);
    }
    return ReadPacked(in, Absolute(createOffset));
}

Message ReadBody(const Reader& in, uint16_t command) {
    switch (command) {
        case kEnumSessions: {
            EnumSessions m;
            m.application = in.ReadGuid(28);
            m.flags = in.U32(48);
            m.password = ReadOptionalText(in, in.U32(44));
            return m;
        }
        case kEnumSessionsReply: {
            EnumSessionsReply m;
            m.desc = ReadDesc(in, 28);
            m.name = ReadOptionalText(in, in.U32(108));
            return m;
        }
        case kRequestPlayerId:
            return RequestPlayerId{in.U32(28)};
        case kRequestPlayerReply:
            return RequestPlayerReply{in.U32(28), in.U32(64)};
        case kAddForwardRequest: {
            AddForwardRequest m;
            m.idTo = in.U32(28);
            m.playerId = in.U32(32);
            m.player = ReadCreatedPlayer(in);
            const uint32_t passwordOffset = in.U32(44);
            if (HasText(in, passwordOffset)) {
                size_t at = Absolute(passwordOffset);
                m.password = in.ReadWideZ(at);
                m.tickCount = at + 4 <= in.size() ? in.U32(at) : 0;
            }
            return m;
        }
        case kAddForward: {
            AddForward m;
            m.idTo = in.U32(28);
            m.playerId = in.U32(32);
            m.player = ReadCreatedPlayer(in);
            return m;
        }
        case kAddForwardAck:
            return AddForwardAck{in.U32(28)};
        case kAddForwardReply:
            return AddForwardReply{in.U32(28)};
        case kSuperEnumPlayersReply:
            return ReadNameTable(in);
        case kCreatePlayer:
        case kCreatePlayerVerify: {
            CreatePlayer m;
            m.idTo = in.U32(28);
            m.playerId = in.U32(32);
            m.player = ReadCreatedPlayer(in);
            m.verify = command == kCreatePlayerVerify;
            return m;
        }
        case kDeletePlayer:
            return DeletePlayer{in.U32(28), in.U32(32)};
        case kPing:
        case kPingReply:
            return Ping{in.U32(28), in.U32(32), command == kPingReply};
        case kYouAreDead:
            return YouAreDead{};
        case kSessionDescChanged: {
            SessionDescChanged m;
            m.idTo = in.U32(28);
            m.desc = ReadDesc(in, 40);
            m.name = ReadOptionalText(in, in.U32(32));
            return m;
        }
        case kPlayerNameChanged: {
            PlayerNameChanged m;
            m.idTo = in.U32(28);
            m.playerId = in.U32(32);
            m.shortName = ReadOptionalText(in, in.U32(36));
            m.longName = ReadOptionalText(in, in.U32(40));
            return m;
        }
        case kAsk4Multicast:
        case kAsk4MulticastGuaranteed: {
            Ask4Multicast m;
            m.groupTo = in.U32(28);
            m.playerFrom = in.U32(32);
            const size_t at = Absolute(in.U32(36));
            in.Need(at, 0, "the message to relay");
            m.inner = in.Slice(at, in.size() - at);
            m.guaranteed = command == kAsk4MulticastGuaranteed;
            return m;
        }
        case kPlayerWrapper:
            in.Need(kHeaderSize, 8, "a wrapped player message");
            return PlayerData{in.Slice(kHeaderSize, in.size() - kHeaderSize)};
        default:
            return Unhandled{command};
    }
}

bool AcceptedToken(uint32_t token) {
    return token == kTokenSend || token == kTokenForwarded || token == kTokenFromServer;
}

}  // namespace

std::optional<size_t> FrameSize(uint32_t firstWord) {
    const size_t size = firstWord & 0xFFFFF;
    if (!AcceptedToken(firstWord >> 20) || size < kPrefixSize || size > kMaxMessageSize) {
        return std::nullopt;
    }
    return size;
}

bool IsLargeFrame(uint32_t firstWord) {
    return AcceptedToken(firstWord >> 20) && (firstWord & kLargestFrame) > kMaxMessageSize;
}

DecodeResult Decode(const uint8_t* data, size_t size) {
    DecodeResult result;
    try {
        const Reader in(data, size);
        in.Need(0, kPrefixSize, "the message prefix");
        const auto frameSize = FrameSize(in.U32(0));
        if (!frameSize) {
            Fail("bad size word " + HexWord(in.U32(0)), 0);
        }
        if (*frameSize != size) {
            Fail("size word says " + std::to_string(*frameSize) + " bytes, message has " +
                     std::to_string(size),
                 0);
        }
        Decoded decoded;
        decoded.sender = in.ReadSockAddr(4);
        const bool isSystem = size >= 24 && in.U32(20) == kSignature;
        if (!isSystem) {
            decoded.message = PlayerData{in.Slice(kPrefixSize, size - kPrefixSize)};
        } else {
            in.Need(0, kHeaderSize, "the header");
            decoded.command = in.U16(24);
            decoded.version = in.U16(26);
            decoded.message = ReadBody(in, decoded.command);
        }
        result.decoded = std::move(decoded);
    } catch (const Malformed& malformed) {
        result.error = malformed.what + " at byte " + std::to_string(malformed.offset);
    }
    return result;
}

DecodeResult DecodeDatagram(const uint8_t* data, size_t size) {
    if (size >= 4) {
        const auto frameSize = FrameSize(ByteCursor(data, 4).UInt32());
        if (frameSize && *frameSize < size) {
            return Decode(data, *frameSize);
        }
    }
    return Decode(data, size);
}

std::optional<PlayerDataParts> SplitPlayerData(const PlayerData& data) {
    if (data.body.size() < 8) {
        return std::nullopt;
    }
    ByteCursor cursor(data.body);
    PlayerDataParts parts;
    parts.idFrom = cursor.UInt32();
    parts.idTo = cursor.UInt32();
    parts.payload.assign(data.body.begin() + 8, data.body.end());
    return parts;
}

std::optional<uint32_t> PlayerDataSender(const PlayerData& data) {
    if (data.body.size() < 8) {
        return std::nullopt;
    }
    return ByteCursor(data.body).UInt32();
}

uint16_t ClampVersion(uint32_t version) {
    return static_cast<uint16_t>(std::clamp<uint32_t>(version, kOldestVersion, kNewestVersion));
}

}  // namespace scopewatch::directplay
