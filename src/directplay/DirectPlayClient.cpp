#include "directplay/DirectPlayClient.h"

#include <QDateTime>
#include <QHostInfo>

#include "directplay/HostsNameTable.h"

namespace scopewatch::directplay {

namespace {
// Once a host we named answers, the search waits this long for late duplicates, not the
// whole window.
constexpr int kNamedHostGraceMs = 300;
constexpr size_t kMaxFoundSessions = 256;
constexpr const char* kBusy = "The session is busy with another operation";

PortPlan WithoutEnumerationPort(PortPlan plan) {
    plan.listenForEnumeration = false;
    return plan;
}
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
    : peer_(WithoutEnumerationPort(std::move(plan)), timings, {}, true) {
    peer_.transport().SetMessageHandler(
        [this](const Decoded& decoded, const Origin& origin) { OnMessage(decoded, origin); });
    peer_.keepAlive().SetGoneHandler(
        [this](uint32_t systemId, const std::string& reason, bool unanswered) {
            OnMachineGone(systemId, reason, unanswered);
        });
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] { OnDeadline(); });
    connect(&resend_, &QTimer::timeout, this, [this] { SendRequest(); });
}

DirectPlayClient::~DirectPlayClient() = default;

// ---- the state -----------------------------------------------------------------------------

// The change is signalled from the event loop: a follower never acts inside our calls or our
// handling of a message, and one that stopped following meanwhile hears nothing.
bool DirectPlayClient::Advance(JoinEvent event) {
    const auto next = NextJoinState(state_, event);
    if (!next) {
        return false;
    }
    if (*next == state_) {
        return true;
    }
    const JoinState from = std::exchange(state_, *next);
    if (!UnderWay(state_)) {
        deadline_.stop();
        resend_.stop();
    }
    peer_.log().Line("join state: " + StateName(state_));
    QMetaObject::invokeMethod(
        this, [this, from, to = state_] { emit stateChanged(from, to); }, Qt::QueuedConnection);
    return true;
}

void DirectPlayClient::Fail(const std::string& reason) {
    failure_ = reason;
    if (state_ != JoinState::kLookingUpHost && state_ != JoinState::kListing) {
        LeaveSession();
    }
    Advance(JoinEvent::kFailed);
}

void DirectPlayClient::Lose(const std::string& reason) {
    if (!NextJoinState(state_, JoinEvent::kSessionBroke)) {
        return;
    }
    peer_.log().Line("session lost: " + reason);
    peer_.CloseNow();
    if (UnderWay(state_)) {
        failure_ = reason + (state_ == JoinState::kRequestingMachineId ? HostPlace() : "");
        Reset();
    } else {
        lostReason_ = reason;
    }
    Advance(JoinEvent::kSessionBroke);
}

Status DirectPlayClient::EnsureOpen() {
    if (peer_.transport().streamPort() == 0) {
        Reset();  // fresh sockets: whatever was lost before is history
    }
    return peer_.Open();
}

void DirectPlayClient::Reset() {
    peer_.Clear();
    lostReason_.clear();
}

// ---- enumeration -------------------------------------------------------------------------

Status DirectPlayClient::Enumerate(const std::string& hostAddress, int windowMs) {
    if (busy()) {
        return Status::Failed(kBusy);
    }
    if (joined()) {
        LeaveSession();
    }
    if (const Status opened = EnsureOpen(); !opened.ok()) {
        return opened;
    }
    failure_.clear();
    found_.clear();
    search_.windowMs = windowMs;
    const QString text = QString::fromStdString(hostAddress).trimmed();
    QHostAddress address;
    if (text.isEmpty()) {
        Collect(QHostAddress(QHostAddress::Broadcast), false);
    } else if (address.setAddress(text)) {
        Collect(address, true);
    } else {
        LookUpHost(text.toStdString());
    }
    return Status::Done();
}

