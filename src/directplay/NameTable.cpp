#include "directplay/NameTable.h"

#include <algorithm>

namespace scopewatch::directplay {

uint16_t NameTable::DialectWith(const RemoteMachine& machine) const {
    return std::min(dialect_, machine.version);
}

void NameTable::SetOurPorts(quint16 stream, quint16 datagram) {
    ourStreamPort_ = stream;
    ourDatagramPort_ = datagram;
}

const PlayerInfo* NameTable::FindPlayer(uint32_t id) const {
    const auto found = players_.find(id);
    return found == players_.end() ? nullptr : &found->second;
}

std::optional<std::u16string> NameTable::PlayerName(uint32_t id) const {
    const PlayerInfo* player = FindPlayer(id);
    return player != nullptr ? std::optional(player->shortName) : std::nullopt;
}

std::vector<uint32_t> NameTable::ApplicationPlayerIds() const {
    std::vector<uint32_t> ids;
    for (const auto& [id, player] : players_) {
        if ((player.flags & player_flags::kSystemPlayer) == 0) {
            ids.push_back(id);
        }
    }
    return ids;
}

std::vector<uint32_t> NameTable::LocalPlayerIds() const {
    std::vector<uint32_t> ids;
    for (const auto& [id, createdAt] : localCreatedAtMs_) {
        ids.push_back(id);
    }
    return ids;
}

bool NameTable::PutPlayer(const PlayerInfo& player) {
    if (!HasPlayer(player.id) && players_.size() >= kMaxPlayers) {
        return false;
    }
    players_[player.id] = player;
    return true;
}

bool NameTable::ErasePlayer(uint32_t id) {
    const auto found = players_.find(id);
    if (found == players_.end()) {
        return false;
    }
    const bool application = (found->second.flags & player_flags::kSystemPlayer) == 0;
    players_.erase(found);
    return application;
}

void NameTable::AddLocalPlayer(uint32_t id, const std::u16string& shortName,
                               const std::u16string& longName, qint64 nowMs) {
    PlayerInfo player;
    player.id = id;
    player.shortName = shortName;
    player.longName = longName;
    player.systemPlayerId = systemId_;
    players_[id] = player;
    localCreatedAtMs_[id] = nowMs;
}

void NameTable::EraseLocalPlayer(uint32_t id) {
    localCreatedAtMs_.erase(id);
    players_.erase(id);
}

std::vector<uint32_t> NameTable::PlayersOf(uint32_t systemId) const {
    std::vector<uint32_t> owned;
    for (const auto& [id, player] : players_) {
        if (player.systemPlayerId == systemId && id != systemId && !IsLocal(id)) {
            owned.push_back(id);
        }
    }
    return owned;
}

const RemoteMachine* NameTable::FindMachine(uint32_t systemId) const {
    const auto found = machines_.find(systemId);
    return found == machines_.end() ? nullptr : &found->second;
}

std::vector<uint32_t> NameTable::MachineIds() const {
    std::vector<uint32_t> ids;
    for (const auto& [id, machine] : machines_) {
        ids.push_back(id);
    }
    return ids;
}

std::optional<uint32_t> NameTable::MachineAt(const QHostAddress& ip, quint16 streamPort) const {
    for (const auto& [id, machine] : machines_) {
        if (machine.ip == ip && machine.streamPort == streamPort) {
            return id;
        }
    }
    return std::nullopt;
}

const RemoteMachine* NameTable::MachineOfPlayer(uint32_t playerId) const {
    const PlayerInfo* player = FindPlayer(playerId);
    return player != nullptr ? FindMachine(player->systemPlayerId) : nullptr;
}

bool NameTable::IsMachineAddress(const QHostAddress& ip) const {
    return std::any_of(machines_.begin(), machines_.end(), [&ip](const auto& entry) {
        return SameMachineAddress(entry.second.ip, ip);
    });
}

bool NameTable::IsHostAddress(const QHostAddress& ip) const {
    const RemoteMachine* host = HostMachine();
    return host != nullptr && SameMachineAddress(host->ip, ip);
}

// In a session whose host relays, everything for the others goes through the host; our own
// host relays nothing.
const RemoteMachine* NameTable::Relay() const {
    return (desc_.flags & session_flags::kMulticastServer) != 0 ? HostMachine() : nullptr;
}

std::optional<uint32_t> NameTable::SenderMachine(const Decoded& decoded,
                                                 const Origin& origin) const {
    std::optional<uint32_t> player;
    if (const auto* data = std::get_if<PlayerData>(&decoded.message)) {
        player = PlayerDataSender(*data);
    } else if (const auto* ping = std::get_if<Ping>(&decoded.message)) {
        if (!ping->reply) {  // a reply carries the id of the machine that pinged
            player = ping->idFrom;
        }
    }
    if (const RemoteMachine* machine = player ? MachineOfPlayer(*player) : nullptr) {
        return machine->systemId;
    }
    return MachineAt(origin.sourceIp, decoded.sender.port);
}

RemoteMachine NameTable::MachineAddressedBy(uint32_t systemId, const PlayerInfo& addressed,
                                            const QHostAddress& tellerIp, uint16_t version) {
    const SockAddr stream = addressed.streamAddress.value_or(SockAddr{});
    RemoteMachine machine;
    machine.systemId = systemId;
    machine.ip = stream.address != 0 ? QHostAddress(stream.address) : tellerIp;
    machine.streamPort = stream.port;
    machine.datagramPort = addressed.datagramAddress.value_or(stream).port;
    machine.version = version;
    return machine;
}

PlayerInfo NameTable::LocalSystemPlayer(uint32_t flags, uint16_t dialect) const {
    PlayerInfo player;
    player.flags = flags;
    player.id = systemId_;
    player.streamAddress = SockAddr{ourStreamPort_, 0};
    player.datagramAddress = SockAddr{ourDatagramPort_, 0};
    player.systemPlayerId = systemId_;
    player.version = dialect;
    return player;
}

PlayerInfo NameTable::LocalApplicationPlayer(uint32_t id, uint16_t dialect) const {
    PlayerInfo player = players_.at(id);
    player.flags = player_flags::kLocal;
    player.streamAddress = SockAddr{ourStreamPort_, 0};
    player.datagramAddress = SockAddr{ourDatagramPort_, 0};
    player.version = dialect;
    return player;
}

void NameTable::Clear() {
    systemId_ = 0;
    hostSystemId_ = 0;
    players_.clear();
    machines_.clear();
    localCreatedAtMs_.clear();
}

}  // namespace scopewatch::directplay
