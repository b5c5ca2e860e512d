#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "directplay/DirectPlayTransport.h"

namespace scopewatch::directplay {

// Time limits of the protocol; tests shorten them.
struct Timings {
    int replyTimeoutMs = 5000;     // REQUESTPLAYERREPLY
    int joinTimeoutMs = 20000;     // the name table snapshot (the host may wait 15 s itself)
    int addForwardWaitMs = 15000;  // host: acknowledgements of the other machines
    int keepAliveMs = 35000;       // silence before a ping
    int maxMissedPings = 8;        // unanswered pings before a machine counts as gone
    int verifyWindowMs = 40000;    // we verify our new players to machines joining meanwhile
    int flushTimeoutMs = 1000;     // leaving: time to get the last messages out
    int lookupTimeoutMs = 10000;   // the host's name
};

// Caps on what a peer can make us hold. The game's messages are tens of bytes, so the byte
// cap only holds back a peer sending large player data: without it, 2048 messages of up to
// 128 KiB would be 256 MiB.
inline constexpr size_t kMaxQueuedDeliveries = 2048;
inline constexpr size_t kMaxQueuedBytes = 4 * 1024 * 1024;
// No one player may hold more than a quarter of the queue, by count or by bytes, so that a
// player who floods the session, or sends a burst of large messages (a simulator sends its
// aircraft files in segments), cannot shut the others' messages out.
inline constexpr size_t kMaxQueuedPerSender = kMaxQueuedDeliveries / 4;
inline constexpr size_t kMaxQueuedBytesPerSender = kMaxQueuedBytes / 4;
inline constexpr size_t kMaxPlayers = 1024;

// Application data for one of our players.
struct Delivery {
    uint32_t idFrom = 0;
    uint32_t idTo = 0;
    Bytes payload;
    // The sender lives on the session host's machine (in a session without message ids: the
    // data came from the host's address).
    bool fromHost = false;
};

// Another machine of the session, known by its system player.
struct RemoteMachine {
    uint32_t systemId = 0;
    QHostAddress ip;
    quint16 streamPort = 0;
    quint16 datagramPort = 0;
    uint16_t version = kNewestVersion;
    qint64 lastHeardMs = 0;
    int missedPings = 0;
};

// The part of a DirectPlay machine that hosts and joiners share: the name table, our local
// players and their announcement, player data in both directions, pings and leaving.
class DirectPlayPeer : public QObject {
    Q_OBJECT
  public:
    using Logger = std::function<void(const std::string&)>;
    using PlayerListener = std::function<void(uint32_t playerId, bool created)>;

    DirectPlayPeer(PortPlan plan, Timings timings, TransportLimits limits = {});
    ~DirectPlayPeer() override;

    void SetLogger(Logger logger) { log_ = std::move(logger); }
    void SetPlayerListener(PlayerListener listener) { playerListener_ = std::move(listener); }

    // Application data, oldest first. Once the queue is full (kMaxQueuedDeliveries messages
    // or kMaxQueuedBytes of payload), or holds a sender's share (kMaxQueuedPerSender messages
    // or kMaxQueuedBytesPerSender bytes), new data (of that sender) is dropped.
    size_t WaitingCount() const { return deliveries_.size(); }
    size_t WaitingBytes() const { return queuedBytes_; }
    std::optional<Delivery> TakeDelivery();
    size_t droppedDeliveries() const { return droppedDeliveries_; }
    // Messages dropped because their sender may not send them: strangers, and members
    // speaking for another machine or for the host.
    size_t refusedMessages() const { return refusedMessages_; }

    // Sends to every remote application player, guaranteed (TCP): one copy per player, or one
    // message for the host to pass on in a session where it relays.
    void SendToAll(uint32_t idFrom, const Bytes& payload);
    void SendTo(uint32_t idFrom, uint32_t idTo, const Bytes& payload);

    std::optional<std::u16string> PlayerName(uint32_t id) const;
    bool HasPlayer(uint32_t id) const { return players_.count(id) != 0; }
    std::vector<uint32_t> ApplicationPlayerIds() const;
    bool IsLocal(uint32_t id) const { return localPlayers_.count(id) != 0; }
    uint32_t systemId() const { return systemId_; }
    const SessionDesc& desc() const { return desc_; }

    bool lost() const { return lost_; }
    const std::string& lostReason() const { return lostReason_; }

    DirectPlayTransport& transport() { return transport_; }
    const std::map<uint32_t, RemoteMachine>& machines() const { return machines_; }

