#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <string>
#include <vector>

#include "directplay/DirectPlayPeer.h"
#include "directplay/JoinState.h"
#include "shared/Outcome.h"

namespace scopewatch::directplay {

// A session that answered our enumeration.
struct FoundSession {
    SessionDesc desc;
    std::u16string name;
    QHostAddress hostIp;
    quint16 hostPort = 0;  // the host's stream listening port
    uint16_t version = kNewestVersion;
};

// Joins a session hosted elsewhere: enumerate, join the machine, create our player, then
// exchange player data with every machine directly (or through the host, where it relays).
//
// Enumerate, Join and CreatePlayer start an operation and return at once; it goes through the
// states of JoinState, each change signalled by stateChanged from the event loop, never inside
// a call. An operation that cannot start (another is under way, the ports cannot be opened)
// fails at once instead. An unanswered request is sent again every replyTimeoutMs until the
// operation's time is up. A failed join or player creation leaves the client in no session
// (having told the session its machine left).
class DirectPlayClient : public QObject {
    Q_OBJECT
  public:
    explicit DirectPlayClient(PortPlan plan = {}, Timings timings = {});
    ~DirectPlayClient() override;

    // Asks for sessions by broadcast (empty address) or at the named host, collecting the
    // replies for windowMs. A named host that answered ends the search 300 ms later.
    Status Enumerate(const std::string& hostAddress, int windowMs);
    Status Join(const FoundSession& session);
    Status CreatePlayer(const std::u16string& shortName, const std::u16string& longName);
    void DestroyPlayer(uint32_t id);
    // Calls off the operation under way and leaves at once; the last messages go out in the
    // background (closing(), then the peer's finishedSending()).
    void Leave();

    JoinState state() const { return state_; }
    // The sessions the last enumeration found.
    const std::vector<FoundSession>& foundSessions() const { return found_; }
    // Our player the last creation gave.
    uint32_t createdPlayer() const { return createdPlayer_; }
    // Why the last operation failed.
    const std::string& failure() const { return failure_; }
    bool busy() const { return UnderWay(state_); }
    bool joined() const { return InSession(state_); }
    bool lost() const { return state_ == JoinState::kLost; }
    const std::string& lostReason() const { return lostReason_; }
    uint32_t hostSystemId() const { return peer_.table().hostSystemId(); }

    DirectPlayPeer& peer() { return peer_; }
    const DirectPlayPeer& peer() const { return peer_; }
    // What the program and its tests read of the session.
    DirectPlayTransport& transport() { return peer_.transport(); }
    const NameTable& table() const { return peer_.table(); }
    std::optional<std::u16string> PlayerName(uint32_t id) const { return table().PlayerName(id); }
    bool HasPlayer(uint32_t id) const { return table().HasPlayer(id); }
    bool IsLocal(uint32_t id) const { return table().IsLocal(id); }
    uint32_t systemId() const { return table().systemId(); }
    const std::map<uint32_t, RemoteMachine>& machines() const { return table().machines(); }
    size_t WaitingCount() const { return peer_.deliveries().count(); }
    size_t WaitingBytes() const { return peer_.deliveries().bytes(); }
    size_t droppedDeliveries() const { return peer_.deliveries().dropped(); }
    std::optional<Delivery> TakeDelivery() { return peer_.deliveries().Take(); }
    size_t refusedMessages() const { return peer_.log().refused(); }
    bool closing() const { return peer_.closing(); }
    void SetLogger(Logger logger) { peer_.SetLogger(std::move(logger)); }
    void SetPlayerListener(DirectPlayPeer::PlayerListener listener) {
        peer_.SetPlayerListener(std::move(listener));
    }
    // Player data from one of our players to every other player; fails when it is too large
    // to send.
    Status SendToAll(uint32_t idFrom, const Bytes& payload) {
        return peer_.outbox().SendToAll(idFrom, payload);
    }

  signals:
    void stateChanged(JoinState from, JoinState to);

  private:
    // Moves on by the transition function; false when the event means nothing now.
    bool Advance(JoinEvent event);
    // Ends the operation under way as failed, out of the session.
    void Fail(const std::string& reason);
    // The session broke: the operation under way fails, or the session is lost.
    void Lose(const std::string& reason);
    // Opens the ports; fresh sockets start a clean slate.
    Status EnsureOpen();
    void Collect(const QHostAddress& target, bool named);
    void LookUpHost(const std::string& hostName);
    void FinishWindow();
    // Sends the request of the state we are in (again, while it goes unanswered).
    void SendRequest();
    void OnDeadline();
    void OnMessage(const Decoded& decoded, const Origin& origin);
    bool HandleJoinMessage(const Decoded& decoded, const Origin& origin);
    void OnEnumReply(const EnumSessionsReply& reply, const Decoded& decoded, const Origin& origin);
    void OnIdReply(const RequestPlayerReply& reply);
    void OnNameTable(const SuperEnumPlayersReply& snapshot);
    void OnAddForward(const AddForward& message, const Origin& origin);
    void OnMachineGone(uint32_t systemId, const std::string& reason, bool unanswered);
    std::string HostPlace() const;
    // Leaves whatever was reached, telling the others if our machine had joined.
    void LeaveSession();
    void Reset();

    DirectPlayPeer peer_;
    JoinState state_ = JoinState::kIdle;
    std::string failure_;
    std::string lostReason_;
    // What listing works on: where we ask, whether at a host we named, for how long.
    struct Search {
        QHostAddress target;
        bool named = false;
        int windowMs = 0;
        std::string hostName;  // the host as named, while its name is looked up
        int lookup = 0;        // numbers the lookups: a late answer is dropped
    };
    Search search_;
    std::vector<FoundSession> found_;
    FoundSession joining_;  // the session joined, or being joined
    struct NewPlayer {
        std::u16string shortName, longName;
    };
    NewPlayer newPlayer_;  // the player being created
    uint32_t createdPlayer_ = 0;
    QTimer deadline_;  // the operation's time
    QTimer resend_;    // an unanswered request goes again
};

// Readable text for the HRESULTs a host answers with.
std::string ErrorText(uint32_t result);

}  // namespace scopewatch::directplay
