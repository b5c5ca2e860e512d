#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "directplay/DirectPlayPeer.h"

namespace scopewatch::directplay {

// A failed session operation, with a text a user can act on.
class DirectPlayError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A session that answered our enumeration.
struct FoundSession {
    SessionDesc desc;
    std::u16string name;
    QHostAddress hostIp;
    quint16 hostPort = 0;  // the host's stream listening port
    uint16_t version = kNewestVersion;
};

// Joins a session hosted elsewhere: enumerate, join the machine, create our player, then
// exchange player data with every machine directly.
class DirectPlayClient : public DirectPlayPeer {
    Q_OBJECT
  public:
    explicit DirectPlayClient(PortPlan plan = {}, Timings timings = {});

    // Every call below that fails throws DirectPlayError and leaves the client not joined,
    // its sockets closed (the next Enumerate or Join opens them again).

    // Asks for sessions by broadcast (empty address) or at the named host, collecting the
    // replies for windowMs while the event loop runs. A named host that answered ends the
    // wait early. Throws DirectPlayError when our ports cannot be opened or the address is bad.
    std::vector<FoundSession> Enumerate(const std::string& hostAddress, int windowMs);
    void Join(const FoundSession& session);
    // Returns the new player's id.
    uint32_t CreatePlayer(const std::u16string& shortName, const std::u16string& longName);
    void DestroyPlayer(uint32_t id);
    void Leave();

    bool joined() const { return joined_ && !lost(); }
    uint32_t hostSystemId() const { return hostSystemId_; }

  protected:
    bool HandleRole(const Decoded& decoded, const Origin& origin) override;
    void MachineUnreachable(uint32_t systemId, const std::string& reason) override;
    const RemoteMachine* Relay() const override;

  private:
    void EnsureOpen();
    QHostAddress Resolve(const std::string& hostAddress);
    void SendEnumeration(const QHostAddress& target);
    void OnEnumReply(const EnumSessionsReply& reply, const Decoded& decoded, const Origin& origin);
    void OnAddForward(const AddForward& message, const Origin& origin);
    void AddForwardedMachine(const AddForward& message, const Origin& origin);
    void LoadNameTable(const SuperEnumPlayersReply& snapshot, const QHostAddress& hostIp);
    void AddNamedMachine(const PlayerInfo& system, const SuperEnumPlayersReply& snapshot,
                         const QHostAddress& hostIp);
    uint32_t RequestId(uint32_t flags, const std::string& what);
    // The host's machine; nothing before the join has started or after it ended.
    const RemoteMachine* Host() const;
    // Leaves whatever was reached (telling the others if our machine had joined), returns to
    // the state of a client that never joined and throws the reason.
    [[noreturn]] void FailJoin(const std::string& text);
    void Reset();

    std::vector<FoundSession> found_;
    bool collecting_ = false;
    std::optional<RequestPlayerReply> idReply_;
    std::optional<SuperEnumPlayersReply> snapshot_;
    // Machines the host announced while our own join was still going on: taken into the name
    // table once it has arrived.
    std::vector<std::pair<AddForward, Origin>> announcedDuringJoin_;
    std::optional<uint32_t> joinError_;
    uint32_t hostSystemId_ = 0;
    bool joined_ = false;
};

// Readable text for the HRESULTs a host answers with.
std::string ErrorText(uint32_t result);

}  // namespace scopewatch::directplay
