#include "directplay/DirectPlayHost.h"

#include <QRandomGenerator>

namespace scopewatch::directplay {

namespace {
// Ids handed out but never used are forgotten after this many; a flood of id requests
// cannot use up the id space.
constexpr size_t kMaxIssuedIds = 64;
constexpr uint32_t kSystemHostFlags =
    player_flags::kSystemPlayer | player_flags::kNameServer | player_flags::kInGroup;

PortPlan ListeningForEnumeration(PortPlan plan) {
    plan.listenForEnumeration = true;
    return plan;
}

Guid RandomGuid() {
    Guid guid{};
    for (uint8_t& byte : guid) {
        byte = static_cast<uint8_t>(QRandomGenerator::global()->bounded(256));
    }
    return guid;
}
}  // namespace

DirectPlayHost::DirectPlayHost(PortPlan plan, Timings timings, TransportLimits limits)
    : peer_(ListeningForEnumeration(std::move(plan)), timings, limits, false) {
    peer_.transport().SetMessageHandler(
        [this](const Decoded& decoded, const Origin& origin) { OnMessage(decoded, origin); });
    peer_.keepAlive().SetGoneHandler([this](uint32_t systemId, const std::string& reason, bool) {
        OnMachineGone(systemId, reason);
    });
    peer_.SetMachineRemovedListener([this](uint32_t systemId) { OnMachineRemoved(systemId); });
}

DirectPlayHost::~DirectPlayHost() = default;

Status DirectPlayHost::Start(const HostSettings& settings) {
    if (const Status opened = peer_.Open(); !opened.ok()) {
        return opened;
    }
    sessionName_ = settings.sessionName;
    SessionDesc desc;
    desc.flags = settings.flags;
    desc.instance = RandomGuid();
    desc.application = settings.application;
    desc.maxPlayers = settings.maxPlayers;
    // Ids are (counter << 16 | slot) XOR this mask. The mask keeps the top bit and the low
    // half clear, so every id is positive and never 0: the program treats ids <= 0 as failure.
    idMask_ = QRandomGenerator::global()->generate() & 0x7FFF0000;
    desc.reserved1 = idMask_;
    NameTable& table = peer_.table();
    table.SetDesc(desc);
    table.SetDialect(kNewestVersion);
    table.SetSystemId(AllocateId());
    table.SetHostSystemId(table.systemId());
    issuedIds_.erase(table.systemId());
    table.ListOwnSystemPlayer(kSystemHostFlags);
    running_ = true;
    peer_.keepAlive().Start();
    const DirectPlayTransport& transport = peer_.transport();
    peer_.log().Line("hosting \"" + std::string(sessionName_.begin(), sessionName_.end()) +
                     "\" on stream port " + std::to_string(transport.streamPort()) +
                     ", datagram port " + std::to_string(transport.datagramPort()) +
                     ", enumeration port " + std::to_string(transport.plan().enumPort));
    return Status::Done();
}

// A machine that asks again for its id while the one it was given is unused (the answer was
// slow or lost) is given the same id again: it never holds two.
uint32_t DirectPlayHost::AllocateId(const std::string& machineAt) {
    const qint64 now = peer_.ElapsedMs();
    std::erase_if(issuedIds_, [&](const auto& issued) {
        return now - issued.second.atMs > peer_.timings().joinTimeoutMs;
    });
    for (auto& [id, issued] : issuedIds_) {
        if (!machineAt.empty() && issued.machineAt == machineAt) {
            issued.atMs = now;
            return id;
        }
    }
    if (issuedIds_.size() >= kMaxIssuedIds) {
        return 0;
    }
    std::set<uint32_t> usedSlots;
    for (const auto& entry : peer_.table().players()) {
        usedSlots.insert((entry.first ^ idMask_) & 0xFFFF);
    }
    for (const auto& entry : issuedIds_) {
        usedSlots.insert((entry.first ^ idMask_) & 0xFFFF);
    }
    uint32_t slot = 1;
    while (usedSlots.count(slot) != 0 && slot < 0xFFFF) {
        ++slot;
    }
    if (usedSlots.count(slot) != 0) {
        return 0;
    }
    idCounter_ = (idCounter_ + 1) & 0x7FFF;
    const uint32_t id = ((idCounter_ << 16) | slot) ^ idMask_;
    issuedIds_[id] = IssuedId{now, machineAt};
    return id;
}

uint32_t DirectPlayHost::CurrentPlayers() const {
    return static_cast<uint32_t>(peer_.table().ApplicationPlayerIds().size());
}

SessionDesc DirectPlayHost::CurrentDesc() const {
    SessionDesc desc = peer_.table().desc();
    desc.currentPlayers = CurrentPlayers();
    return desc;
}

bool DirectPlayHost::Full() const {
    return CurrentPlayers() >= peer_.table().desc().maxPlayers;
}

uint32_t DirectPlayHost::CreatePlayer(const std::u16string& shortName,
                                      const std::u16string& longName) {
    if (!running_ || Full()) {
        return 0;
    }
    const uint32_t id = AllocateId();
    if (id == 0) {
        return 0;
    }
    issuedIds_.erase(id);
    peer_.AddLocalPlayer(id, shortName, longName);
    peer_.AnnounceLocalPlayer(id);
    return id;
}

void DirectPlayHost::DestroyPlayer(uint32_t id) {
    peer_.RetireLocalPlayer(id);
}

void DirectPlayHost::Stop() {
    if (!running_) {
        return;
    }
    peer_.SayGoodbye();
    pendingJoins_.clear();
    peer_.CloseWhenSent();
    running_ = false;
}

// ---- incoming ----------------------------------------------------------------------------

void DirectPlayHost::OnMessage(const Decoded& decoded, const Origin& origin) {
    if (!peer_.Take(decoded, origin, false)) {
        return;
    }
    if (!HandleHostMessage(decoded, origin)) {
        peer_.HandleCommon(decoded, origin);
    }
    peer_.NameConnection(decoded, origin);
}

// What the host's role adds: enumeration, ids, joins, a stranger's ping told it is not in the
// session, and only the players whose ids we handed out.
bool DirectPlayHost::HandleHostMessage(const Decoded& decoded, const Origin& origin) {
    const Message& message = decoded.message;
    if (const auto* enumeration = std::get_if<EnumSessions>(&message)) {
        OnEnumSessions(*enumeration, decoded, origin);
    } else if (const auto* request = std::get_if<RequestPlayerId>(&message)) {
        OnRequestPlayerId(*request, decoded, origin);
    } else if (const auto* forward = std::get_if<AddForwardRequest>(&message)) {
        OnAddForwardRequest(*forward, decoded, origin);
    } else if (const auto* ack = std::get_if<AddForwardAck>(&message)) {
        OnAddForwardAck(*ack, decoded, origin);
    } else if (const auto* ping = std::get_if<Ping>(&message)) {
        if (peer_.table().HasPlayer(ping->idFrom)) {
            return false;
        }
        peer_.outbox().Reply(origin, decoded, YouAreDead{});
    } else if (const auto* create = std::get_if<directplay::CreatePlayer>(&message)) {
        // Only a player whose id we handed out, from a machine that is in the session: any
        // other is dropped here.
        const bool issued = issuedIds_.erase(create->playerId) != 0;
        return !issued && !peer_.table().HasPlayer(create->playerId);
    } else {
        return false;
    }
    return true;
}

void DirectPlayHost::OnEnumSessions(const EnumSessions& request, const Decoded& decoded,
                                    const Origin& origin) {
    const Guid none{};
    const SessionDesc& desc = peer_.table().desc();
    const bool application = request.application == none || request.application == desc.application;
    const bool available = (request.flags & enum_flags::kAvailable) == 0 ||
                           (!Full() && (desc.flags & session_flags::kJoinDisabled) == 0);
    if (!running_ || !application || !available || decoded.sender.port == 0) {
        return;
    }
    peer_.outbox().Reply(origin, decoded, EnumSessionsReply{CurrentDesc(), sessionName_});
}

void DirectPlayHost::OnRequestPlayerId(const RequestPlayerId& request, const Decoded& decoded,
                                       const Origin& origin) {
    const bool machine = (request.flags & player_flags::kSystemPlayer) != 0;
    const uint32_t closedFlag =
        machine ? session_flags::kJoinDisabled : session_flags::kNewPlayersDisabled;
    const bool refuse = Full() || (peer_.table().desc().flags & closedFlag) != 0;
    const std::string machineAt =
        machine ? Where(ReplyAddress(origin, decoded.sender), decoded.sender.port) : "";
    const uint32_t id = refuse ? 0 : AllocateId(machineAt);
    peer_.outbox().Reply(origin, decoded, RequestPlayerReply{id, id == 0 ? kErrorNoNewPlayers : 0});
}

std::optional<PlayerInfo> DirectPlayHost::NameTableEntry(const PlayerInfo& player,
                                                         uint16_t dialect) const {
    const bool isSystem = (player.flags & player_flags::kSystemPlayer) != 0;
    const uint32_t owner = isSystem ? player.id : player.systemPlayerId;
    if (owner == systemId()) {
        const NameTable& table = peer_.table();
        PlayerInfo entry = table.IsLocal(player.id)
                               ? table.LocalApplicationPlayer(player.id, dialect)
                               : table.LocalSystemPlayer(kSystemHostFlags, dialect);
        entry.flags &= ~player_flags::kLocal;  // "local" means local to the sender only
        return entry;
    }
    const RemoteMachine* machine = peer_.table().FindMachine(owner);
    if (machine == nullptr) {
        return std::nullopt;
    }
    PlayerInfo entry = player;
    entry.flags &= ~player_flags::kLocal;
    entry.systemPlayerId = owner;
    const uint32_t ip = machine->ip.toIPv4Address();
    entry.streamAddress = SockAddr{machine->streamPort, ip};
    entry.datagramAddress = SockAddr{machine->datagramPort, ip};
    if (isSystem) {
        entry.version = machine->version;
    }
    return entry;
}

void DirectPlayHost::OnAddForwardRequest(const AddForwardRequest& request, const Decoded& decoded,
                                         const Origin& origin) {
    const uint32_t joinerId = request.playerId;
    // The joiner's stream port is in the header; a header without one still has it in the
    // system player's address data.
    const uint16_t streamPort = decoded.sender.port != 0
                                    ? decoded.sender.port
                                    : request.player.streamAddress.value_or(SockAddr{}).port;
    if (streamPort == 0 || issuedIds_.erase(joinerId) == 0) {
        return;  // not an id we handed out for a joining machine, or nowhere to answer
    }
    RemoteMachine machine;
    machine.systemId = joinerId;
    machine.ip = ReplyAddress(origin, decoded.sender);
    machine.streamPort = streamPort;
    machine.datagramPort =
        request.player.datagramAddress ? request.player.datagramAddress->port : machine.streamPort;
    machine.version = ClampVersion(request.player.version);

    PlayerInfo system = request.player;
    system.id = joinerId;
    system.systemPlayerId = joinerId;
    system.flags = player_flags::kSystemPlayer | player_flags::kInGroup;
    system.version = machine.version;
    system.streamAddress = SockAddr{machine.streamPort, machine.ip.toIPv4Address()};
    system.datagramAddress = SockAddr{machine.datagramPort, machine.ip.toIPv4Address()};

    AnnounceJoiner(machine, system);
}

// The others learn about the new machine first; the joiner gets the name table once they
// have acknowledged, or after a bounded wait.
void DirectPlayHost::AnnounceJoiner(const RemoteMachine& joiner, const PlayerInfo& system) {
    const uint32_t joinerId = joiner.systemId;
    PendingJoin pending;
    peer_.outbox().ForEachMachine([&](const RemoteMachine& other) {
        pending.waitingFor.insert(other.systemId);
        peer_.outbox().Send(other, AddForward{other.systemId, joinerId, system});
    });
    // A machine whose send failed at once has been dropped meanwhile: no answer will come.
    std::erase_if(pending.waitingFor,
                  [this](uint32_t id) { return peer_.table().FindMachine(id) == nullptr; });
    peer_.AddMachine(joiner);
    peer_.AddPlayer(system);
    if (pending.waitingFor.empty()) {
        FinishJoin(joinerId);
        return;
    }
    pending.timer = std::make_unique<QTimer>();
    pending.timer->setSingleShot(true);
    connect(pending.timer.get(), &QTimer::timeout, this,
            [this, joinerId] { FinishJoin(joinerId); });
    pending.timer->start(peer_.timings().addForwardWaitMs);
    pendingJoins_[joinerId] = std::move(pending);
}

void DirectPlayHost::OnAddForwardAck(const AddForwardAck& ack, const Decoded& decoded,
                                     const Origin& origin) {
    const auto pending = pendingJoins_.find(ack.id);
    const auto sender = peer_.table().SenderMachine(decoded, origin);
    if (pending == pendingJoins_.end() || !sender) {
        return;
    }
    pending->second.waitingFor.erase(*sender);
    if (pending->second.waitingFor.empty()) {
        FinishJoin(ack.id);
    }
}

void DirectPlayHost::FinishJoin(uint32_t joinerId) {
    pendingJoins_.erase(joinerId);
    const RemoteMachine* joiner = peer_.table().FindMachine(joinerId);
    if (joiner == nullptr) {
        return;
    }
    const RemoteMachine machine = *joiner;
    const uint16_t dialect = peer_.table().DialectWith(machine);
    SuperEnumPlayersReply snapshot;
    snapshot.desc = CurrentDesc();
    snapshot.name = sessionName_;
    // System players first, so a reader knows every machine before its players.
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [id, player] : peer_.table().players()) {
            const bool isSystem = (player.flags & player_flags::kSystemPlayer) != 0;
            if (isSystem != (pass == 0)) {
                continue;
            }
            if (auto entry = NameTableEntry(player, dialect)) {
                snapshot.players.push_back(std::move(*entry));
            }
        }
    }
    peer_.outbox().Send(machine, snapshot);
}

void DirectPlayHost::OnMachineGone(uint32_t systemId, const std::string& reason) {
    if (peer_.table().FindMachine(systemId) == nullptr) {
        return;
    }
    peer_.log().Line("machine " + std::to_string(systemId) + " is gone (" + reason + ")");
    const std::vector<uint32_t> owned = peer_.table().PlayersOf(systemId);
    peer_.RemoveMachine(systemId);
    for (uint32_t id : owned) {
        peer_.outbox().SendToEveryMachine(DeletePlayer{0, id});
    }
    peer_.outbox().SendToEveryMachine(DeletePlayer{0, systemId});
}

// A machine that leaves, with or without a word, no longer holds up the joins that wait for
// its acknowledgement; its own join, if it was joining, is over.
void DirectPlayHost::OnMachineRemoved(uint32_t systemId) {
    pendingJoins_.erase(systemId);
    std::vector<uint32_t> unblocked;
    for (auto& [joiner, pending] : pendingJoins_) {
        if (pending.waitingFor.erase(systemId) != 0 && pending.waitingFor.empty()) {
            unblocked.push_back(joiner);
        }
    }
    for (uint32_t joiner : unblocked) {
        FinishJoin(joiner);
    }
}

}  // namespace scopewatch::directplay
