// Writing the messages of DirectPlayCodec.h by the names of DirectPlayLayout.h, through the
// one byte writer: each fixed part field by field at its offset, then what follows it.
#include <algorithm>

#include "directplay/DirectPlayCodec.h"
#include "directplay/DirectPlayLayout.h"
#include "shared/ByteWriter.h"

namespace scopewatch::directplay {
namespace {

// The byte image of a Windows sockaddr_in: family little-endian, port and address in
// network order (port 2300 is 08 fc), as real joiners send it and Wireshark reads it.
Bytes SockAddrBytes(const SockAddr& address) {
    ByteWriter out;
    out.UInt16At(sock_addr::kFamily, kInternetFamily);
    out.NetUInt16At(sock_addr::kPort, address.port);
    out.NetUInt32At(sock_addr::kAddress, address.address);
    out.ZerosTo(sock_addr::kSize);
    return out.Take();
}

// UTF-16LE with its terminating NUL. Name lengths we send count the terminator; readers
// end a name at its first NUL, so a peer counting either way is understood.
void WriteWide(ByteWriter& out, const std::u16string& text) {
    for (char16_t unit : text) {
        out.UInt16(static_cast<uint16_t>(unit));
    }
    out.UInt16(0);
}

uint32_t WideSize(const std::u16string& text) {
    return static_cast<uint32_t>(sizeof(char16_t) * (text.size() + 1));
}

uint32_t NameSize(const std::u16string& text) {
    return text.empty() ? 0 : WideSize(text);
}

void WriteName(ByteWriter& out, const std::u16string& name) {
    if (!name.empty()) {
        WriteWide(out, name);
    }
}

Bytes DescBytes(const SessionDesc& desc) {
    namespace field = session_desc;
    ByteWriter out;
    out.UInt32At(field::kSizeField, field::kSize);
    out.UInt32At(field::kFlags, desc.flags);
    out.BytesAt(field::kInstance, desc.instance);
    out.BytesAt(field::kApplication, desc.application);
    out.UInt32At(field::kMaxPlayers, desc.maxPlayers);
    out.UInt32At(field::kCurrentPlayers, desc.currentPlayers);
    // The name and password pointers mean nothing on the wire: they stay 0.
    out.UInt32At(field::kReserved1, desc.reserved1);
    out.UInt32At(field::kReserved2, desc.reserved2);
    out.ZerosTo(field::kUser);
    for (uint32_t word : desc.user) {
        out.UInt32(word);
    }
    return out.Take();
}

// A player's service provider data: its machine's stream and datagram addresses.
Bytes SpDataBytes(const PlayerInfo& player) {
    ByteWriter out;
    out.BytesAt(sp_data::kStream, SockAddrBytes(*player.streamAddress));
    out.BytesAt(sp_data::kDatagram, SockAddrBytes(player.datagramAddress.value_or(SockAddr{})));
    return out.Take();
}

uint32_t PackedSize(const PlayerInfo& player) {
    const bool hasSp = player.streamAddress.has_value();
    return packed_player::kFixedSize + NameSize(player.shortName) + NameSize(player.longName) +
           (hasSp ? sp_data::kSize : 0) + static_cast<uint32_t>(player.playerData.size());
}

Bytes PackedBytes(const PlayerInfo& player) {
    namespace field = packed_player;
    const bool hasSp = player.streamAddress.has_value();
    ByteWriter out;
    out.UInt32At(field::kSizeField, PackedSize(player));
    out.UInt32At(field::kFlags, player.flags);
    out.UInt32At(field::kId, player.id);
    out.UInt32At(field::kShortNameLength, NameSize(player.shortName));
    out.UInt32At(field::kLongNameLength, NameSize(player.longName));
    out.UInt32At(field::kSpDataSize, hasSp ? sp_data::kSize : 0);
    out.UInt32At(field::kPlayerDataSize, static_cast<uint32_t>(player.playerData.size()));
    // The member count is for groups only: it stays 0.
    out.UInt32At(field::kSystemPlayerId, player.systemPlayerId);
    out.UInt32At(field::kFixedSizeField, field::kFixedSize);
    out.UInt32At(field::kVersion, player.version);
    out.UInt32At(field::kParentId, player.parentId);
    out.ZerosTo(field::kFixedSize);
    WriteName(out, player.shortName);
    WriteName(out, player.longName);
    if (hasSp) {
        out.Bytes(SpDataBytes(player));
    }
    out.Bytes(player.playerData);
    return out.Take();
}

// A length or count of the width its two-bit code gives.
void WriteCodedLength(ByteWriter& out, uint32_t code, size_t length) {
    switch (super_packed::kLengthWidths[code]) {
        case sizeof(uint8_t):
            out.UInt8(static_cast<uint8_t>(length));
            break;
        case sizeof(uint16_t):
            out.UInt16(static_cast<uint16_t>(length));
            break;
        case sizeof(uint32_t):
            out.UInt32(static_cast<uint32_t>(length));
            break;
        default:
            break;
    }
}

// Super-packed entries carry names only when present, the SP data with a one-byte length,
// and player data with a one-, two- or four-byte length, as its size needs.
void WriteSuperPacked(ByteWriter& out, const PlayerInfo& player) {
    namespace field = super_packed;
    const bool isSystem = (player.flags & player_flags::kSystemPlayer) != 0;
    const uint32_t spCode = player.streamAddress ? field::LengthCode(sp_data::kSize) : 0;
    const uint32_t dataCode = field::LengthCode(player.playerData.size());
    uint32_t mask = 0;
    mask |= player.shortName.empty() ? 0 : field::kShortNameBit;
    mask |= player.longName.empty() ? 0 : field::kLongNameBit;
    mask |= spCode << field::kSpDataLengthShift;
    mask |= dataCode << field::kPlayerDataLengthShift;
    mask |= player.parentId != 0 ? field::kParentBit : 0;
    ByteWriter entry;
    entry.UInt32At(field::kSizeField, field::kSize);
    entry.UInt32At(field::kFlags, player.flags);
    entry.UInt32At(field::kId, player.id);
    entry.UInt32At(field::kInfoMask, mask);
    entry.UInt32At(field::kVersionOrSystemPlayer,
                   isSystem ? player.version : player.systemPlayerId);
    entry.ZerosTo(field::kFixedSize);
    WriteName(entry, player.shortName);
    WriteName(entry, player.longName);
    WriteCodedLength(entry, dataCode, player.playerData.size());
    entry.Bytes(player.playerData);
    if (player.streamAddress) {
        WriteCodedLength(entry, spCode, sp_data::kSize);
        entry.Bytes(SpDataBytes(player));
    }
    if (player.parentId != 0) {
        entry.UInt32(player.parentId);
    }
    out.Bytes(entry.Take());
}

void WritePlayerMessage(ByteWriter& out, uint32_t idTo, uint32_t playerId, const PlayerInfo& player,
                        uint32_t passwordOffset) {
    namespace field = player_message;
    out.UInt32At(field::kIdTo, idTo);
    out.UInt32At(field::kPlayerId, playerId);
    // No group: the group id stays 0.
    out.UInt32At(field::kCreateOffset, field::kPacked);
    out.UInt32At(field::kPasswordOffset, passwordOffset);
    out.ZerosTo(field::kPacked);
    out.Bytes(PackedBytes(player));
}

// Writes a message's own fields after the header (offsets from byte 20) and gives its command.
struct BodyWriter {
    ByteWriter& out;

