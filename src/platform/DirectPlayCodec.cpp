#include "platform/DirectPlayCodec.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>

#include "platform/ByteCursor.h"
#include "platform/ByteWriter.h"

namespace scopewatch::directplay {
namespace {

constexpr uint32_t kSignature = 0x79616C70;  // "play"
constexpr uint32_t kPackedFixedSize = 48;
constexpr uint32_t kSpDataSize = 32;
constexpr uint32_t kDescSize = 80;
constexpr uint32_t kSuperPackedSize = 16;

// Thrown inside the decoder only; Decode turns it into an error text.
struct Malformed {
    std::string what;
    size_t offset;
};

[[noreturn]] void Fail(const std::string& what, size_t offset) {
    throw Malformed{what, offset};
}

// ---- writing -------------------------------------------------------------------------

// The byte image of a Windows sockaddr_in: family little-endian, port and address in
// network order (port 2300 is 08 fc), as real joiners send it and Wireshark reads it.
void WriteSockAddr(ByteWriter& out, const SockAddr& address) {
    out.UInt16(2);  // AF_INET
    out.Int8(static_cast<uint8_t>(address.port >> 8));
    out.Int8(static_cast<uint8_t>(address.port & 0xFF));
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.Int8(static_cast<uint8_t>(address.address >> shift));
    }
    out.Zeros(8);
}

void WriteGuid(ByteWriter& out, const Guid& guid) {
    for (uint8_t byte : guid) {
        out.Int8(byte);
    }
}

// UTF-16LE with its terminating NUL. Name lengths we send count the terminator; readers
// strip trailing NULs, so a peer counting either way is understood.
void WriteWide(ByteWriter& out, const std::u16string& text) {
    for (char16_t unit : text) {
        out.UInt16(static_cast<uint16_t>(unit));
    }
    out.UInt16(0);
}

uint32_t WideSize(const std::u16string& text) {
    return static_cast<uint32_t>(2 * (text.size() + 1));
}

uint32_t NameSize(const std::u16string& text) {
    return text.empty() ? 0 : WideSize(text);
}

void WriteDesc(ByteWriter& out, const SessionDesc& desc) {
    out.UInt32(kDescSize);
    out.UInt32(desc.flags);
    WriteGuid(out, desc.instance);
    WriteGuid(out, desc.application);
    out.UInt32(desc.maxPlayers);
    out.UInt32(desc.currentPlayers);
    out.UInt32(0);  // session name pointer: meaningless on the wire
    out.UInt32(0);  // password pointer
    out.UInt32(desc.reserved1);
    out.UInt32(desc.reserved2);
    for (uint32_t value : desc.user) {
        out.UInt32(value);
    }
}

uint32_t PackedSize(const PlayerInfo& player) {
    const bool hasSp = player.streamAddress.has_value();
    return kPackedFixedSize + NameSize(player.shortName) + NameSize(player.longName) +
           (hasSp ? kSpDataSize : 0) + static_cast<uint32_t>(player.playerData.size());
}

void WriteAddresses(ByteWriter& out, const PlayerInfo& player) {
    WriteSockAddr(out, *player.streamAddress);
    WriteSockAddr(out, player.datagramAddress.value_or(SockAddr{}));
}

void WritePacked(ByteWriter& out, const PlayerInfo& player) {
    const bool hasSp = player.streamAddress.has_value();
    out.UInt32(PackedSize(player));
    out.UInt32(player.flags);
    out.UInt32(player.id);
    out.UInt32(NameSize(player.shortName));
    out.UInt32(NameSize(player.longName));
    out.UInt32(hasSp ? kSpDataSize : 0);
    out.UInt32(static_cast<uint32_t>(player.playerData.size()));
    out.UInt32(0);  // number of players: groups only
    out.UInt32(player.systemPlayerId);
    out.UInt32(kPackedFixedSize);
    out.UInt32(player.version);
    out.UInt32(player.parentId);
    if (!player.shortName.empty()) {
        WriteWide(out, player.shortName);
    }
    if (!player.longName.empty()) {
        WriteWide(out, player.longName);
    }
    if (hasSp) {
        WriteAddresses(out, player);
    }
    out.Bytes(player.playerData);
}

// Super-packed entries carry names only when present, the SP data with a one-byte length,
// and player data with a one- or two-byte length.
void WriteSuperPacked(ByteWriter& out, const PlayerInfo& player) {
    const bool isSystem = (player.flags & player_flags::kSystemPlayer) != 0;
    const bool hasSp = player.streamAddress.has_value();
    const size_t dataSize = player.playerData.size();
    const uint32_t dataCode = dataSize == 0 ? 0 : (dataSize <= 0xFF ? 1 : 2);
    uint32_t mask = 0;
    mask |= player.shortName.empty() ? 0 : 0x1;
    mask |= player.longName.empty() ? 0 : 0x2;
    mask |= hasSp ? (1u << 2) : 0;
    mask |= dataCode << 4;
    mask |= player.parentId != 0 ? 0x100 : 0;
    out.UInt32(kSuperPackedSize);
    out.UInt32(player.flags);
    out.UInt32(player.id);
    out.UInt32(mask);
    out.UInt32(isSystem ? player.version : player.systemPlayerId);
    if (!player.shortName.empty()) {
        WriteWide(out, player.shortName);
    }
    if (!player.longName.empty()) {
        WriteWide(out, player.longName);
    }
    if (dataCode == 1) {
        out.Int8(static_cast<uint8_t>(dataSize));
    } else if (dataCode == 2) {
        out.UInt16(static_cast<uint16_t>(dataSize));
    }
    out.Bytes(player.playerData);
    if (hasSp) {
        out.Int8(static_cast<uint8_t>(kSpDataSize));
        WriteAddresses(out, player);
    }
    if (player.parentId != 0) {
        out.UInt32(player.parentId);
    }
}

// Command at byte 24, dialect at byte 26: the order real joiners use (a joiner's version
// word is 9 to 14, its command word small, so the two cannot be confused when reading).
void WriteHeader(ByteWriter& out, SockAddr sender, uint16_t command, uint16_t version) {
    out.UInt32(0);  // size word, patched at the end
    WriteSockAddr(out, sender);
    out.UInt32(kSignature);
    out.UInt16(command);
    out.UInt16(version);
}

void WritePlayerMessage(ByteWriter& out, uint32_t idTo, uint32_t playerId, const PlayerInfo& player,
                        uint32_t passwordOffset) {
    out.UInt32(idTo);
    out.UInt32(playerId);
    out.UInt32(0);   // group
    out.UInt32(28);  // the packed player follows at rel 28
    out.UInt32(passwordOffset);
    WritePacked(out, player);
}

struct BodyWriter {
    ByteWriter& out;

