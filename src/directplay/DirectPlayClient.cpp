#include "directplay/DirectPlayClient.h"

#include <QDateTime>
#include <QHostInfo>
#include <memory>

namespace scopewatch::directplay {

namespace {
// Once a host we named answers, the search waits this long for late duplicates, not the
// whole window.
constexpr int kNamedHostGraceMs = 300;
}  // namespace

std::string ErrorText(uint32_t result) {
    switch (result) {
        case kErrorNoNewPlayers:
            return "the host accepts no new players (the session is full or closed)";
        case 0x88770154:
            return "the host refused the password";
        default: {
            char text[64];
            std::snprintf(text, sizeof text, "the host refused with error 0x%08X", result);
            return text;
        }
    }
}

DirectPlayClient::DirectPlayClient(PortPlan plan, Timings timings)
    : DirectPlayPeer(
          [&plan] {
              plan.listenForEnumeration = false;
              return plan;
          }(),
          timings) {
    connect(&enumRepeat_, &QTimer::timeout, this, [this] { SendEnumeration(enumTarget_); });
}

// ---- operations --------------------------------------------------------------------------

template <typename Value>
bool DirectPlayClient::Begin(const Handler<Value>& done) {
    if (running_) {
        QMetaObject::invokeMethod(
            this,
            [done] { done(Outcome<Value>::Failed("The session is busy with another operation")); },
            Qt::QueuedConnection);
        return false;
    }
    running_ = true;
    ++operation_;
    return true;
}

template <typename Value>
void DirectPlayClient::Finish(const Handler<Value>& done, Outcome<Value> outcome) {
    running_ = false;
    QMetaObject::invokeMethod(
        this,
        [this, operation = operation_, done, outcome = std::move(outcome)] {
            if (operation == operation_) {
                done(outcome);
            }
        },
        Qt::QueuedConnection);
}

void DirectPlayClient::Cancel() {
    ++operation_;
    running_ = false;
    collecting_ = false;
    enumRepeat_.stop();
    StopWaiting();
}

std::optional<std::string> DirectPlayClient::EnsureOpen() {
    if (transport().streamPort() == 0) {
        ClearSession();  // fresh sockets: whatever was lost before is history
    }
    return OpenTransport();
}

// ---- enumeration -------------------------------------------------------------------------

void DirectPlayClient::Enumerate(const std::string& hostAddress, int windowMs,
                                 Handler<std::vector<FoundSession>> done) {
    if (!Begin(done)) {
        return;
    }
    if (const auto error = EnsureOpen()) {
        Finish(done, Outcome<std::vector<FoundSession>>::Failed(*error));
        return;
    }
    const QString text = QString::fromStdString(hostAddress).trimmed();
    QHostAddress address;
    if (text.isEmpty()) {
        Collect(QHostAddress(QHostAddress::Broadcast), false, windowMs, done);
    } else if (address.setAddress(text)) {
        Collect(address, true, windowMs, done);
    } else {
        LookUpAndCollect(hostAddress, windowMs, done);
    }
}

// A host name is looked up without blocking. The answer goes to an object the callback shares,
// so an answer that comes after we gave up harms nothing.
void DirectPlayClient::LookUpAndCollect(const std::string& hostName, int windowMs,
                                        const Handler<std::vector<FoundSession>>& done) {
    const auto info = std::make_shared<std::optional<QHostInfo>>();
    QHostInfo::lookupHost(QString::fromStdString(hostName).trimmed(), this,
                          [this, info](const QHostInfo& result) {
                              *info = result;
                              PokeWait();
                          });
    const auto notFound = [this, hostName, done] {
        Finish(done, Outcome<std::vector<FoundSession>>::Failed("The host name " + hostName +
                                                                " could not be found"));
    };
    Await([info] { return info->has_value(); }, timings().lookupTimeoutMs,
          [this, info, windowMs, done, notFound] {
              for (const QHostAddress& candidate : (*info)->addresses()) {
                  if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
                      Collect(candidate, true, windowMs, done);
                      return;
                  }
              }
              notFound();
          },
          notFound);
}

// UDP may be lost: the request goes three times within the window. A named host is also
// asked over TCP, since some hosts listen for enumeration there.
void DirectPlayClient::Collect(const QHostAddress& target, bool named, int windowMs,
                               const Handler<std::vector<FoundSession>>& done) {
    found_.clear();
    collecting_ = true;
    searchNamed_ = named;
    enumTarget_ = target;
    SendEnumeration(target);
    if (named) {
        transport().SendStream(target, transport().plan().enumPort,
                               Encode(EnumSessions{}, transport().OurAddress(), kNewestVersion));
    }
    enumRepeat_.start(std::max(windowMs / 3, 100));
    const auto finish = [this, target, named, done] {
        collecting_ = false;
        enumRepeat_.stop();
        if (named) {
            transport().Disconnect(target, transport().plan().enumPort);
        }
        Finish(done, Outcome<std::vector<FoundSession>>::Done(found_));
    };
    Await([] { return false; }, windowMs, finish, finish);
}