    uint16_t operator()(const EnumSessions& m) {
        namespace field = enum_sessions;
        out.BytesAt(field::kApplication, m.application);
        out.UInt32At(field::kPasswordOffset, m.password.empty() ? 0 : field::kPassword);
        out.UInt32At(field::kFlags, m.flags);
        if (!m.password.empty()) {
            out.ZerosTo(field::kPassword);
            WriteWide(out, m.password);
        }
        return kEnumSessions;
    }
    uint16_t operator()(const EnumSessionsReply& m) {
        namespace field = enum_sessions_reply;
        out.BytesAt(field::kDesc, DescBytes(m.desc));
        out.UInt32At(field::kNameOffset, field::kName);
        out.ZerosTo(field::kName);
        WriteWide(out, m.name);
        return kEnumSessionsReply;
    }
    uint16_t operator()(const RequestPlayerId& m) {
        out.UInt32At(request_player_id::kFlags, m.flags);
        return kRequestPlayerId;
    }
    uint16_t operator()(const RequestPlayerReply& m) {
        // Unsecured: an all-zero security description and no providers.
        namespace field = request_player_reply;
        out.UInt32At(field::kId, m.id);
        out.UInt32At(field::kResult, m.result);
        return kRequestPlayerReply;
    }
    uint16_t operator()(const AddForwardRequest& m) {
        WritePlayerMessage(out, m.idTo, m.playerId, m.player,
                           player_message::kPacked + PackedSize(m.player));
        WriteWide(out, m.password);
        out.UInt32(m.tickCount);
        return kAddForwardRequest;
    }
    uint16_t operator()(const AddForward& m) {
        WritePlayerMessage(out, m.idTo, m.playerId, m.player, 0);
        return kAddForward;
    }
    uint16_t operator()(const AddForwardAck& m) {
        out.UInt32At(add_forward_ack::kId, m.id);
        return kAddForwardAck;
    }
    uint16_t operator()(const AddForwardReply& m) {
        out.UInt32At(add_forward_reply::kError, m.error);
        return kAddForwardReply;
    }
    uint16_t operator()(const SuperEnumPlayersReply& m) {
        namespace field = super_enum_players_reply;
        const uint32_t nameOffset = field::kDesc + session_desc::kSize;
        const uint32_t passwordOffset = m.password.empty() ? 0 : nameOffset + WideSize(m.name);
        const uint32_t packedOffset =
            nameOffset + WideSize(m.name) + (m.password.empty() ? 0 : WideSize(m.password));
        // No groups and no shortcuts: their counts stay 0.
        out.UInt32At(field::kPlayerCount, static_cast<uint32_t>(m.players.size()));
        out.UInt32At(field::kPackedOffset, packedOffset);
        out.UInt32At(field::kDescOffset, field::kDesc);
        out.UInt32At(field::kNameOffset, nameOffset);
        out.UInt32At(field::kPasswordOffset, passwordOffset);
        out.BytesAt(field::kDesc, DescBytes(m.desc));
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
        // Reserved after the player: an empty text and a word.
        out.Zeros(player_message::kCreateTrailerSize);
        return m.verify ? kCreatePlayerVerify : kCreatePlayer;
    }
    uint16_t operator()(const DeletePlayer& m) {
        // No group, no packed player, no password: their fields stay 0.
        out.UInt32At(player_message::kIdTo, m.idTo);
        out.UInt32At(player_message::kPlayerId, m.playerId);
        out.ZerosTo(player_message::kPacked);
        return kDeletePlayer;
    }
    uint16_t operator()(const Ping& m) {
        out.UInt32At(ping::kIdFrom, m.idFrom);
        out.UInt32At(ping::kTickCount, m.tickCount);
        return m.reply ? kPingReply : kPing;
    }
    uint16_t operator()(const YouAreDead&) { return kYouAreDead; }
    uint16_t operator()(const SessionDescChanged& m) {
        namespace field = session_desc_changed;
        out.UInt32At(field::kIdTo, m.idTo);
        out.UInt32At(field::kNameOffset, field::kDesc + session_desc::kSize);
        out.BytesAt(field::kDesc, DescBytes(m.desc));
        WriteWide(out, m.name);
        return kSessionDescChanged;
    }
    uint16_t operator()(const PlayerNameChanged& m) {
        namespace field = player_name_changed;
        out.UInt32At(field::kIdTo, m.idTo);
        out.UInt32At(field::kPlayerId, m.playerId);
        out.UInt32At(field::kShortNameOffset, m.shortName.empty() ? 0 : field::kNames);
        out.UInt32At(field::kLongNameOffset,
                     m.longName.empty() ? 0 : field::kNames + NameSize(m.shortName));
        out.ZerosTo(field::kNames);
        WriteName(out, m.shortName);
        WriteName(out, m.longName);
        return kPlayerNameChanged;
    }
    uint16_t operator()(const Ask4Multicast& m) {
        namespace field = ask4multicast;
        out.UInt32At(field::kGroupTo, m.groupTo);
        out.UInt32At(field::kPlayerFrom, m.playerFrom);
        out.UInt32At(field::kMessageOffset, field::kMessage);
        out.ZerosTo(field::kMessage);
        out.Bytes(m.inner);
        return m.guaranteed ? kAsk4MulticastGuaranteed : kAsk4Multicast;
    }
    uint16_t operator()(const PlayerData&) { return 0; }
    uint16_t operator()(const Unhandled& m) { return m.command; }
};

// A system message from byte 20 on: the header, then the message's own fields.
Bytes SystemMessage(const Message& message, uint16_t version) {
    ByteWriter out;
    out.ZerosTo(header::kSize);
    const uint16_t command = std::visit(BodyWriter{out}, message);
    out.UInt32At(header::kSignature, kSignature);
    out.UInt16At(header::kCommand, command);
    out.UInt16At(header::kVersion, version);
    return out.Take();
}

// The prefix (size word and our listening address), then the message from byte 20 on.
Bytes Framed(SockAddr sender, const Bytes& inner) {
    const size_t size = kPrefixSize + inner.size();
    if (size > kLargestFrame) {
        throw EncodeError("A message of " + std::to_string(size) +
                          " bytes is larger than DirectPlay's size field can hold (" +
                          std::to_string(kLargestFrame) + ")");
    }
    ByteWriter out;
    out.UInt32At(prefix::kSizeWord, SizeWord(size, kTokenSend));
    out.BytesAt(prefix::kSender, SockAddrBytes(sender));
    out.ZerosTo(kPrefixSize);
    out.Bytes(inner);
    return out.Take();
}

}  // namespace

Bytes Encode(const Message& message, SockAddr sender, uint16_t version) {
    if (const auto* data = std::get_if<PlayerData>(&message)) {
        return Framed(sender, data->body);
    }
    return Framed(sender, SystemMessage(message, version));
}

Bytes EncodePlayerData(SockAddr sender, uint32_t idFrom, uint32_t idTo, const Bytes& payload) {
    return Framed(sender, PlayerDataBody(idFrom, idTo, payload));
}

Bytes PlayerDataBody(uint32_t idFrom, uint32_t idTo, const Bytes& payload) {
    ByteWriter body;
    body.UInt32At(player_data::kIdFrom, idFrom);
    body.UInt32At(player_data::kIdTo, idTo);
    body.ZerosTo(player_data::kPayload);
    body.Bytes(payload);
    return body.Take();
}

Bytes FramedForm(const Bytes& inner, SockAddr sender) {
    return Framed(sender, inner);
}

Bytes InnerForm(const Bytes& framed) {
    return Bytes(framed.begin() + static_cast<long>(std::min(framed.size(), kPrefixSize)),
                 framed.end());
}

}  // namespace scopewatch::directplay