// A host name is looked up without blocking; an answer that comes after we gave up is
// dropped.
void DirectPlayClient::LookUpHost(const std::string& hostName) {
    Advance(JoinEvent::kListByName);
    search_.hostName = hostName;
    const int lookup = ++search_.lookup;
    QHostInfo::lookupHost(QString::fromStdString(hostName), this,
                          [this, lookup](const QHostInfo& answer) {
                              if (state_ != JoinState::kLookingUpHost || lookup != search_.lookup) {
                                  return;
                              }
                              for (const QHostAddress& candidate : answer.addresses()) {
                                  if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
                                      Collect(candidate, true);
                                      return;
                                  }
                              }
                              OnDeadline();
                          });
    deadline_.start(peer_.timings().lookupTimeoutMs);
}

// UDP may be lost: the request goes three times within the window. A named host is also
// asked over TCP, since some hosts listen for enumeration there.
void DirectPlayClient::Collect(const QHostAddress& target, bool named) {
    Advance(state_ == JoinState::kLookingUpHost ? JoinEvent::kHostFound : JoinEvent::kListAt);
    search_.target = target;
    search_.named = named;
    SendRequest();
    if (named) {
        peer_.outbox().SendStream(target, peer_.transport().plan().enumPort, EnumSessions{},
                                  kNewestVersion);
    }
    resend_.start(std::max(search_.windowMs / 3, 100));
    deadline_.start(std::max(search_.windowMs, 0));
}

void DirectPlayClient::FinishWindow() {
    if (search_.named) {
        peer_.transport().Disconnect(search_.target, peer_.transport().plan().enumPort);
    }
    Advance(JoinEvent::kWindowOver);
}

void DirectPlayClient::OnEnumReply(const EnumSessionsReply& reply, const Decoded& decoded,
                                   const Origin& origin) {
    if (found_.size() >= kMaxFoundSessions) {
        return;
    }
    for (const FoundSession& session : found_) {
        if (session.desc.instance == reply.desc.instance) {
            return;
        }
    }
    found_.push_back(FoundSession{reply.desc, reply.name, ReplyAddress(origin, decoded.sender),
                                  decoded.sender.port, ClampVersion(decoded.version)});
    if (search_.named && found_.size() == 1 && deadline_.remainingTime() > kNamedHostGraceMs) {
        deadline_.start(kNamedHostGraceMs);  // the named host answered: the others are late
    }
}

// ---- joining -----------------------------------------------------------------------------

Status DirectPlayClient::Join(const FoundSession& session) {
    using namespace session_flags;
    if (busy()) {
        return Status::Failed(kBusy);
    }
    if (session.desc.flags & kSecureServer) {
        return Status::Failed("The session requires a secure logon, which is not supported");
    }
    if (session.desc.flags & (kReliableProtocol | kClientServer)) {
        return Status::Failed(
            "The session uses a DirectPlay mode that is not supported (reliable protocol or "
            "client/server)");
    }
    if (joined()) {
        LeaveSession();
    }
    if (const Status opened = EnsureOpen(); !opened.ok()) {
        return opened;
    }
    Reset();
    failure_.clear();
    joining_ = session;
    NameTable& table = peer_.table();
    table.SetDesc(session.desc);
    table.SetDialect(session.version);
    // The host is known by its address alone until its name table names its system player.
    peer_.AddMachine(
        RemoteMachine{0, session.hostIp, session.hostPort, session.hostPort, table.dialect()});
    Advance(JoinEvent::kJoin);
    deadline_.start(peer_.timings().joinTimeoutMs);
    SendRequest();
    return Status::Done();
}

// The id request's failure names the host, so a user knows which machine did not answer.
std::string DirectPlayClient::HostPlace() const {
    return " (host " + Where(joining_.hostIp, joining_.hostPort) + ")";
}

