// Reading the messages of DirectPlayCodec.h by the names of DirectPlayLayout.h, through the
// one byte reader. Every read is bounds-checked; the first fault ends the message with an
// error naming the byte where it was found.
#include <algorithm>
#include <cstdio>

#include "directplay/DirectPlayCodec.h"
#include "directplay/DirectPlayLayout.h"
#include "shared/ByteReader.h"

namespace scopewatch::directplay {
namespace {

std::string HexWord(uint32_t value) {
    char text[sizeof "0x00000000"];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

Guid ReadGuid(const ByteReader& in, size_t at) {
    Guid guid{};
    in.CopyAt(at, guid, "a GUID");
    return guid;
}

SockAddr ReadSockAddr(const ByteReader& in, size_t at) {
    const ByteReader address = in.Part(at, sock_addr::kSize, "an address");
    return SockAddr{address.NetUInt16At(sock_addr::kPort),
                    address.NetUInt32At(sock_addr::kAddress)};
}

// A NUL-terminated UTF-16 text from the position, which moves past the terminator. A peer may
// leave the terminator out: the text then ends with the message, and an odd last byte is no
// part of it.
std::u16string ReadWideZ(ByteReader& in) {
    std::u16string text;
    while (in.remaining() >= sizeof(char16_t)) {
        const auto unit = static_cast<char16_t>(in.UInt16());
        if (unit == 0) {
            return text;
        }
        text.push_back(unit);
    }
    in.Seek(in.size());
    return text;
}

// A UTF-16 text in the next `length` bytes: the text ends at its first NUL, as every name does
// (a name holding a NUL could not be handed on in a name table).
std::u16string ReadWide(ByteReader& in, size_t length) {
    if (length % sizeof(char16_t) != 0) {
        in.Refuse(in.position(), "odd text length");
    }
    ByteReader field = in.NextPart(length, "a text");
    std::u16string text;
    while (!field.AtEnd()) {
        const auto unit = static_cast<char16_t>(field.UInt16());
        if (unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

// An optional text is absent when its offset is 0, and also when the offset lies at or past
// the end of the message: a peer may leave a text out by ending the message where it
// would start.
bool HasText(const ByteReader& message, uint32_t offset) {
    return offset != 0 && offset < message.size();
}

std::u16string ReadOptionalText(ByteReader message, uint32_t offset) {
    if (!HasText(message, offset)) {
        return {};
    }
    message.Seek(offset);
    return ReadWideZ(message);
}

SessionDesc ReadDesc(const ByteReader& message, size_t at) {
    namespace field = session_desc;
    ByteReader in = message.Part(at, field::kSize, "a session description");
    if (in.UInt32At(field::kSizeField) < field::kSize) {
        in.Refuse(field::kSizeField,
                  "session description size below " + std::to_string(field::kSize));
    }
    SessionDesc desc;
    desc.flags = in.UInt32At(field::kFlags);
    desc.instance = ReadGuid(in, field::kInstance);
    desc.application = ReadGuid(in, field::kApplication);
    desc.maxPlayers = in.UInt32At(field::kMaxPlayers);
    desc.currentPlayers = in.UInt32At(field::kCurrentPlayers);
    desc.reserved1 = in.UInt32At(field::kReserved1);
    desc.reserved2 = in.UInt32At(field::kReserved2);
    in.Seek(field::kUser);
    for (uint32_t& word : desc.user) {
        word = in.UInt32();
    }
    return desc;
}

void ReadAddresses(const ByteReader& spData, PlayerInfo& player) {
    player.streamAddress = ReadSockAddr(spData, sp_data::kStream);
    player.datagramAddress = ReadSockAddr(spData, sp_data::kDatagram);
}

// The fixed part is read up to its own FixedSize, so an older layout without ParentID works.
PlayerInfo ReadPacked(const ByteReader& message, size_t at) {
    namespace field = packed_player;
    const ByteReader fixed = message.Part(at, field::kOldestFixedSize, "a packed player");
    const uint32_t size = fixed.UInt32At(field::kSizeField);
    const uint32_t fixedSize = fixed.UInt32At(field::kFixedSizeField);
    if (fixedSize < field::kOldestFixedSize || fixedSize > size) {
        fixed.Refuse(field::kFixedSizeField, "packed player with a bad fixed size");
    }
    ByteReader in = message.Part(at, size, "a packed player");
    PlayerInfo player;
    player.flags = in.UInt32At(field::kFlags);
    player.id = in.UInt32At(field::kId);
    const uint64_t shortLength = in.UInt32At(field::kShortNameLength);
    const uint64_t longLength = in.UInt32At(field::kLongNameLength);
    const uint64_t spSize = in.UInt32At(field::kSpDataSize);
    const uint64_t dataSize = in.UInt32At(field::kPlayerDataSize);
    const uint64_t membersSize = kIdSize * in.UInt32At(field::kMemberCount);
    player.systemPlayerId = in.UInt32At(field::kSystemPlayerId);
    player.version = in.UInt32At(field::kVersion);
    player.parentId = fixedSize >= field::kFixedSize ? in.UInt32At(field::kParentId) : 0;
    if (fixedSize + shortLength + longLength + spSize + dataSize + membersSize > size) {
        in.Refuse(field::kSizeField, "packed player lengths exceed its size");
    }
    in.Seek(fixedSize);
    player.shortName = ReadWide(in, shortLength);
    player.longName = ReadWide(in, longLength);
    const ByteReader spData = in.NextPart(spSize);
    if (spSize >= sp_data::kSize) {
        ReadAddresses(spData, player);
    }
    player.playerData = in.Bytes(dataSize);
    return player;
}

// A length or count of the width its two-bit code gives.
size_t ReadCodedLength(ByteReader& in, uint32_t code) {
    switch (super_packed::kLengthWidths[code & super_packed::kLengthCodeMask]) {
        case sizeof(uint8_t):
            return in.UInt8();
        case sizeof(uint16_t):
            return in.UInt16();
        case sizeof(uint32_t):
            return in.UInt32();
        default:
            return 0;
    }
}

// The fields a super-packed player's mask announces, from the reader's position on.
void ReadAnnouncedFields(ByteReader& in, uint32_t mask, PlayerInfo& player) {
    namespace field = super_packed;
    if ((mask & field::kShortNameBit) != 0) {
        player.shortName = ReadWideZ(in);
    }
    if ((mask & field::kLongNameBit) != 0) {
        player.longName = ReadWideZ(in);
    }
    const size_t dataSize = ReadCodedLength(in, mask >> field::kPlayerDataLengthShift);
    player.playerData = in.Bytes(dataSize);
    const size_t spSize = ReadCodedLength(in, mask >> field::kSpDataLengthShift);
    const ByteReader spData = in.NextPart(spSize, "service provider data");
    if (spSize >= sp_data::kSize) {
        ReadAddresses(spData, player);
    }
    in.Skip(kIdSize * ReadCodedLength(in, mask >> field::kMemberCountShift), "group members");
    if ((mask & field::kParentBit) != 0) {
        player.parentId = in.UInt32();
    }
    in.Skip(kIdSize * ReadCodedLength(in, mask >> field::kShortcutCountShift), "shortcuts");
}

// The entry at the offset; `at` moves on to the next one.
PlayerInfo ReadSuperPacked(const ByteReader& message, size_t& at) {
    namespace field = super_packed;
    const ByteReader fixed = message.Part(at, field::kFixedSize, "a super-packed player");
    const uint32_t size = fixed.UInt32At(field::kSizeField);
    if (size < field::kSize) {
        fixed.Refuse(field::kSizeField,
                     "super-packed player size below " + std::to_string(field::kSize));
    }
    PlayerInfo player;
    player.flags = fixed.UInt32At(field::kFlags);
    player.id = fixed.UInt32At(field::kId);
    const uint32_t mask = fixed.UInt32At(field::kInfoMask);
    const uint32_t versionOrSystem = fixed.UInt32At(field::kVersionOrSystemPlayer);
    if ((player.flags & player_flags::kSystemPlayer) != 0) {
        player.version = versionOrSystem;
        player.systemPlayerId = player.id;
    } else {
        player.systemPlayerId = versionOrSystem;
    }
    // The announced fields follow what the size covers and the word after it.
    ByteReader in = message;
    in.Seek(at + size + (field::kFixedSize - field::kSize), "a super-packed player's fields");
    ReadAnnouncedFields(in, mask, player);
    at = in.position();
    return player;
}

// The entries list the players, then the groups, then the shortcuts. Every entry is read,
// so a broken one refuses the message, but only the players are kept.
SuperEnumPlayersReply ReadNameTable(const ByteReader& in) {
    namespace field = super_enum_players_reply;
    SuperEnumPlayersReply m;
    const uint32_t playerCount = in.UInt32At(field::kPlayerCount);
    const uint64_t count = uint64_t{playerCount} + in.UInt32At(field::kGroupCount) +
                           in.UInt32At(field::kShortcutCount);
    m.desc = ReadDesc(in, in.UInt32At(field::kDescOffset));
    m.name = ReadOptionalText(in, in.UInt32At(field::kNameOffset));
    m.password = ReadOptionalText(in, in.UInt32At(field::kPasswordOffset));
    size_t at = in.UInt32At(field::kPackedOffset);
    // Each entry takes at least its fixed part: a lying count fails before any allocation.
    if (count * super_packed::kFixedSize > in.size()) {
        in.Refuse(field::kPlayerCount, "more entries announced than the message can hold");
    }
    for (uint64_t i = 0; i < count; ++i) {
        PlayerInfo entry = ReadSuperPacked(in, at);
        if (i < playerCount) {
            m.players.push_back(std::move(entry));
        }
    }
    return m;
}

PlayerInfo ReadCreatedPlayer(const ByteReader& in) {
    const uint32_t createOffset = in.UInt32At(player_message::kCreateOffset);
    if (createOffset == 0) {
        in.Refuse(player_message::kCreateOffset, "player message without a packed player");
    }
    return ReadPacked(in, createOffset);
}

EnumSessions ReadEnumSessions(const ByteReader& in) {
    namespace field = enum_sessions;
    EnumSessions m;
    m.application = ReadGuid(in, field::kApplication);
    m.flags = in.UInt32At(field::kFlags);
    m.password = ReadOptionalText(in, in.UInt32At(field::kPasswordOffset));
    return m;
}

EnumSessionsReply ReadEnumSessionsReply(const ByteReader& in) {
    namespace field = enum_sessions_reply;
    EnumSessionsReply m;
    m.desc = ReadDesc(in, field::kDesc);
    m.name = ReadOptionalText(in, in.UInt32At(field::kNameOffset));
    return m;
}

// ADDFORWARDREQUEST: the password and the tick count after it may be left out.
AddForwardRequest ReadAddForwardRequest(const ByteReader& in) {
    namespace field = player_message;
    AddForwardRequest m;
    m.idTo = in.UInt32At(field::kIdTo);
    m.playerId = in.UInt32At(field::kPlayerId);
    m.player = ReadCreatedPlayer(in);
    const uint32_t passwordOffset = in.UInt32At(field::kPasswordOffset);
    if (HasText(in, passwordOffset)) {
        ByteReader rest = in;
        rest.Seek(passwordOffset);
        m.password = ReadWideZ(rest);
        m.tickCount = rest.remaining() >= sizeof m.tickCount ? rest.UInt32() : 0;
    }
    return m;
}

// CREATEPLAYER and CREATEPLAYERVERIFY, and ADDFORWARD in the same layout.
template <typename Created>
Created ReadPlayerMessage(const ByteReader& in) {
    Created m;
    m.idTo = in.UInt32At(player_message::kIdTo);
    m.playerId = in.UInt32At(player_message::kPlayerId);
    m.player = ReadCreatedPlayer(in);
    return m;
}

SessionDescChanged ReadSessionDescChanged(const ByteReader& in) {
    namespace field = session_desc_changed;
    SessionDescChanged m;
    m.idTo = in.UInt32At(field::kIdTo);
    m.desc = ReadDesc(in, field::kDesc);
    m.name = ReadOptionalText(in, in.UInt32At(field::kNameOffset));
    return m;
}

PlayerNameChanged ReadPlayerNameChanged(const ByteReader& in) {
    namespace field = player_name_changed;
    PlayerNameChanged m;
    m.idTo = in.UInt32At(field::kIdTo);
    m.playerId = in.UInt32At(field::kPlayerId);
    m.shortName = ReadOptionalText(in, in.UInt32At(field::kShortNameOffset));
    m.longName = ReadOptionalText(in, in.UInt32At(field::kLongNameOffset));
    return m;
}

Ask4Multicast ReadAsk4Multicast(const ByteReader& in, bool guaranteed) {
    namespace field = ask4multicast;
    Ask4Multicast m;
    m.groupTo = in.UInt32At(field::kGroupTo);
    m.playerFrom = in.UInt32At(field::kPlayerFrom);
    ByteReader inner = in;
    inner.Seek(in.UInt32At(field::kMessageOffset), "the message to relay");
    m.inner = inner.Rest();
    m.guaranteed = guaranteed;
    return m;
}

PlayerData ReadWrappedPlayerData(const ByteReader& in) {
    ByteReader wrapped = in.From(player_wrapper::kPlayerData);
    wrapped.Require(0, player_data::kPayload, "a wrapped player message");
    return PlayerData{wrapped.Rest()};
}

// The message's own fields, read from the reader of the message from byte 20 on.
Message ReadBody(const ByteReader& in, uint16_t command) {
    switch (command) {
        case kEnumSessions:
            return ReadEnumSessions(in);
        case kEnumSessionsReply:
            return ReadEnumSessionsReply(in);
        case kRequestPlayerId:
            return RequestPlayerId{in.UInt32At(request_player_id::kFlags)};
        case kRequestPlayerReply:
            return RequestPlayerReply{in.UInt32At(request_player_reply::kId),
                                      in.UInt32At(request_player_reply::kResult)};
        case kAddForwardRequest:
            return ReadAddForwardRequest(in);
        case kAddForward:
            return ReadPlayerMessage<AddForward>(in);
        case kAddForwardAck:
            return AddForwardAck{in.UInt32At(add_forward_ack::kId)};
        case kAddForwardReply:
            return AddForwardReply{in.UInt32At(add_forward_reply::kError)};
        case kSuperEnumPlayersReply:
            return ReadNameTable(in);
        case kCreatePlayer:
        case kCreatePlayerVerify: {
            CreatePlayer m = ReadPlayerMessage<CreatePlayer>(in);
            m.verify = command == kCreatePlayerVerify;
            return m;
        }
        case kDeletePlayer:
            return DeletePlayer{in.UInt32At(player_message::kIdTo),
                                in.UInt32At(player_message::kPlayerId)};
        case kPing:
        case kPingReply:
            return Ping{in.UInt32At(ping::kIdFrom), in.UInt32At(ping::kTickCount),
                        command == kPingReply};
        case kYouAreDead:
            return YouAreDead{};
        case kSessionDescChanged:
            return ReadSessionDescChanged(in);
        case kPlayerNameChanged:
            return ReadPlayerNameChanged(in);
        case kAsk4Multicast:
        case kAsk4MulticastGuaranteed:
            return ReadAsk4Multicast(in, command == kAsk4MulticastGuaranteed);
        case kPlayerWrapper:
            return ReadWrappedPlayerData(in);
        default:
            return Unhandled{command};
    }
}

bool AcceptedToken(uint32_t token) {
    return token == kTokenSend || token == kTokenForwarded || token == kTokenFromServer;
}

Decoded ReadMessage(const ByteReader& framed) {
    framed.Require(prefix::kSizeWord, kPrefixSize, "the message prefix");
    const uint32_t word = framed.UInt32At(prefix::kSizeWord);
    const auto frameSize = FrameSize(word);
    if (!frameSize) {
        framed.Refuse(prefix::kSizeWord, "bad size word " + HexWord(word));
    }
    if (*frameSize != framed.size()) {
        framed.Refuse(prefix::kSizeWord, "size word says " + std::to_string(*frameSize) +
                                             " bytes, message has " +
                                             std::to_string(framed.size()));
    }
    Decoded decoded;
    decoded.sender = ReadSockAddr(framed, prefix::kSender);
    ByteReader in = framed.From(kPrefixSize);
    if (!in.Contains(header::kSignature, sizeof kSignature) ||
        in.UInt32At(header::kSignature) != kSignature) {
        decoded.message = PlayerData{in.Rest()};
        return decoded;
    }
    in.Require(header::kSignature, header::kSize, "the header");
    decoded.command = in.UInt16At(header::kCommand);
    decoded.version = in.UInt16At(header::kVersion);
    decoded.message = ReadBody(in, decoded.command);
    return decoded;
}

}  // namespace

std::optional<size_t> FrameSize(uint32_t firstWord) {
    const size_t size = SizeInWord(firstWord);
    if (!AcceptedToken(TokenInWord(firstWord)) || size < kPrefixSize || size > kMaxMessageSize) {
        return std::nullopt;
    }
    return size;
}

bool IsLargeFrame(uint32_t firstWord) {
    return AcceptedToken(TokenInWord(firstWord)) && SizeInWord(firstWord) > kMaxMessageSize;
}

Outcome<Decoded> Decode(const uint8_t* data, size_t size) {
    try {
        return Outcome<Decoded>::Done(ReadMessage(ByteReader(data, size)));
    } catch (const MalformedBytes& malformed) {
        return Outcome<Decoded>::Failed(malformed.what());
    }
}

Outcome<Decoded> DecodeDatagram(const uint8_t* data, size_t size) {
    const ByteReader datagram(data, size);
    if (datagram.Contains(prefix::kSizeWord, sizeof(uint32_t))) {
        const auto frameSize = FrameSize(datagram.UInt32At(prefix::kSizeWord));
        if (frameSize && *frameSize < size) {
            return Decode(data, *frameSize);
        }
    }
    return Decode(data, size);
}

std::optional<PlayerDataParts> SplitPlayerData(const PlayerData& data) {
    ByteReader in(data.body);
    if (!in.Contains(0, player_data::kPayload)) {
        return std::nullopt;
    }
    PlayerDataParts parts;
    parts.idFrom = in.UInt32At(player_data::kIdFrom);
    parts.idTo = in.UInt32At(player_data::kIdTo);
    in.Seek(player_data::kPayload);
    parts.payload = in.Rest();
    return parts;
}

std::optional<uint32_t> PlayerDataSender(const PlayerData& data) {
    const ByteReader in(data.body);
    if (!in.Contains(0, player_data::kPayload)) {
        return std::nullopt;
    }
    return in.UInt32At(player_data::kIdFrom);
}

uint16_t ClampVersion(uint32_t version) {
    return static_cast<uint16_t>(std::clamp<uint32_t>(version, kOldestVersion, kNewestVersion));
}

}  // namespace scopewatch::directplay
