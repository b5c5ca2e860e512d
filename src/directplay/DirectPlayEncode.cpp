// Writing the messages of DirectPlayCodec.h.
#include "directplay/DirectPlayCodec.h"
#include "directplay/DirectPlayLayout.h"
#include "shared/ByteWriter.h"

namespace scopewatch::directplay {
namespace {

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
// end a name at its first NUL, so a peer counting either way is understood.
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
// and player data with a one-, two- or four-byte length.
void WriteSuperPacked(ByteWriter& out, const PlayerInfo& player) {
    const bool isSystem = (player.flags & player_flags::kSystemPlayer) != 0;
    const bool hasSp = player.streamAddress.has_value();
    const size_t dataSize = player.playerData.size();
    // The length of the player data takes one, two or four bytes, as its size needs.
    const uint32_t dataCode =
        dataSize == 0 ? 0 : (dataSize <= 0xFF ? 1 : (dataSize <= 0xFFFF ? 2 : 3));
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
    } else if (dataCode == 3) {
        out.UInt32(static_cast<uint32_t>(dataSize));
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
    uint16_t operator()(const Ask4Multicast& m) {
        out.UInt32(m.groupTo);
        out.UInt32(m.playerFrom);
        out.UInt32(20);  // the inner message follows these three fields
        out.Bytes(m.inner);
        return m.guaranteed ? kAsk4MulticastGuaranteed : kAsk4Multicast;
    }
    uint16_t operator()(const PlayerData&) { return 0; }
    uint16_t operator()(const Unhandled& m) { return m.command; }
};

void PatchSize(Bytes& bytes) {
    if (bytes.size() > kLargestFrame) {
        throw EncodeError("A message of " + std::to_string(bytes.size()) +
                          " bytes is larger than DirectPlay's size field can hold (" +
                          std::to_string(kLargestFrame) + ")");
    }
    const uint32_t word = static_cast<uint32_t>(bytes.size()) | (kTokenSend << 20);
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(word >> (8 * i));
    }
}

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

Bytes InnerForm(const Bytes& framed) {
    return Bytes(framed.begin() + static_cast<long>(std::min(framed.size(), kPrefixSize)),
                 framed.end());
}

}  // namespace scopewatch::directplay
