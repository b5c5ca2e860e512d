#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <functional>
#include <string>

#include "directplay/DeliveryQueue.h"
#include "directplay/DirectPlayTransport.h"
#include "directplay/KeepAlive.h"
#include "directplay/NameTable.h"
#include "directplay/Outbox.h"
#include "directplay/PeerLog.h"
#include "directplay/Timings.h"
#include "directplay/TransportCloser.h"
#include "shared/Outcome.h"

namespace scopewatch::directplay {

// One machine of a session, host or joiner: its sockets, its name table, the player data
// waiting for the program, its keep-alive, its log, and what every machine does alike with a
// message (take it or refuse it; players created, deleted and renamed; player data; pings).
// DirectPlayClient and DirectPlayHost each hold one and add what their role does: they receive
// every message, ask Take whether it counts, handle what is theirs and leave the rest to
// HandleCommon.
class DirectPlayPeer final : public QObject {
    Q_OBJECT
  public:
    using PlayerListener = std::function<void(uint32_t playerId, bool created)>;
    using MachineListener = std::function<void(uint32_t systemId)>;
    using MessageObserver = std::function<void(const Decoded& decoded)>;

    // `verifiesNewPlayers`: this machine answers another machine's new player with a
    // CREATEPLAYERVERIFY for each player of its own created within verifyWindowMs (joiners do).
    DirectPlayPeer(PortPlan plan, Timings timings, TransportLimits limits, bool verifiesNewPlayers);
    ~DirectPlayPeer() override;

    DirectPlayTransport& transport() { return transport_; }
    const DirectPlayTransport& transport() const { return transport_; }
    NameTable& table() { return table_; }
    const NameTable& table() const { return table_; }
    DeliveryQueue& deliveries() { return deliveries_; }
    const DeliveryQueue& deliveries() const { return deliveries_; }
    Outbox& outbox() { return outbox_; }
    KeepAlive& keepAlive() { return keepAlive_; }
    const PeerLog& log() const { return log_; }
    const Timings& timings() const { return timings_; }
    qint64 ElapsedMs() const { return clock_.elapsed(); }

    void SetLogger(Logger logger) { log_.SetLogger(std::move(logger)); }
    void SetPlayerListener(PlayerListener listener) { playerListener_ = std::move(listener); }
    // Told when a machine has left the table with its players.
    void SetMachineRemovedListener(MachineListener listener) {
        machineRemoved_ = std::move(listener);
    }
    // Shown every message taken, for recordings.
    void SetMessageObserver(MessageObserver observer) { observer_ = std::move(observer); }

    // ---- receiving, in this order ----
    // Whether a message counts, by the rule of TakenFrom.h (`searching`: we collect
    // enumeration replies). One refused is counted and logged; one taken is a sign of life of
    // its machine and is logged (player data aside).
    bool Take(const Decoded& decoded, const Origin& origin, bool searching);
    // What every machine does with a message: players created, deleted and renamed, player
    // data, pings, the session's description. Nobody deletes our own players or machine.
    void HandleCommon(const Decoded& decoded, const Origin& origin);
    // Once a connection is known to come from a machine of the session, its end is a reason
    // to check on that machine (a machine may also have joined with this very message).
    void NameConnection(const Decoded& decoded, const Origin& origin);

    // ---- players and machines ----
    // Adds a player from the wire; false when the table is full.
    bool AddPlayer(const PlayerInfo& player);
    void RemovePlayer(uint32_t id);
    void AddMachine(const RemoteMachine& machine);
    // Takes a machine and its players out of the table and drops our connection to it.
    void RemoveMachine(uint32_t systemId);
    void AddLocalPlayer(uint32_t id, const std::u16string& shortName,
                        const std::u16string& longName);
    // Tells every other machine about our player (through the relay where the host relays).
    void AnnounceLocalPlayer(uint32_t id);
    void RetireLocalPlayer(uint32_t id);
    // Leaving: every local player retired, then our machine's own deletion to every machine.
    void SayGoodbye();

    // ---- opening and closing ----
    // Opens the sockets unless they are open; a closing under way is called off and its
    // sockets kept.
    Status Open();
    // Sends what is still queued and closes the sockets once it is out, or after the flush
    // time-out; finishedSending() follows. Returns at once.
    void CloseWhenSent();
    // Closes the sockets at once: the session is lost.
    void CloseNow();
    bool closing() const { return closer_.closing(); }
    // A new session starts with a clean slate: no players, machines or waiting data.
    void Clear();

  signals:
    void finishedSending();

  private:
    void OnCreatePlayer(const CreatePlayer& message, const Decoded& decoded, const Origin& origin);
    void LearnMachineOf(const PlayerInfo& player, const Decoded& decoded, const Origin& origin);
    void VerifyOurPlayersTo(const RemoteMachine& machine);
    void OnDeletePlayer(uint32_t id);
    void OnPlayerData(const PlayerData& message, const Origin& origin);
    void OnPing(const Ping& ping, const Decoded& decoded, const Origin& origin);

    DirectPlayTransport transport_;
    Timings timings_;
    bool verifiesNewPlayers_;
    QElapsedTimer clock_;
    NameTable table_;
    DeliveryQueue deliveries_;
    PeerLog log_;
    Outbox outbox_;
    KeepAlive keepAlive_;
    TransportCloser closer_;
    PlayerListener playerListener_;
    MachineListener machineRemoved_;
    MessageObserver observer_;
};

}  // namespace scopewatch::directplay