    uint16_t operator()(const EnumSessions& m) {
        WriteGuid(out, m.application);
        out.UInt32(m.password.empty() ? 0 : 32);
        out.UInt32(m.flags);
        if (!m.password.empty()) {
            WriteWide(out, m.password);
        }
        return kEnumSessions;
    }
    uint16_t operator()(const EnumSessionsReply& m) {
        WriteDesc(out, m.desc);
        out.UInt32(92);
        WriteWide(out, m.name);
        return kEnumSessionsReply;
    }
    uint16_t operator()(const RequestPlayerId& m) {
        out.UInt32(m.flags);
        return kRequestPlayerId;
    }
    uint16_t operator()(const RequestPlayerReply& m) {
        out.UInt32(m.id);
        out.Zeros(24);  // unsecured: an all-zero security description
        out.UInt32(0);
        out.UInt32(0);
        out.UInt32(m.result);
        return kRequestPlayerReply;
    }
    uint16_t operator()(const AddForwardRequest& m) {
        WritePlayerMessage(out, m.idTo, m.playerId, m.player, 28 + PackedSize(m.player));
        WriteWide(out, m.password);
        out.UInt32(m.tickCount);
        return kAddForwardRequest;
    }
    uint16_t operator()(const AddForward& m) {
        WritePlayerMessage(out, m.idTo, m.playerId, m.player, 0);
        return kAddForward;
    }
    uint16_t operator()(const AddForwardAck& m) {
        out.UInt32(m.id);
        return kAddForwardAck;
    }
    uint16_t operator()(const AddForwardReply& m) {
        out.UInt32(m.error);
        return kAddForwardReply;
    }
    uint16_t operator()(const SuperEnumPlayersReply& m) {
        const uint32_t nameOffset = 36 + kDescSize;
        const uint32_t passwordOffset = m.password.empty() ? 0 : nameOffset + WideSize(m.name);
        const uint32_t packedOffset =
            nameOffset + WideSize(m.name) + (m.password.empty() ? 0 : WideSize(m.password));
        out.UInt32(static_cast<uint32_t>(m.players.size()));
        out.UInt32(0);  // groups
        out.UInt32(packedOffset);
        out.UInt32(0);  // shortcuts
        out.UInt32(36);
        out.UInt32(nameOffset);
        out.UInt32(passwordOffset);
        WriteDesc(out, m.desc);
        WriteWide(out, m.name);
        if (!m.password.empty()) {
            WriteWide(out, m.password);
        }
        for (const PlayerInfo& player : m.players) {
            WriteSuperPacked(out, player);
        }
        return kSuperEnumPlayersReply;
    }
    uint16_t operator()(const CreatePlayer& m) {
        WritePlayerMessage(out, m.idTo, m.playerId, m.player, 0);
        out.UInt16(0);  // reserved: an empty string
        out.UInt32(0);
        return m.verify ? kCreatePlayerVerify : kCreatePlayer;
    }
    uint16_t operator()(const DeletePlayer& m) {
        out.UInt32(m.idTo);
        out.UInt32(m.playerId);
        out.Zeros(12);  // group, create offset, password offset
        return kDeletePlayer;
    }
    uint16_t operator()(const Ping& m) {
        out.UInt32(m.idFrom);
        out.UInt32(m.tickCount);
        return m.reply ? kPingReply : kPing;
    }
    uint16_t operator()(const YouAreDead&) { return kYouAreDead; }
    uint16_t operator()(const SessionDescChanged& m) {
        out.UInt32(m.idTo);
        out.UInt32(20 + kDescSize);
        out.UInt32(0);
        WriteDesc(out, m.desc);
        WriteWide(out, m.name);
        return kSessionDescChanged;
    }
    uint16_t operator()(const PlayerNameChanged& m) {
        const uint32_t shortOffset = m.shortName.empty() ? 0 : 24;
        const uint32_t longOffset = m.longName.empty() ? 0 : 24 + NameSize(m.shortName);
        out.UInt32(m.idTo);
        out.UInt32(m.playerId);
        out.UInt32(shortOffset);
        out.UInt32(longOffset);
        if (!m.shortName.empty()) {
            WriteWide(out, m.shortName);
        }
        if (!m.longName.empty()) {
            WriteWide(out, m.longName);
        }
        return kPlayerNameChanged;
    }
    uint16_t operator()(const PlayerData&) { return 0; }
    uint16_t operator()(const Unhandled& m) { return m.command; }
};

void PatchSize(Bytes& bytes) {
    const uint32_t word = static_cast<uint32_t>(bytes.size()) | (kTokenSend << 20);
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(word >> (8 * i));
    }
}