void DirectPlayClient::SendEnumeration(const QHostAddress& target) {
    const Bytes request = Encode(EnumSessions{}, transport().OurAddress(), kNewestVersion);
    transport().SendDatagram(target, transport().plan().enumPort, request);
    LogLine("sent to " + target.toString().toStdString() + ":" +
            std::to_string(transport().plan().enumPort) + " (udp) ENUMSESSIONS");
}

void DirectPlayClient::OnEnumReply(const EnumSessionsReply& reply, const Decoded& decoded,
                                   const Origin& origin) {
    if (!collecting_ || found_.size() >= 256) {
        return;
    }
    for (const FoundSession& session : found_) {
        if (session.desc.instance == reply.desc.instance) {
            return;
        }
    }
    FoundSession session;
    session.desc = reply.desc;
    session.name = reply.name;
    session.hostIp = ReplyAddress(origin, decoded.sender);
    session.hostPort = decoded.sender.port;
    session.version = ClampVersion(decoded.version);
    found_.push_back(session);
    if (searchNamed_ && found_.size() == 1) {
        ShortenWait(kNamedHostGraceMs);  // the named host answered: the others are late
    }
}

// ---- joining -----------------------------------------------------------------------------

template <typename Value>
void DirectPlayClient::FailJoin(const std::string& text, const Handler<Value>& done) {
    const std::string reason = lost() ? lostReason() : text;
    LeaveSession();
    Finish(done, Outcome<Value>::Failed(reason));
}

void DirectPlayClient::Reset() {
    joined_ = false;
    ClearSession();
    hostSystemId_ = 0;
    idReply_.reset();
    snapshot_.reset();
    joinError_.reset();
    announcedDuringJoin_.clear();
}

// In a session whose host relays, everything for the others goes through the host, from the
// announcement of our player on; the join itself speaks to the host alone anyway.
const RemoteMachine* DirectPlayClient::Relay() const {
    return (desc().flags & session_flags::kMulticastServer) != 0 ? Host() : nullptr;
}

const RemoteMachine* DirectPlayClient::Host() const {
    return FindMachine(hostSystemId_);
}

template <typename Value>
void DirectPlayClient::RequestId(uint32_t flags, const std::string& what,
                                 const Handler<Value>& done,
                                 std::function<void(uint32_t id)> then) {
    const RemoteMachine* host = Host();
    if (host == nullptr) {
        FailJoin("Not joined to a session", done);
        return;
    }
    idReply_.reset();
    Send(*host, RequestPlayerId{flags});
    Await([this] { return idReply_.has_value(); }, timings().replyTimeoutMs,
          [this, done, then] {
              if (idReply_->result != 0) {
                  FailJoin("The host refused: " + ErrorText(idReply_->result), done);
              } else {
                  then(idReply_->id);
              }
          },
          [this, done, what] {
              FailJoin("The host did not answer the " + what + " request within " +
                           std::to_string(timings().replyTimeoutMs / 1000) + " seconds",
                       done);
          });
}

void DirectPlayClient::Join(const FoundSession& session, Handler<SessionDesc> done) {
    using namespace session_flags;
    if (!Begin(done)) {
        return;
    }
    if (session.desc.flags & kSecureServer) {
        Finish(done, Outcome<SessionDesc>::Failed(
                         "The session requires a secure logon, which is not supported"));
        return;
    }
    if (session.desc.flags & (kReliableProtocol | kClientServer)) {
        Finish(done, Outcome<SessionDesc>::Failed(
                         "The session uses a DirectPlay mode that is not supported (reliable "
                         "protocol or client/server)"));
        return;
    }
    if (joined_) {
        LeaveSession();
    }
    if (const auto error = EnsureOpen()) {
        Finish(done, Outcome<SessionDesc>::Failed(*error));
        return;
    }
    Reset();
    SetSessionDesc(session.desc);
    SetDialect(session.version);
    AddMachine(RemoteMachine{0, session.hostIp, session.hostPort, session.hostPort, dialect()});
    const std::string where =
        session.hostIp.toString().toStdString() + ":" + std::to_string(session.hostPort);
    // The id request's failure names the host, so a user knows which machine did not answer.
    const Handler<SessionDesc> namingHost = [done, where](const Outcome<SessionDesc>& outcome) {
        done(outcome.ok()
                 ? outcome
                 : Outcome<SessionDesc>::Failed(outcome.failure + " (host " + where + ")"));
    };
    RequestId(player_flags::kSystemPlayer | player_flags::kLocal, "join", namingHost,
              [this, session, done](uint32_t id) {
                  SetSystemId(id);
                  SendJoinRequest(session, done);
              });
}

