#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "directplay/DirectPlayPeer.h"

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
class DirectPlayHost : public DirectPlayPeer {
    Q_OBJECT
  public:
    explicit DirectPlayHost(PortPlan plan = {}, Timings timings = {}, TransportLimits limits = {});
    ~DirectPlayHost() override;

    // Opens the ports and starts the session; returns an error text on failure.
    std::optional<std::string> Start(const HostSettings& settings);
    // A local player; 0 when the session is full.
    uint32_t CreatePlayer(const std::u16string& shortName, const std::u16string& longName);
    void DestroyPlayer(uint32_t id);
    // Ends the session: every machine is told our players and our machine are gone. The
    // messages go out in the background (closing(), then finishedSending()).
    void Stop();

    uint32_t CurrentPlayers() const;
    SessionDesc CurrentDesc() const;

  protected:
    bool HandleRole(const Decoded& decoded, const Origin& origin) override;
    bool Admits(const Decoded& decoded, const Origin& origin) const override;
    void MachineUnreachable(uint32_t systemId, const std::string& reason) override;
    bool ShouldVerify() const override { return false; }
    void MachineRemoved(uint32_t systemId) override;

  private:
    struct PendingJoin {
        std::set<uint32_t> waitingFor;
        std::unique_ptr<QTimer> timer;
    };

    uint32_t AllocateId();
    bool Full() const;
    void OnEnumSessions(const EnumSessions& request, const Decoded& decoded, const Origin& origin);
    void OnRequestPlayerId(const RequestPlayerId& request, const Decoded& decoded,
                           const Origin& origin);
    void OnAddForwardRequest(const AddForwardRequest& request, const Decoded& decoded,
                             const Origin& origin);
    void OnAddForwardAck(const AddForwardAck& ack, const Decoded& decoded, const Origin& origin);
    void FinishJoin(uint32_t joinerId);
    // A player as the name table describes it to a machine speaking `dialect`: with the
    // addresses of the machine it lives on. Nothing for a player whose machine is unknown.
    std::optional<PlayerInfo> NameTableEntry(const PlayerInfo& player, uint16_t dialect) const;

    std::u16string sessionName_;
    uint32_t idMask_ = 0;
    uint32_t idCounter_ = 0;
    std::map<uint32_t, qint64> issuedIds_;  // handed out, not yet used: id -> time
    std::map<uint32_t, PendingJoin> pendingJoins_;
    bool running_ = false;
};

}  // namespace scopewatch::directplay