// ---- reading -------------------------------------------------------------------------

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
    std::u16string ReadWideZ(size_t& at) const {
        std::u16string text;
        for (;;) {
            Need(at, 2, "a terminated text");
            const char16_t unit = static_cast<char16_t>(U16(at));
            at += 2;
            if (unit == 0) {
                return text;
            }
            text.push_back(unit);
        }
    }
    // A UTF-16 text of a given byte length; trailing NULs are dropped.
    std::u16string ReadWide(size_t at, size_t length) const {
        if (length % 2 != 0) {
            Fail("odd text length", at);
        }
        Need(at, length, "a text");
        std::u16string text;
        for (size_t i = 0; i < length; i += 2) {
            text.push_back(static_cast<char16_t>(U16(at + i)));
        }
        while (!text.empty() && text.back() == 0) {
            text.pop_back();
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

std::u16string ReadOptionalText(const Reader& in, uint32_t relative) {
    if (relative == 0) {
        return {};
    }
    size_t at = Absolute(relative);
    return in.ReadWideZ(at);
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
            if (passwordOffset != 0) {
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
        case kSuperEnumPlayersReply: {
            SuperEnumPlayersReply m;
            const uint64_t count = uint64_t{in.U32(28)} + in.U32(32) + in.U32(40);
            m.desc = ReadDesc(in, Absolute(in.U32(44)));
            m.name = ReadOptionalText(in, in.U32(48));
            m.password = ReadOptionalText(in, in.U32(52));
            size_t at = Absolute(in.U32(36));
            // Each entry takes at least 20 bytes: a lying count fails before any allocation.
            if (count * 20 > in.size()) {
                Fail("more players announced than the message can hold", 28);
            }
            for (uint64_t i = 0; i < count; ++i) {
                m.players.push_back(ReadSuperPacked(in, at));
            }
            return m;
        }
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

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t unit : text) {
        out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return out;
}

std::string DescribePlayer(const PlayerInfo& player) {
    std::string text = "player " + Hex(player.id) + " flags " + Hex(player.flags);
    if (!player.shortName.empty()) {
        text += " \"" + Narrow(player.shortName) + "\"";
    }
    if (player.streamAddress) {
        text += " stream port " + std::to_string(player.streamAddress->port);
    }
    if (player.datagramAddress) {
        text += " datagram port " + std::to_string(player.datagramAddress->port);
    }
    return text + " system " + Hex(player.systemPlayerId);
}

struct Describer {
    std::string operator()(const EnumSessions& m) const {
        return "ENUMSESSIONS flags " + Hex(m.flags);
    }
    std::string operator()(const EnumSessionsReply& m) const {
        return "ENUMSESSIONSREPLY \"" + Narrow(m.name) + "\" " +
               std::to_string(m.desc.currentPlayers) + "/" + std::to_string(m.desc.maxPlayers) +
               " flags " + Hex(m.desc.flags);
    }
    std::string operator()(const RequestPlayerId& m) const {
        return "REQUESTPLAYERID flags " + Hex(m.flags);
    }
    std::string operator()(const RequestPlayerReply& m) const {
        return "REQUESTPLAYERREPLY id " + Hex(m.id) + " result " + Hex(m.result);
    }
    std::string operator()(const AddForwardRequest& m) const {
        return "ADDFORWARDREQUEST " + DescribePlayer(m.player);
    }
    std::string operator()(const AddForward& m) const {
        return "ADDFORWARD to " + Hex(m.idTo) + " " + DescribePlayer(m.player);
    }
    std::string operator()(const AddForwardAck& m) const { return "ADDFORWARDACK " + Hex(m.id); }
    std::string operator()(const AddForwardReply& m) const {
        return "ADDFORWARDREPLY error " + Hex(m.error);
    }
    std::string operator()(const SuperEnumPlayersReply& m) const {
        std::string text = "SUPERENUMPLAYERSREPLY \"" + Narrow(m.name) + "\"";
        for (const PlayerInfo& player : m.players) {
            text += "; " + DescribePlayer(player);
        }
        return text;
    }
    std::string operator()(const CreatePlayer& m) const {
        return std::string(m.verify ? "CREATEPLAYERVERIFY " : "CREATEPLAYER ") +
               DescribePlayer(m.player);
    }
    std::string operator()(const DeletePlayer& m) const {
        return "DELETEPLAYER " + Hex(m.playerId);
    }
    std::string operator()(const Ping& m) const {
        return std::string(m.reply ? "PINGREPLY" : "PING") + " from " + Hex(m.idFrom);
    }
    std::string operator()(const YouAreDead&) const { return "YOUAREDEAD"; }
    std::string operator()(const SessionDescChanged& m) const {
        return "SESSIONDESCCHANGED \"" + Narrow(m.name) + "\"";
    }
    std::string operator()(const PlayerNameChanged& m) const {
        return "PLAYERNAMECHANGED " + Hex(m.playerId) + " \"" + Narrow(m.shortName) + "\"";
    }
    std::string operator()(const PlayerData& m) const {
        const auto parts = SplitPlayerData(m);
        if (!parts) {
            return "player data, " + std::to_string(m.body.size()) + " bytes";
        }
        return "player data " + Hex(parts->idFrom) + " -> " + Hex(parts->idTo) + ", " +
               std::to_string(parts->payload.size()) + " bytes";
    }
    std::string operator()(const Unhandled& m) const {
        return "command " + Hex(m.command) + " (ignored)";
    }
};

}  // namespace

Bytes Encode(const Message& message, SockAddr sender, uint16_t version) {
    ByteWriter out;
    const bool isData = std::holds_alternative<PlayerData>(message);
    if (isData) {
        out.UInt32(0);
        WriteSockAddr(out, sender);
        out.Bytes(std::get<PlayerData>(message).body);
    } else {
        WriteHeader(out, sender, 0, version);
        const uint16_t command = std::visit(BodyWriter{out}, message);
        out.PatchInt32(24, static_cast<int32_t>(command | (uint32_t{version} << 16)));
    }
    Bytes bytes = out.Take();
    PatchSize(bytes);
    return bytes;
}

Bytes EncodePlayerData(SockAddr sender, uint32_t idFrom, uint32_t idTo, const Bytes& payload) {
    ByteWriter body;
    body.UInt32(idFrom);
    body.UInt32(idTo);
    body.Bytes(payload);
    return Encode(PlayerData{body.Take()}, sender, 0);
}

std::optional<size_t> FrameSize(uint32_t firstWord) {
    const size_t size = firstWord & 0xFFFFF;
    if (!AcceptedToken(firstWord >> 20) || size < kPrefixSize || size > kMaxMessageSize) {
        return std::nullopt;
    }
    return size;
}

DecodeResult Decode(const uint8_t* data, size_t size) {
    DecodeResult result;
    try {
        const Reader in(data, size);
        in.Need(0, kPrefixSize, "the message prefix");
        const auto frameSize = FrameSize(in.U32(0));
        if (!frameSize) {
            Fail("bad size word " + Hex(in.U32(0)), 0);
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

std::string Describe(const Decoded& decoded) {
    std::string text = std::visit(Describer{}, decoded.message);
    if (decoded.command != 0) {
        text += " (dialect " + std::to_string(decoded.version) + ")";
    }
    return text;
}

uint16_t ClampVersion(uint32_t version) {
    return static_cast<uint16_t>(std::clamp<uint32_t>(version, kOldestVersion, kNewestVersion));
}

}  // namespace scopewatch::directplay