void DirectPlayClient::SendJoinRequest(const FoundSession& session,
                                       const Handler<SessionDesc>& done) {
    snapshot_.reset();
    joinError_.reset();
    AddForwardRequest request;
    request.playerId = systemId();
    request.player =
        LocalSystemPlayer(player_flags::kSystemPlayer | player_flags::kLocal, dialect());
    request.tickCount = static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch());
    Send(*Host(), request);
    Await([this] { return snapshot_.has_value() || joinError_.has_value(); },
          timings().joinTimeoutMs, [this, session, done] { FinishJoin(session, done); },
          [this, session, done] {
              FailJoin("The host at " + session.hostIp.toString().toStdString() + ":" +
                           std::to_string(session.hostPort) + " did not send the player list",
                       done);
          });
}

void DirectPlayClient::FinishJoin(const FoundSession& session, const Handler<SessionDesc>& done) {
    if (joinError_) {
        FailJoin("The host refused the join: " + ErrorText(*joinError_), done);
        return;
    }
    if (!LoadNameTable(*snapshot_, session.hostIp)) {
        FailJoin("The host left the session while we joined it", done);
        return;
    }
    for (const auto& [announced, origin] : announcedDuringJoin_) {
        AddForwardedMachine(announced, origin);
    }
    announcedDuringJoin_.clear();
    ListOwnSystemPlayer(player_flags::kSystemPlayer);
    joined_ = true;
    StartKeepAlive();
    Finish(done, Outcome<SessionDesc>::Done(desc()));
}

// Real hosts differ in what they put in the name table: every entry is taken whether it
// carries address data or not. A machine is reached at its system player's addresses, else at
// those of one of its players; a machine known by neither address cannot be reached.
bool DirectPlayClient::LoadNameTable(const SuperEnumPlayersReply& snapshot,
                                     const QHostAddress& hostIp) {
    const RemoteMachine* provisional = FindMachine(0);
    if (provisional == nullptr) {
        return false;
    }
    RemoteMachine host = *provisional;
    SetSessionDesc(snapshot.desc);
    ForgetMachines();
    for (const PlayerInfo& player : snapshot.players) {
        if (player.id == systemId() || players().size() >= kMaxPlayers) {
            continue;
        }
        AddPlayer(player);
        if ((player.flags & player_flags::kSystemPlayer) == 0) {
            continue;
        }
        const SockAddr stream = player.streamAddress.value_or(SockAddr{});
        const bool isHost = (player.flags & player_flags::kNameServer) != 0 ||
                            (stream.port == host.streamPort && stream.address == 0);
        if (isHost && hostSystemId_ == 0) {
            host.systemId = player.id;
            host.version = ClampVersion(player.version);
            if (player.datagramAddress && player.datagramAddress->port != 0) {
                host.datagramPort = player.datagramAddress->port;
            }
            hostSystemId_ = player.id;
            AddMachine(host);
        } else {
            AddNamedMachine(player, snapshot, hostIp);
        }
    }
    if (machines().count(hostSystemId_) == 0) {
        AddMachine(host);  // a host that did not list itself keeps the provisional entry
    }
    return true;
}

void DirectPlayClient::AddNamedMachine(const PlayerInfo& system,
                                       const SuperEnumPlayersReply& snapshot,
                                       const QHostAddress& hostIp) {
    const PlayerInfo* addressed = system.streamAddress ? &system : nullptr;
    for (const PlayerInfo& player : snapshot.players) {
        if (addressed == nullptr && player.systemPlayerId == system.id && player.streamAddress) {
            addressed = &player;
        }
    }
    if (addressed == nullptr || addressed->streamAddress->port == 0) {
        LogLine("machine " + std::to_string(system.id) + " comes without an address");
        return;
    }
    AddMachine(MachineAddressedBy(system.id, *addressed, hostIp, ClampVersion(system.version)));
}

void DirectPlayClient::CreatePlayer(const std::u16string& shortName, const std::u16string& longName,
                                    Handler<uint32_t> done) {
    if (!Begin(done)) {
        return;
    }
    if (!joined()) {
        Finish(done, Outcome<uint32_t>::Failed(lost() ? "The session was lost: " + lostReason()
                                                      : "Not joined to a session"));
        return;
    }
    RequestId(player_flags::kLocal, "new player", done,
              [this, shortName, longName, done](uint32_t id) {
                  AddLocalPlayer(id, shortName, longName);
                  AnnounceLocalPlayer(id);
                  Finish(done, Outcome<uint32_t>::Done(id));
              });
}