void DirectPlayClient::SendRequest() {
    const NameTable& table = peer_.table();
    const RemoteMachine* host = table.HostMachine();
    constexpr uint32_t kJoiner = player_flags::kSystemPlayer | player_flags::kLocal;
    if (state_ == JoinState::kListing) {
        peer_.outbox().SendDatagram(search_.target, peer_.transport().plan().enumPort,
                                    EnumSessions{}, kNewestVersion);
        peer_.log().Line("sent to " + Where(search_.target, peer_.transport().plan().enumPort) +
                         " (udp) ENUMSESSIONS");
        return;
    }
    if (host == nullptr) {
        return;
    }
    if (state_ == JoinState::kRequestingMachineId) {
        peer_.outbox().Send(*host, RequestPlayerId{kJoiner});
    } else if (state_ == JoinState::kAwaitingNameTable) {
        const auto tickCount = static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch());
        peer_.outbox().Send(
            *host,
            AddForwardRequest{0, table.systemId(),
                              table.LocalSystemPlayer(kJoiner, table.dialect()), u"", tickCount});
    } else if (state_ == JoinState::kRequestingPlayerId) {
        peer_.outbox().Send(*host, RequestPlayerId{player_flags::kLocal});
    } else {
        return;
    }
    resend_.start(peer_.timings().replyTimeoutMs);
}

void DirectPlayClient::OnDeadline() {
    const std::string seconds = std::to_string(peer_.timings().joinTimeoutMs / 1000);
    switch (state_) {
        case JoinState::kLookingUpHost:
            Fail("The host name " + search_.hostName + " could not be found");
            break;
        case JoinState::kListing:
            FinishWindow();
            break;
        case JoinState::kRequestingMachineId:
            Fail("The host did not answer the join request within " + seconds + " seconds" +
                 HostPlace());
            break;
        case JoinState::kAwaitingNameTable:
            Fail("The host at " + Where(joining_.hostIp, joining_.hostPort) +
                 " did not send the player list");
            break;
        case JoinState::kRequestingPlayerId:
            Fail("The host did not answer the new player request within " + seconds + " seconds");
            break;
        default:
            break;
    }
}

// Answers that come late, or twice (to a request sent again), are dropped.
void DirectPlayClient::OnIdReply(const RequestPlayerReply& reply) {
    const JoinState asked = state_;
    if (asked != JoinState::kRequestingMachineId && asked != JoinState::kRequestingPlayerId) {
        return;
    }
    if (reply.result != 0) {
        Fail("The host refused: " + ErrorText(reply.result) +
             (asked == JoinState::kRequestingMachineId ? HostPlace() : ""));
        return;
    }
    if (asked == JoinState::kRequestingMachineId) {
        peer_.table().SetSystemId(reply.id);
        Advance(JoinEvent::kIdGranted);
        SendRequest();
        return;
    }
    peer_.AddLocalPlayer(reply.id, newPlayer_.shortName, newPlayer_.longName);
    peer_.AnnounceLocalPlayer(reply.id);
    createdPlayer_ = reply.id;
    Advance(JoinEvent::kIdGranted);
}

void DirectPlayClient::OnNameTable(const SuperEnumPlayersReply& snapshot) {
    if (state_ != JoinState::kAwaitingNameTable) {
        return;
    }
    if (!TakeHostsNameTable(peer_, snapshot, joining_.hostIp)) {
        Fail("The host left the session while we joined it");
        return;
    }
    peer_.table().ListOwnSystemPlayer(player_flags::kSystemPlayer);
    peer_.keepAlive().Start();
    Advance(JoinEvent::kNameTable);
}

// The host waits for our acknowledgement before it lets the announced machine in, so it is
// sent at once, also while our own join is still waiting for its name table.
void DirectPlayClient::OnAddForward(const AddForward& message, const Origin& origin) {
    NameTable& table = peer_.table();
    PlayerInfo player = message.player;
    player.id = message.playerId;
    const SockAddr stream = player.streamAddress.value_or(SockAddr{});
    if (player.id != table.systemId() && table.players().size() < kMaxPlayers && stream.port != 0) {
        player.flags |= player_flags::kSystemPlayer;
        peer_.AddPlayer(player);
        peer_.AddMachine(NameTable::MachineAddressedBy(player.id, player, origin.sourceIp,
                                                       ClampVersion(player.version)));
    }
    if (const RemoteMachine* host = table.HostMachine()) {
        peer_.outbox().Send(*host, AddForwardAck{message.playerId});
    }
}

