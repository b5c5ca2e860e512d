#include "directplay/DirectPlayClient.h"

#include <QDateTime>
#include <QHostInfo>
#include <QTimer>
#include <memory>

namespace scopewatch::directplay {

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
          timings) {}

void DirectPlayClient::EnsureOpen() {
    if (transport_.streamPort() != 0) {
        return;
    }
    ClearLost();  // fresh sockets: whatever was lost before is history
    if (const auto error = transport_.Open()) {
        throw DirectPlayError(*error);
    }
}

QHostAddress DirectPlayClient::Resolve(const std::string& hostAddress) {
    const QString text = QString::fromStdString(hostAddress).trimmed();
    if (text.isEmpty()) {
        return QHostAddress(QHostAddress::Broadcast);
    }
    QHostAddress address;
    if (address.setAddress(text)) {
        return address;
    }
    // A name: look it up without blocking the event loop. The answer goes to an object the
    // callback shares, so an answer that comes after we gave up harms nothing. (Cancelling the
    // lookup instead would leak Qt's copy of the callback.)
    const auto info = std::make_shared<std::optional<QHostInfo>>();
    QHostInfo::lookupHost(text, this, [info](const QHostInfo& result) { *info = result; });
    WaitFor([&info] { return info->has_value(); }, timings_.lookupTimeoutMs);
    if (info->has_value()) {
        for (const QHostAddress& candidate : (*info)->addresses()) {
            if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
                return candidate;
            }
        }
    }
    throw DirectPlayError("The host name " + hostAddress + " could not be found");
}

void DirectPlayClient::SendEnumeration(const QHostAddress& target) {
    const Bytes request = Encode(EnumSessions{}, transport_.OurAddress(), kNewestVersion);
    transport_.SendDatagram(target, transport_.plan().enumPort, request);
    LogLine("sent to " + target.toString().toStdString() + ":" +
            std::to_string(transport_.plan().enumPort) + " (udp) ENUMSESSIONS");
}

std::vector<FoundSession> DirectPlayClient::Enumerate(const std::string& hostAddress,
                                                      int windowMs) {
    EnsureOpen();
    const QHostAddress target = Resolve(hostAddress);
    const bool named = !hostAddress.empty();
    found_.clear();
    collecting_ = true;
    // UDP may be lost: ask three times within the window. A named host is also asked over
    // TCP, since some hosts listen for enumeration there.
    SendEnumeration(target);
    if (named) {
        transport_.SendStream(target, transport_.plan().enumPort,
                              Encode(EnumSessions{}, transport_.OurAddress(), kNewestVersion));
    }
    QTimer repeat;
    connect(&repeat, &QTimer::timeout, this, [&] { SendEnumeration(target); });
    repeat.start(std::max(windowMs / 3, 100));
    QElapsedTimer sinceFirst;
    WaitFor(
        [&] {
            if (named && !found_.empty() && !sinceFirst.isValid()) {
                sinceFirst.start();
            }
            return sinceFirst.isValid() && sinceFirst.elapsed() >= 300;
        },
        windowMs);
    collecting_ = false;
    if (named) {
        transport_.Disconnect(target, transport_.plan().enumPort);
    }
    return found_;
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
}

void DirectPlayClient::FailJoin(const std::string& text) {
    const std::string reason = lost() ? lostReason() : text;
    Leave();
    throw DirectPlayError(reason);
}

void DirectPlayClient::Reset() {
    joined_ = false;
    machines_.clear();
    players_.clear();
    localPlayers_.clear();
    systemId_ = 0;
    hostSystemId_ = 0;
    idReply_.reset();
    snapshot_.reset();
    joinError_.reset();
    announcedDuringJoin_.clear();
}

// In a session whose host relays, everything for the others goes through the host, from the
// announcement of our player on; the join itself speaks to the host alone anyway.
const RemoteMachine* DirectPlayClient::Relay() const {
    return (desc_.flags & session_flags::kMulticastServer) != 0 ? Host() : nullptr;
}

const RemoteMachine* DirectPlayClient::Host() const {
    const auto found = machines_.find(hostSystemId_);
    return found == machines_.end() ? nullptr : &found->second;
}

uint32_t DirectPlayClient::RequestId(uint32_t flags, const std::string& what) {
    const RemoteMachine* host = Host();
    if (host == nullptr) {
        FailJoin("Not joined to a session");
    }
    idReply_.reset();
    Send(*host, RequestPlayerId{flags});
    if (!WaitFor([this] { return idReply_.has_value(); }, timings_.replyTimeoutMs)) {
        FailJoin("The host did not answer the " + what + " request within " +
                 std::to_string(timings_.replyTimeoutMs / 1000) + " seconds");
    }
    if (idReply_->result != 0) {
        FailJoin("The host refused: " + ErrorText(idReply_->result));
    }
    return idReply_->id;
}