    // Whether leaving or stopping still sends its last messages; finishedSending() follows
    // once they are out and the sockets are closed.
    bool closing() const { return closing_; }

  signals:
    void finishedSending();

  protected:
    // Role-specific handling; returns true when the message was dealt with.
    virtual bool HandleRole(const Decoded& decoded, const Origin& origin) = 0;
    // Whether the sender of a message other than player data may send it: the role knows
    // who may join, answer a join or speak for the session.
    virtual bool Admits(const Decoded& decoded, const Origin& origin) const = 0;
    // The session host's machine when it is another machine than ours.
    virtual const RemoteMachine* HostMachine() const { return nullptr; }
    // A machine stopped answering or its connection failed.
    virtual void MachineUnreachable(uint32_t systemId, const std::string& reason) = 0;
    // Whether this machine sends CREATEPLAYERVERIFY for its new players (joiners do).
    virtual bool ShouldVerify() const { return true; }
    // A machine and its players have left the name table.
    virtual void MachineRemoved(uint32_t /*systemId*/) {}
    // The machine that passes our messages on to the others (the host of a session with the
    // multicast-server flag); nothing when we reach every machine ourselves.
    virtual const RemoteMachine* Relay() const { return nullptr; }

    // The dialect we speak with a machine: ours, or its own when that is older.
    uint16_t DialectWith(const RemoteMachine& machine) const;
    // Sends in the machine's dialect. A message too large to encode is logged, not sent.
    void Send(const RemoteMachine& machine, const Message& message);
    void SendToEveryMachine(const Message& message);
    // Asks the relay to pass the message on to `groupTo` (0: everyone).
    void SendRelayed(const RemoteMachine& relay, uint32_t groupTo, uint32_t playerFrom,
                     const Message& message);
    // Player data as this session frames it: with the sender and receiver ids, or without
    // them in a session that has none.
    Message PlayerMessage(uint32_t idFrom, uint32_t idTo, const Bytes& payload) const;
    // Visits a copy of every machine still in the table when its turn comes, so a visit may
    // remove machines (a send that fails at once drops its machine).
    void ForEachMachine(const std::function<void(const RemoteMachine&)>& visit);
    std::optional<uint32_t> MachineAt(const QHostAddress& ip, quint16 streamPort) const;
    // Whether the address is that of a machine of the session (any port: behind address
    // translation a machine may send from another port than it listens on).
    bool IsMachineAddress(const QHostAddress& ip) const;
    bool IsHostAddress(const QHostAddress& ip) const;
    // Player data counts only from the machine of the player it names, or from the host where
    // the host passes the others' messages on; without message ids, from any machine.
    bool AdmitsPlayerData(const PlayerData& data, const Origin& origin) const;
    // A player may be deleted by its own machine or by the host (ours, when we host).
    bool MayDelete(uint32_t playerId, const Origin& origin) const;
    // The machine a message came from: by the sending player, else by the listening address.
    std::optional<uint32_t> SenderMachine(const Decoded& decoded, const Origin& origin) const;
    // Answers over a connection we open to the sender's listening address.
    void Reply(const Origin& origin, const Decoded& request, const Message& message);
    QHostAddress ReplyAddress(const Origin& origin, SockAddr sender) const;

    // Our players as we describe them to others: our addresses as 0.0.0.0 with our ports, and
    // the dialect of the message they travel in.
    PlayerInfo LocalSystemPlayer(uint32_t flags, uint16_t dialect) const;
    PlayerInfo LocalApplicationPlayer(uint32_t id, uint16_t dialect) const;
    void AddLocalPlayer(uint32_t id, const std::u16string& shortName,
                        const std::u16string& longName);
    void AnnounceLocalPlayer(uint32_t id);
    void RetireLocalPlayer(uint32_t id);
    // Adds a player from the wire; false when the table is full.
    bool AddPlayer(const PlayerInfo& player);
    void RemovePlayer(uint32_t id);
    void RemoveMachine(uint32_t systemId);
    void AddMachine(const RemoteMachine& machine);
    // A machine at the addresses a player of it carries (it must have a stream address);
    // 0.0.0.0 stands for the address of the machine that told us.
    static RemoteMachine MachineAddressedBy(uint32_t systemId, const PlayerInfo& addressed,
                                            const QHostAddress& tellerIp, uint16_t version);
    void MarkLost(const std::string& reason);
    // A new join starts with a clean slate: no players, machines or waiting data, and nothing
    // lost.
    void ClearSession();
    void LogLine(const std::string& line) const;
    // Sends what is still queued and closes the sockets once it is out, or after the flush
    // time-out; finishedSending() follows. Returns at once.
    void CloseWhenSent();
    // Opens the sockets unless they are open; a closing under way is called off and its
    // sockets kept. Returns an error text when they cannot be opened.
    std::optional<std::string> OpenTransport();
    void StartKeepAlive();