// ---- our player and leaving ----------------------------------------------------------------

Status DirectPlayClient::CreatePlayer(const std::u16string& shortName,
                                      const std::u16string& longName) {
    if (busy()) {
        return Status::Failed(kBusy);
    }
    if (!joined() || peer_.table().HostMachine() == nullptr) {
        return Status::Failed(lost() ? "The session was lost: " + lostReason_
                                     : "Not joined to a session");
    }
    failure_.clear();
    newPlayer_ = NewPlayer{shortName, longName};
    Advance(JoinEvent::kCreatePlayer);
    deadline_.start(peer_.timings().joinTimeoutMs);
    SendRequest();
    return Status::Done();
}

void DirectPlayClient::DestroyPlayer(uint32_t id) {
    if (!lost()) {
        peer_.RetireLocalPlayer(id);
    }
}

void DirectPlayClient::Leave() {
    LeaveSession();
    Advance(JoinEvent::kLeave);
}

void DirectPlayClient::LeaveSession() {
    if (joined()) {
        peer_.SayGoodbye();
    }
    peer_.CloseWhenSent();
    Reset();
}

// ---- receiving -----------------------------------------------------------------------------

void DirectPlayClient::OnMessage(const Decoded& decoded, const Origin& origin) {
    if (lost() || !peer_.Take(decoded, origin, state_ == JoinState::kListing)) {
        return;
    }
    if (!HandleJoinMessage(decoded, origin)) {
        peer_.HandleCommon(decoded, origin);
    }
    if (!lost()) {
        peer_.NameConnection(decoded, origin);
    }
}

// What the joiner's role adds: the search's and the join's answers, the machines the host
// announces, and the host's word that the session is over for us.
bool DirectPlayClient::HandleJoinMessage(const Decoded& decoded, const Origin& origin) {
    const Message& message = decoded.message;
    if (const auto* reply = std::get_if<EnumSessionsReply>(&message)) {
        OnEnumReply(*reply, decoded, origin);
    } else if (const auto* idReply = std::get_if<RequestPlayerReply>(&message)) {
        OnIdReply(*idReply);
    } else if (const auto* snapshot = std::get_if<SuperEnumPlayersReply>(&message)) {
        OnNameTable(*snapshot);
    } else if (const auto* refused = std::get_if<AddForwardReply>(&message)) {
        if (state_ == JoinState::kAwaitingNameTable) {
            Fail("The host refused the join: " + ErrorText(refused->error));
        }
    } else if (const auto* added = std::get_if<AddForward>(&message)) {
        if (peer_.table().systemId() != 0) {
            OnAddForward(*added, origin);
        }
    } else if (std::holds_alternative<YouAreDead>(message)) {
        if (joined()) {
            Lose("the host removed this machine from the session");
        }
    } else if (const auto* removed = std::get_if<DeletePlayer>(&message)) {
        if (!joined() || removed->playerId != peer_.table().hostSystemId()) {
            return false;
        }
        Lose("the host ended the session");
    } else {
        return false;
    }
    return true;
}

// The host tells us when another machine is gone. While we ask the host for something, a
// connection it did not accept in time may have lost its handshakes on a lossy link: the request
// goes again over a new one, until the operation's time is up.
void DirectPlayClient::OnMachineGone(uint32_t systemId, const std::string& reason,
                                     bool unanswered) {
    const RemoteMachine* host = peer_.table().HostMachine();
    if (systemId != peer_.table().hostSystemId() || host == nullptr) {
        return;
    }
    if (unanswered && busy()) {
        SendRequest();
        return;
    }
    Lose("the host at " + Where(host->ip, host->streamPort) + " " + reason);
}

}  // namespace scopewatch::directplay