void DirectPlayClient::DestroyPlayer(uint32_t id) {
    if (!lost()) {
        RetireLocalPlayer(id);
    }
}

void DirectPlayClient::Leave() {
    Cancel();
    LeaveSession();
}

void DirectPlayClient::LeaveSession() {
    if (joined()) {
        for (uint32_t id : LocalPlayerIds()) {
            RetireLocalPlayer(id);
        }
        SendToEveryMachine(DeletePlayer{0, systemId()});
    }
    CloseWhenSent();
    Reset();
}

// The host waits for our acknowledgement before it lets the announced machine in, so it is
// sent at once, also while our own join is still waiting for its name table.
void DirectPlayClient::OnAddForward(const AddForward& message, const Origin& origin) {
    if (joined_) {
        AddForwardedMachine(message, origin);
    } else if (announcedDuringJoin_.size() < kMaxPlayers) {
        announcedDuringJoin_.emplace_back(message, origin);
    }
    if (const RemoteMachine* host = Host()) {
        Send(*host, AddForwardAck{message.playerId});
    }
}

void DirectPlayClient::AddForwardedMachine(const AddForward& message, const Origin& origin) {
    PlayerInfo player = message.player;
    player.id = message.playerId;
    const SockAddr stream = player.streamAddress.value_or(SockAddr{});
    if (player.id != systemId() && players().size() < kMaxPlayers && stream.port != 0) {
        player.flags |= player_flags::kSystemPlayer;
        AddPlayer(player);
        AddMachine(
            MachineAddressedBy(player.id, player, origin.sourceIp, ClampVersion(player.version)));
    }
}

// Anyone may answer a search; the join's answers, the name table's news and the session's fate
// are the host's word; the rest comes from the machines of the session. A player of the host's
// machine is deleted by the host alone.
bool DirectPlayClient::Admits(const Decoded& decoded, const Origin& origin) const {
    const Message& message = decoded.message;
    if (std::holds_alternative<EnumSessionsReply>(message)) {
        return collecting_;
    }
    if (std::holds_alternative<RequestPlayerReply>(message) ||
        std::holds_alternative<SuperEnumPlayersReply>(message) ||
        std::holds_alternative<AddForwardReply>(message) ||
        std::holds_alternative<AddForward>(message) ||
        std::holds_alternative<SessionDescChanged>(message) ||
        std::holds_alternative<YouAreDead>(message)) {
        return IsHostAddress(origin.sourceIp);
    }
    if (const auto* removed = std::get_if<DeletePlayer>(&message)) {
        return MayDelete(removed->playerId, origin);
    }
    if (const auto* renamed = std::get_if<PlayerNameChanged>(&message)) {
        return MayDelete(renamed->playerId, origin);
    }
    return IsMachineAddress(origin.sourceIp);
}

bool DirectPlayClient::HandleRole(const Decoded& decoded, const Origin& origin) {
    const Message& message = decoded.message;
    if (const auto* reply = std::get_if<EnumSessionsReply>(&message)) {
        OnEnumReply(*reply, decoded, origin);
    } else if (const auto* idReply = std::get_if<RequestPlayerReply>(&message)) {
        idReply_ = *idReply;
    } else if (const auto* snapshot = std::get_if<SuperEnumPlayersReply>(&message)) {
        if (!joined_) {
            snapshot_ = *snapshot;
        }
    } else if (const auto* refused = std::get_if<AddForwardReply>(&message)) {
        joinError_ = refused->error;
    } else if (const auto* added = std::get_if<AddForward>(&message)) {
        if (systemId() != 0) {
            OnAddForward(*added, origin);
        }
    } else if (std::holds_alternative<YouAreDead>(message)) {
        if (joined_) {
            MarkLost("the host removed this machine from the session");
        }
    } else if (const auto* removed = std::get_if<DeletePlayer>(&message)) {
        if (!joined_ || removed->playerId != hostSystemId_) {
            return false;
        }
        MarkLost("the host ended the session");
    } else if (std::holds_alternative<EnumSessions>(message) ||
               std::holds_alternative<RequestPlayerId>(message) ||
               std::holds_alternative<AddForwardRequest>(message) ||
               std::holds_alternative<AddForwardAck>(message)) {
        // Host duties: not ours.
    } else {
        return false;
    }
    return true;
}

void DirectPlayClient::MachineUnreachable(uint32_t systemId, const std::string& reason) {
    if (systemId != hostSystemId_) {
        return;  // the host tells us when another machine is gone
    }
    const RemoteMachine* host = Host();
    if (host == nullptr) {
        return;
    }
    MarkLost("the host at " + host->ip.toString().toStdString() + ":" +
             std::to_string(host->streamPort) + " " + reason);
}

}  // namespace scopewatch::directplay
