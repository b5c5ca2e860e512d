#pragma once

#include <functional>
#include <string>
#include <vector>

#include "directplay/DirectPlayPeer.h"
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

using scopewatch::Outcome;

// Joins a session hosted elsewhere: enumerate, join the machine, create our player, then
// exchange player data with every machine directly.
//
// Enumerate, Join and CreatePlayer start their work and return at once; the outcome comes to
// the handler given, from the event loop and never inside the call. One operation runs at a
// time: starting another meanwhile fails it with "busy". A failed join or player creation
// leaves the client not joined (having told the session its machine left).
class DirectPlayClient : public DirectPlayPeer {
    Q_OBJECT
  public:
    template <typename Value>
    using Handler = std::function<void(const Outcome<Value>&)>;

    explicit DirectPlayClient(PortPlan plan = {}, Timings timings = {});

    // Asks for sessions by broadcast (empty address) or at the named host, collecting the
    // replies for windowMs. A named host that answered ends the search 300 ms later. Fails
    // when our ports cannot be opened or the address is bad.
    void Enumerate(const std::string& hostAddress, int windowMs,
                   Handler<std::vector<FoundSession>> done);
    void Join(const FoundSession& session, Handler<SessionDesc> done);
    // Gives the new player's id.
    void CreatePlayer(const std::u16string& shortName, const std::u16string& longName,
                      Handler<uint32_t> done);
    void DestroyPlayer(uint32_t id);
    // Calls off the operation under way: its handler is never called.
    void Cancel();
    // Calls off the operation under way and leaves at once; the last messages go out in the
    // background (closing(), then finishedSending()).
    void Leave();

    bool busy() const { return running_; }
    bool joined() const { return joined_ && !lost(); }
    uint32_t hostSystemId() const { return hostSystemId_; }

  protected:
    bool HandleRole(const Decoded& decoded, const Origin& origin) override;
    bool Admits(const Decoded& decoded, const Origin& origin) const override;
    const RemoteMachine* HostMachine() const override { return Host(); }
    void MachineUnreachable(uint32_t systemId, const std::string& reason) override;
    const RemoteMachine* Relay() const override;

  private:
    // Starts an operation; false (and the handler told "busy") while another runs.
    template <typename Value>
    bool Begin(const Handler<Value>& done);
    // Ends the operation under way with its outcome, handed over from the event loop.
    template <typename Value>
    void Finish(const Handler<Value>& done, Outcome<Value> outcome);

    std::optional<std::string> EnsureOpen();
    void Collect(const QHostAddress& target, bool named, int windowMs,
                 const Handler<std::vector<FoundSession>>& done);
    void LookUpAndCollect(const std::string& hostName, int windowMs,
                          const Handler<std::vector<FoundSession>>& done);
    void SendEnumeration(const QHostAddress& target);
    void OnEnumReply(const EnumSessionsReply& reply, const Decoded& decoded, const Origin& origin);
    void SendJoinRequest(const FoundSession& session, const Handler<SessionDesc>& done);
    void FinishJoin(const FoundSession& session, const Handler<SessionDesc>& done);
    void OnAddForward(const AddForward& message, const Origin& origin);
    void AddForwardedMachine(const AddForward& message, const Origin& origin);
    // False when the host left the table before it arrived.
    bool LoadNameTable(const SuperEnumPlayersReply& snapshot, const QHostAddress& hostIp);
    void AddNamedMachine(const PlayerInfo& system, const SuperEnumPlayersReply& snapshot,
                         const QHostAddress& hostIp);
    // Asks the host for an id; `then` gets it, a refusal or silence fails the operation.
    template <typename Value>
    void RequestId(uint32_t flags, const std::string& what, const Handler<Value>& done,
                   std::function<void(uint32_t id)> then);
    // The host's machine; nothing before the join has started or after it ended.
    const RemoteMachine* Host() const;
    // Leaves whatever was reached (telling the others if our machine had joined), returns to
    // the state of a client that never joined and fails the operation with the reason.
    template <typename Value>
    void FailJoin(const std::string& text, const Handler<Value>& done);
    void LeaveSession();
    void Reset();

    std::vector<FoundSession> found_;
    bool collecting_ = false;
    bool searchNamed_ = false;
    QHostAddress enumTarget_;
    QTimer enumRepeat_;
    std::optional<RequestPlayerReply> idReply_;
    std::optional<SuperEnumPlayersReply> snapshot_;
    // Machines the host announced while our own join was still going on: taken into the name
    // table once it has arrived.
    std::vector<std::pair<AddForward, Origin>> announcedDuringJoin_;
    std::optional<uint32_t> joinError_;
    uint32_t hostSystemId_ = 0;
    bool joined_ = false;
    bool running_ = false;
    uint64_t operation_ = 0;  // numbers the operations; a called-off one answers no more
};

// Readable text for the HRESULTs a host answers with.
std::string ErrorText(uint32_t result);

}  // namespace scopewatch::directplay