    // Waits without blocking: `then` runs once `done` holds (looked at after each message,
    // from the event loop), `late` when timeoutMs pass first or the session is lost. One wait
    // at a time; StopWaiting drops it unrun.
    void Await(std::function<bool()> done, int timeoutMs, std::function<void()> then,
               std::function<void()> late);
    void StopWaiting();
    // Looks at the wait's condition again soon (something it depends on has changed).
    void PokeWait();
    // Ends the wait within ms unless it ends earlier anyway.
    void ShortenWait(int ms);

    // What the roles read and set of the session: its description, the dialect we speak, our
    // system player, the table, our own players, the time since we started.
    const Timings& timings() const { return timings_; }
    void SetSessionDesc(const SessionDesc& desc) { desc_ = desc; }
    uint16_t dialect() const { return version_; }
    void SetDialect(uint16_t dialect) { version_ = dialect; }
    void SetSystemId(uint32_t id) { systemId_ = id; }
    // Lists our system player in the table as others see it, with these flags.
    void ListOwnSystemPlayer(uint32_t flags) {
        players_[systemId_] = LocalSystemPlayer(flags, version_);
    }
    const std::map<uint32_t, PlayerInfo>& players() const { return players_; }
    const RemoteMachine* FindMachine(uint32_t systemId) const;
    // Drops every machine from the table without telling anyone (a name table replaces them).
    void ForgetMachines() { machines_.clear(); }
    std::vector<uint32_t> LocalPlayerIds() const {
        return {localPlayers_.begin(), localPlayers_.end()};
    }
    qint64 ElapsedMs() const { return clock_.elapsed(); }

  private:
    DirectPlayTransport transport_;
    Timings timings_;
    SessionDesc desc_;
    uint16_t version_ = kNewestVersion;
    uint32_t systemId_ = 0;
    std::map<uint32_t, PlayerInfo> players_;
    std::map<uint32_t, RemoteMachine> machines_;
    std::set<uint32_t> localPlayers_;
    QElapsedTimer clock_;

    void OnMessage(const Decoded& decoded, const Origin& origin);
    void HandleCommon(const Decoded& decoded, const Origin& origin);
    void OnCreatePlayer(const CreatePlayer& message, const Decoded& decoded, const Origin& origin);
    void LearnMachineOf(const PlayerInfo& player, const Decoded& decoded, const Origin& origin);
    void OnPlayerData(const PlayerData& message, const Origin& origin);
    void Refuse(const Decoded& decoded, const Origin& origin);
    void CheckWait();
    void FinishClosing();
    void OnPing(const Ping& ping, const Decoded& decoded, const Origin& origin);
    void NoteHeard(const Decoded& decoded, const Origin& origin);
    void KeepAliveTick();
    void OnStreamFailure(const QHostAddress& ip, quint16 port, const std::string& reason);
    void OnConnectionClosed(const QHostAddress& ip, quint16 port);
    void OnProbed(const QHostAddress& ip, quint16 port, const std::optional<std::string>& failure);

    Logger log_;
    PlayerListener playerListener_;
    std::deque<Delivery> deliveries_;
    size_t queuedBytes_ = 0;
    struct SenderShare {
        size_t messages = 0;
        size_t bytes = 0;
    };
    std::map<uint32_t, SenderShare> queuedFrom_;  // what waits, by sender (0: none named)
    size_t droppedDeliveries_ = 0;
    size_t refusedMessages_ = 0;
    size_t refusedSinceLog_ = 0;
    qint64 lastRefusalLogMs_ = -1000000;
    std::map<uint32_t, qint64> localCreatedAtMs_;
    QTimer keepAliveTimer_;
    bool lost_ = false;
    std::string lostReason_;

    struct Wait {
        std::function<bool()> done;
        std::function<void()> then;
        std::function<void()> late;
    };
    std::optional<Wait> wait_;
    QTimer waitDeadline_;
    QTimer waitCheck_;

    bool closing_ = false;
    QTimer closingPoll_;
    QElapsedTimer closingSince_;
};

}  // namespace scopewatch::directplay
