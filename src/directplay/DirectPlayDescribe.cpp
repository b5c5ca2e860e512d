// Readable one-line summaries of messages, for logs.
#include <cstdio>

#include "directplay/DirectPlayCodec.h"
#include "shared/NumberText.h"

namespace scopewatch::directplay {
namespace {

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t unit : text) {
        out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return out;
}

// Windows' text form of a GUID: the first three fields are little-endian numbers.
std::string GuidText(const Guid& guid) {
    char text[40];
    std::snprintf(text, sizeof text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid[3],
                  guid[2], guid[1], guid[0], guid[5], guid[4], guid[7], guid[6], guid[8], guid[9],
                  guid[10], guid[11], guid[12], guid[13], guid[14], guid[15]);
    return text;
}

std::string DescribePlayer(const PlayerInfo& player) {
    std::string text = "player " + HexText(player.id) + " flags " + HexText(player.flags);
    if (!player.shortName.empty()) {
        text += " \"" + Narrow(player.shortName) + "\"";
    }
    if (player.streamAddress) {
        text += " stream port " + std::to_string(player.streamAddress->port);
    }
    if (player.datagramAddress) {
        text += " datagram port " + std::to_string(player.datagramAddress->port);
    }
    return text + " system " + HexText(player.systemPlayerId);
}

struct Describer {
    std::string operator()(const EnumSessions& m) const {
        // A real game asks for its own application: the log shows which, so a host can announce it.
        return "ENUMSESSIONS flags " + HexText(m.flags) + " application " + GuidText(m.application);
    }
    std::string operator()(const EnumSessionsReply& m) const {
        return "ENUMSESSIONSREPLY \"" + Narrow(m.name) + "\" " +
               std::to_string(m.desc.currentPlayers) + "/" + std::to_string(m.desc.maxPlayers) +
               " flags " + HexText(m.desc.flags);
    }
    std::string operator()(const RequestPlayerId& m) const {
        return "REQUESTPLAYERID flags " + HexText(m.flags);
    }
    std::string operator()(const RequestPlayerReply& m) const {
        return "REQUESTPLAYERREPLY id " + HexText(m.id) + " result " + HexText(m.result);
    }
    std::string operator()(const AddForwardRequest& m) const {
        return "ADDFORWARDREQUEST " + DescribePlayer(m.player);
    }
    std::string operator()(const AddForward& m) const {
        return "ADDFORWARD to " + HexText(m.idTo) + " " + DescribePlayer(m.player);
    }
    std::string operator()(const AddForwardAck& m) const {
        return "ADDFORWARDACK " + HexText(m.id);
    }
    std::string operator()(const AddForwardReply& m) const {
        return "ADDFORWARDREPLY error " + HexText(m.error);
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
        return "DELETEPLAYER " + HexText(m.playerId);
    }
    std::string operator()(const Ping& m) const {
        return std::string(m.reply ? "PINGREPLY" : "PING") + " from " + HexText(m.idFrom);
    }
    std::string operator()(const YouAreDead&) const { return "YOUAREDEAD"; }
    std::string operator()(const SessionDescChanged& m) const {
        return "SESSIONDESCCHANGED \"" + Narrow(m.name) + "\"";
    }
    std::string operator()(const PlayerNameChanged& m) const {
        return "PLAYERNAMECHANGED " + HexText(m.playerId) + " \"" + Narrow(m.shortName) + "\"";
    }
    std::string operator()(const PlayerData& m) const {
        const auto parts = SplitPlayerData(m);
        if (!parts) {
            return "player data, " + std::to_string(m.body.size()) + " bytes";
        }
        return "player data " + HexText(parts->idFrom) + " -> " + HexText(parts->idTo) + ", " +
               std::to_string(parts->payload.size()) + " bytes";
    }
    std::string operator()(const Ask4Multicast& m) const {
        return std::string(m.guaranteed ? "ASK4MULTICASTGUARANTEED" : "ASK4MULTICAST") +
               " to group " + HexText(m.groupTo) + " from " + HexText(m.playerFrom) + ", " +
               std::to_string(m.inner.size()) + " bytes";
    }
    std::string operator()(const Unhandled& m) const {
        return "command " + HexText(m.command) + " (ignored)";
    }
};

}  // namespace

std::string Describe(const Decoded& decoded) {
    std::string text = std::visit(Describer{}, decoded.message);
    if (decoded.command != 0) {
        text += " (dialect " + std::to_string(decoded.version) + ")";
    }
    return text;
}

}  // namespace scopewatch::directplay