void DirectPlayClient::Join(const FoundSession& session) {
    using namespace session_flags;
    if (session.desc.flags & kSecureServer) {
        throw DirectPlayError("The session requires a secure logon, which is not supported");
    }
    if (session.desc.flags & (kReliableProtocol | kClientServer)) {
        throw DirectPlayError(
            "The session uses a DirectPlay mode that is not supported (reliable protocol or "
            "client/server)");
    }
    if (joined_) {
        Leave();
    }
    EnsureOpen();
    Reset();
    desc_ = session.desc;
    version_ = session.version;
    const std::string where =
        session.hostIp.toString().toStdString() + ":" + std::to_string(session.hostPort);
    AddMachine(RemoteMachine{0, session.hostIp, session.hostPort, session.hostPort, version_});

    try {
        systemId_ = RequestId(player_flags::kSystemPlayer | player_flags::kLocal, "join");
    } catch (const DirectPlayError& error) {
        FailJoin(std::string(error.what()) + " (host " + where + ")");
    }
    snapshot_.reset();
    joinError_.reset();
    AddForwardRequest request;
    request.playerId = systemId_;
    request.player =
        LocalSystemPlayer(player_flags::kSystemPlayer | player_flags::kLocal, version_);
    request.tickCount = static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch());
    Send(*Host(), request);
    WaitFor([this] { return snapshot_.has_value() || joinError_.has_value(); },
            timings_.joinTimeoutMs);
    if (joinError_) {
        FailJoin("The host refused the join: " + ErrorText(*joinError_));
    }
    if (!snapshot_) {
        FailJoin("The host at " + where + " did not send the player list");
    }
    LoadNameTable(*snapshot_, session.hostIp);
    for (const auto& [announced, origin] : announcedDuringJoin_) {
        AddForwardedMachine(announced, origin);
    }
    announcedDuringJoin_.clear();
    players_[systemId_] = LocalSystemPlayer(player_flags::kSystemPlayer, version_);
    joined_ = true;
    StartKeepAlive();
}

// Real hosts differ in what they put in the name table: every entry is taken whether it
// carries address data or not. A machine is reached at its system player's addresses, else at
// those of one of its players; a machine known by neither address cannot be reached.
void DirectPlayClient::LoadNameTable(const SuperEnumPlayersReply& snapshot,
                                     const QHostAddress& hostIp) {
    desc_ = snapshot.desc;
    RemoteMachine host = machines_.at(0);
    machines_.clear();
    for (const PlayerInfo& player : snapshot.players) {
        if (player.id == systemId_ || players_.size() >= kMaxPlayers) {
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
    if (machines_.count(hostSystemId_) == 0) {
        AddMachine(host);  // a host that did not list itself keeps the provisional entry
    }
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

uint32_t DirectPlayClient::CreatePlayer(const std::u16string& shortName,
                                        const std::u16string& longName) {
    if (!joined()) {
        throw DirectPlayError(lost() ? "The session was lost: " + lostReason()
                                     : "Not joined to a session");
    }
    const uint32_t id = RequestId(player_flags::kLocal, "new player");
    AddLocalPlayer(id, shortName, longName);
    AnnounceLocalPlayer(id);
    return id;
}

void DirectPlayClient::DestroyPlayer(uint32_t id) {
    if (!lost()) {
        RetireLocalPlayer(id);
    }
}

void DirectPlayClient::Leave() {
    if (joined()) {
        for (uint32_t id : std::vector<uint32_t>(localPlayers_.begin(), localPlayers_.end())) {
            RetireLocalPlayer(id);
        }
        SendToEveryMachine(DeletePlayer{0, systemId_});
    }
    FlushAndClose();
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
    if (player.id != systemId_ && players_.size() < kMaxPlayers && stream.port != 0) {
        player.flags |= player_flags::kSystemPlayer;
        AddPlayer(player);
        AddMachine(
            MachineAddressedBy(player.id, player, origin.sourceIp, ClampVersion(player.version)));
    }
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
        if (systemId_ != 0) {
            OnAddForward(*added, origin);
        }
    } else if (std::holds_alternative<SessionDescChanged>(message)) {
        // Only the host describes the session; another machine's word on it is ignored.
        return Host() == nullptr || origin.sourceIp != Host()->ip;
    } else if (std::holds_alternative<YouAreDead>(message)) {
        // Only the host may declare us dead; anyone else could end our session with it.
        if (joined_ && Host() != nullptr && origin.sourceIp == Host()->ip) {
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
