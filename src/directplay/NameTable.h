#pragma once

#include <QHostAddress>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "directplay/DirectPlayCodec.h"
#include "directplay/DirectPlayTransport.h"

namespace scopewatch::directplay {

inline constexpr size_t kMaxPlayers = 1024;

// Another machine of the session, known by its system player.
struct RemoteMachine {
    uint32_t systemId = 0;
    QHostAddress ip;
    quint16 streamPort = 0;
    quint16 datagramPort = 0;
    uint16_t version = kNewestVersion;
};

// Two addresses of one machine: an IPv4 address compares equal to its IPv6-mapped form.
inline bool SameMachineAddress(const QHostAddress& a, const QHostAddress& b) {
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

// Who is in the session as one machine sees it: the players, the other machines, which
// machine each player lives on, our own system player and players, and which machine hosts
// the session (ours, when we host). A value: it opens no socket and sends nothing.
class NameTable {
  public:
    // ---- the session and our place in it ----
    const SessionDesc& desc() const { return desc_; }
    void SetDesc(const SessionDesc& desc) { desc_ = desc; }
    // Player data carries its sender's and receiver's ids (not so in a no-message-id session).
    bool HasMessageIds() const { return (desc_.flags & session_flags::kNoMessageId) == 0; }
    uint16_t dialect() const { return dialect_; }
    void SetDialect(uint16_t dialect) { dialect_ = dialect; }
    // The dialect we speak with a machine: ours, or its own when that is older.
    uint16_t DialectWith(const RemoteMachine& machine) const;
    uint32_t systemId() const { return systemId_; }
    void SetSystemId(uint32_t id) { systemId_ = id; }
    // The system player of the machine that hosts the session: our own when we host.
    uint32_t hostSystemId() const { return hostSystemId_; }
    void SetHostSystemId(uint32_t id) { hostSystemId_ = id; }
    bool WeHost() const { return systemId_ != 0 && hostSystemId_ == systemId_; }
    // The ports others reach us at, as our players' address data gives them.
    void SetOurPorts(quint16 stream, quint16 datagram);

    // ---- players ----
    const std::map<uint32_t, PlayerInfo>& players() const { return players_; }
    const PlayerInfo* FindPlayer(uint32_t id) const;
    bool HasPlayer(uint32_t id) const { return players_.count(id) != 0; }
    std::optional<std::u16string> PlayerName(uint32_t id) const;
    std::vector<uint32_t> ApplicationPlayerIds() const;
    bool IsLocal(uint32_t id) const { return localCreatedAtMs_.count(id) != 0; }
    // Our system player or one of our players: nobody else speaks for them.
    bool IsOurs(uint32_t id) const { return id == systemId_ || IsLocal(id); }
    std::vector<uint32_t> LocalPlayerIds() const;
    const std::map<uint32_t, qint64>& localCreatedAtMs() const { return localCreatedAtMs_; }
    // Puts a player from the wire in the table (or updates it); false when the table is full.
    bool PutPlayer(const PlayerInfo& player);
    // Takes a player out; true when it was an application player.
    bool ErasePlayer(uint32_t id);
    void AddLocalPlayer(uint32_t id, const std::u16string& shortName,
                        const std::u16string& longName, qint64 nowMs);
    void EraseLocalPlayer(uint32_t id);
    // The players living on a machine, its system player and ours left out.
    std::vector<uint32_t> PlayersOf(uint32_t systemId) const;
    // Lists our system player in the table as others see it, with these flags.
    void ListOwnSystemPlayer(uint32_t flags) {
        players_[systemId_] = LocalSystemPlayer(flags, dialect_);
    }

    // ---- machines ----
    const std::map<uint32_t, RemoteMachine>& machines() const { return machines_; }
    const RemoteMachine* FindMachine(uint32_t systemId) const;
    void PutMachine(const RemoteMachine& machine) { machines_[machine.systemId] = machine; }
    void EraseMachine(uint32_t systemId) { machines_.erase(systemId); }
    std::vector<uint32_t> MachineIds() const;
    std::optional<uint32_t> MachineAt(const QHostAddress& ip, quint16 streamPort) const;
    // The machine a player lives on, when it is another machine of the table.
    const RemoteMachine* MachineOfPlayer(uint32_t playerId) const;
    // Whether the address is that of a machine of the session (any port: behind address
    // translation a machine may send from another port than it listens on).
    bool IsMachineAddress(const QHostAddress& ip) const;
    // The host's machine when it is another machine than ours.
    const RemoteMachine* HostMachine() const { return FindMachine(hostSystemId_); }
    bool IsHostAddress(const QHostAddress& ip) const;
    // The machine that passes our messages on to the others (the host of a session with the
    // multicast-server flag); nothing when we reach every machine ourselves.
    const RemoteMachine* Relay() const;
    // The machine a message came from: by the sending player, else by the listening address.
    std::optional<uint32_t> SenderMachine(const Decoded& decoded, const Origin& origin) const;
    // A machine at the addresses a player of it carries (it must have a stream address);
    // 0.0.0.0 stands for the address of the machine that told us.
    static RemoteMachine MachineAddressedBy(uint32_t systemId, const PlayerInfo& addressed,
                                            const QHostAddress& tellerIp, uint16_t version);

    // ---- our players as we describe them to others ----
    // Our addresses as 0.0.0.0 with our ports, and the dialect of the message they travel in.
    PlayerInfo LocalSystemPlayer(uint32_t flags, uint16_t dialect) const;
    PlayerInfo LocalApplicationPlayer(uint32_t id, uint16_t dialect) const;

    // A new session starts with a clean slate: no players, machines or ids of ours.
    void Clear();

  private:
    SessionDesc desc_;
    uint16_t dialect_ = kNewestVersion;
    uint32_t systemId_ = 0;
    uint32_t hostSystemId_ = 0;
    quint16 ourStreamPort_ = 0;
    quint16 ourDatagramPort_ = 0;
    std::map<uint32_t, PlayerInfo> players_;
    std::map<uint32_t, RemoteMachine> machines_;
    std::map<uint32_t, qint64> localCreatedAtMs_;  // our players, by when we created them
};

}  // namespace scopewatch::directplay
