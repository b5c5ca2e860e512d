#pragma once

#include <QTimer>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "directplay/DirectPlayPeer.h"
#include "shared/Outcome.h"

namespace scopewatch::directplay {

struct HostSettings {
    std::u16string sessionName;
    uint32_t maxPlayers = 8;
    Guid application{};
    uint32_t flags = session_flags::kKeepAlive;
};

// Hosts one peer-to-peer session: answers enumeration, hands out ids, admits joining
// machines with the name table, and tells the others when a machine vanishes. Players
// created here are local players of the host machine.
class DirectPlayHost : public QObject {
    Q_OBJECT
  public:
    explicit DirectPlayHost(PortPlan plan = {}, Timings timings = {}, TransportLimits limits = {});
    ~DirectPlayHost() override;

    // Opens the ports and starts the session.
    Status Start(const HostSettings& settings);
    // A local player; 0 when the session is full.
    uint32_t CreatePlayer(const std::u16string& shortName, const std::u16string& longName);
    void DestroyPlayer(uint32_t id);
    // Ends the session: every machine is told our players and our machine are gone. The
    // messages go out in the background (closing(), then the peer's finishedSending()).
    void Stop();

    uint32_t CurrentPlayers() const;
    SessionDesc CurrentDesc() const;

    DirectPlayPeer& peer() { return peer_; }
    const NameTable& table() const { return peer_.table(); }
    DirectPlayTransport& transport() { return peer_.transport(); }
    uint32_t systemId() const { return table().systemId(); }
    bool closing() const { return peer_.closing(); }
    // Player data from one of our players; fails when it is too large to send.
    Status SendToAll(uint32_t idFrom, const Bytes& payload) {
        return peer_.outbox().SendToAll(idFrom, payload);
    }
    Status SendTo(uint32_t idFrom, uint32_t idTo, const Bytes& payload) {
        return peer_.outbox().SendTo(idFrom, idTo, payload);
    }

  private:
    struct PendingJoin {
        std::set<uint32_t> waitingFor;
        std::unique_ptr<QTimer> timer;
    };
    // An id handed out and not yet used: when, and for a machine at which listening address.
    struct IssuedId {
        qint64 atMs = 0;
        std::string machineAt;  // empty for a player of a machine already in the session
    };

    uint32_t AllocateId(const std::string& machineAt = {});
    bool Full() const;
    void OnMessage(const Decoded& decoded, const Origin& origin);
    bool HandleHostMessage(const Decoded& decoded, const Origin& origin);
    void OnEnumSessions(const EnumSessions& request, const Decoded& decoded, const Origin& origin);
    void OnRequestPlayerId(const RequestPlayerId& request, const Decoded& decoded,
                           const Origin& origin);
    void OnAddForwardRequest(const AddForwardRequest& request, const Decoded& decoded,
                             const Origin& origin);
    void AnnounceJoiner(const RemoteMachine& joiner, const PlayerInfo& system);
    void OnAddForwardAck(const AddForwardAck& ack, const Decoded& decoded, const Origin& origin);
    void FinishJoin(uint32_t joinerId);
    // A player as the name table describes it to a machine speaking `dialect`: with the
    // addresses of the machine it lives on. Nothing for a player whose machine is unknown.
    std::optional<PlayerInfo> NameTableEntry(const PlayerInfo& player, uint16_t dialect) const;
    void OnMachineGone(uint32_t systemId, const std::string& reason);
    void OnMachineRemoved(uint32_t systemId);

    DirectPlayPeer peer_;
    std::u16string sessionName_;
    uint32_t idMask_ = 0;
    uint32_t idCounter_ = 0;
    std::map<uint32_t, IssuedId> issuedIds_;
    std::map<uint32_t, PendingJoin> pendingJoins_;
    bool running_ = false;
};

}  // namespace scopewatch::directplay
