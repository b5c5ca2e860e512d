#include "directplay/DirectPlayHost.h"

#include <QRandomGenerator>

namespace scopewatch::directplay {

namespace {
// Ids handed out but never used are forgotten after this many; a flood of id requests
// cannot use up the id space.
constexpr size_t kMaxIssuedIds = 64;
constexpr uint32_t kSystemHostFlags =
    player_flags::kSystemPlayer | player_flags::kNameServer | player_flags::kInGroup;

Guid RandomGuid() {
    Guid guid{};
    for (uint8_t& byte : guid) {
        byte = static_cast<uint8_t>(QRandomGenerator::global()->bounded(256));
    }
    return guid;
}
}  // namespace

DirectPlayHost::DirectPlayHost(PortPlan plan, Timings timings, TransportLimits limits)
    : DirectPlayPeer(
          [&plan] {
              plan.listenForEnumeration = true;
              return plan;
          }(),
          timings, limits) {}

DirectPlayHost::~DirectPlayHost() = default;

std::optional<std::string> DirectPlayHost::Start(const HostSettings& settings) {
    if (const auto error = transport().Open()) {
        return error;
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
    SetSessionDesc(desc);
    SetDialect(kNewestVersion);
    SetSystemId(AllocateId());
    issuedIds_.erase(systemId());
    ListOwnSystemPlayer(kSystemHostFlags);
    running_ = true;
    StartKeepAlive();
    LogLine("hosting \"" + std::string(sessionName_.begin(), sessionName_.end()) +
            "\" on stream port " + std::to_string(transport().streamPort()) + ", datagram port " +
            std::to_string(transport().datagramPort()) + ", enumeration port " +
            std::to_string(transport().plan().enumPort));
    return std::nullopt;
}

uint32_t DirectPlayHost::AllocateId() {
    const qint64 now = ElapsedMs();
    for (auto it = issuedIds_.begin(); it != issuedIds_.end();) {
        it = now - it->second > timings().joinTimeoutMs ? issuedIds_.erase(it) : std::next(it);
    }
    if (issuedIds_.size() >= kMaxIssuedIds) {
        return 0;
    }
    std::set<uint32_t> usedSlots;
    for (const auto& entry : players()) {
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
    issuedIds_[id] = now;
    return id;
}

uint32_t DirectPlayHost::CurrentPlayers() const {
    uint32_t count = 0;
    for (const auto& [id, player] : players()) {
        count += (player.flags & player_flags::kSystemPlayer) == 0 ? 1 : 0;
    }
    return count;
}

SessionDesc DirectPlayHost::CurrentDesc() const {
    SessionDesc desc = this->desc();
    desc.currentPlayers = CurrentPlayers();
    return desc;
}

bool DirectPlayHost::Full() const {
    return CurrentPlayers() >= desc().maxPlayers;
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
    AddLocalPlayer(id, shortName, longName);
    AnnounceLocalPlayer(id);
    return id;
}

void DirectPlayHost::DestroyPlayer(uint32_t id) {
    RetireLocalPlayer(id);
}

void DirectPlayHost::Stop() {
    if (!running_) {
        return;
    }
    for (uint32_t id : LocalPlayerIds()) {
        RetireLocalPlayer(id);
    }
    SendToEveryMachine(DeletePlayer{0, systemId()});
    pendingJoins_.clear();
    CloseWhenSent();
    running_ = false;
}

// ---- incoming ----------------------------------------------------------------------------

// Anyone may look for the session, ask to join it or ping us (a stranger's ping is told it is
// not in the session); a player is deleted or renamed by its own machine; the rest comes from
// the machines of the session, and what only a host sends is nobody's to send us.
bool DirectPlayHost::Admits(const Decoded& decoded, const Origin& origin) const {
    const Message& message = decoded.message;
    if (std::holds_alternative<EnumSessions>(message) ||
        std::holds_alternative<RequestPlayerId>(message) ||
        std::holds_alternative<AddForwardRequest>(message) ||
        std::holds_alternative<Ping>(message)) {
        return true;
    }
    if (std::holds_alternative<EnumSessionsReply>(message) ||
        std::holds_alternative<SuperEnumPlayersReply>(message) ||
        std::holds_alternative<AddForward>(message) ||
        std::holds_alternative<SessionDescChanged>(message) ||
        std::holds_alternative<YouAreDead>(message)) {
        return false;
    }
    if (const auto* removed = std::get_if<DeletePlayer>(&message)) {
        return MayDelete(removed->playerId, origin);
    }
    if (const auto* renamed = std::get_if<PlayerNameChanged>(&message)) {
        return MayDelete(renamed->playerId, origin);
    }
    return IsMachineAddress(origin.sourceIp);
}

bool DirectPlayHost::HandleRole(const Decoded& decoded, const Origin& origin) {
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
        if (!HasPlayer(ping->idFrom)) {
            Reply(origin, decoded, YouAreDead{});
            return true;
        }
        return false;
    } else if (const auto* create = std::get_if<directplay::CreatePlayer>(&message)) {
        // Only a player whose id we handed out, from a machine that is in the session.
        const bool issued = issuedIds_.erase(create->playerId) != 0;
        if (!issued && !HasPlayer(create->playerId)) {
            return true;
        }
        return false;
    } else {
        return false;
    }
    return true;
}

void DirectPlayHost::OnEnumSessions(const EnumSessions& request, const Decoded& decoded,
                                    const Origin& origin) {
    const Guid none{};
    const bool application =
        request.application == none || request.application == desc().application;
    const bool available = (request.flags & enum_flags::kAvailable) == 0 ||
                           (!Full() && (desc().flags & session_flags::kJoinDisabled) == 0);
    if (!running_ || !application || !available || decoded.sender.port == 0) {
        return;
    }
    Reply(origin, decoded, EnumSessionsReply{CurrentDesc(), sessionName_});
}

void DirectPlayHost::OnRequestPlayerId(const RequestPlayerId& request, const Decoded& decoded,
                                       const Origin& origin) {
    const bool machine = (request.flags & player_flags::kSystemPlayer) != 0;
    const uint32_t closedFlag =
        machine ? session_flags::kJoinDisabled : session_flags::kNewPlayersDisabled;
    const bool refuse = Full() || (desc().flags & closedFlag) != 0;
    const uint32_t id = refuse ? 0 : AllocateId();
    if (id == 0) {
        Reply(origin, decoded, RequestPlayerReply{0, kErrorNoNewPlayers});
        return;
    }
    Reply(origin, decoded, RequestPlayerReply{id, 0});
}

std::optional<PlayerInfo> DirectPlayHost::NameTableEntry(const PlayerInfo& player,
                                                         uint16_t dialect) const {
    const bool isSystem = (player.flags & player_flags::kSystemPlayer) != 0;
    const uint32_t owner = isSystem ? player.id : player.systemPlayerId;
    if (owner == systemId()) {
        PlayerInfo entry = IsLocal(player.id) ? LocalApplicationPlayer(player.id, dialect)
                                              : LocalSystemPlayer(kSystemHostFlags, dialect);
        entry.flags &= ~player_flags::kLocal;  // "local" means local to the sender only
        return entry;
    }
    const RemoteMachine* machine = FindMachine(owner);
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

    // The others learn about the new machine first; the joiner gets the name table once
    // they have acknowledged, or after a bounded wait.
    PendingJoin pending;
    ForEachMachine([&](const RemoteMachine& other) {
        pending.waitingFor.insert(other.systemId);
        Send(other, AddForward{other.systemId, joinerId, system});
    });
    // A machine whose send failed at once has been dropped meanwhile: no answer will come.
    std::erase_if(pending.waitingFor, [this](uint32_t id) { return machines().count(id) == 0; });
    AddMachine(machine);
    AddPlayer(system);
    if (pending.waitingFor.empty()) {
        FinishJoin(joinerId);
        return;
    }
    pending.timer = std::make_unique<QTimer>();
    pending.timer->setSingleShot(true);
    connect(pending.timer.get(), &QTimer::timeout, this,
            [this, joinerId] { FinishJoin(joinerId); });
    pending.timer->start(timings().addForwardWaitMs);
    pendingJoins_[joinerId] = std::move(pending);
}

void DirectPlayHost::OnAddForwardAck(const AddForwardAck& ack, const Decoded& decoded,
                                     const Origin& origin) {
    const auto pending = pendingJoins_.find(ack.id);
    const auto sender = SenderMachine(decoded, origin);
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
    const RemoteMachine* joiner = FindMachine(joinerId);
    if (joiner == nullptr) {
        return;
    }
    const RemoteMachine machine = *joiner;
    const uint16_t dialect = DialectWith(machine);
    SuperEnumPlayersReply snapshot;
    snapshot.desc = CurrentDesc();
    snapshot.name = sessionName_;
    // System players first, so a reader knows every machine before its players.
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [id, player] : players()) {
            const bool isSystem = (player.flags & player_flags::kSystemPlayer) != 0;
            if (isSystem != (pass == 0)) {
                continue;
            }
            if (auto entry = NameTableEntry(player, dialect)) {
                snapshot.players.push_back(std::move(*entry));
            }
        }
    }
    Send(machine, snapshot);
}

void DirectPlayHost::MachineUnreachable(uint32_t systemId, const std::string& reason) {
    if (machines().count(systemId) == 0) {
        return;
    }
    LogLine("machine " + std::to_string(systemId) + " is gone (" + reason + ")");
    std::vector<uint32_t> owned;
    for (const auto& [id, player] : players()) {
        if (player.systemPlayerId == systemId && id != systemId) {
            owned.push_back(id);
        }
    }
    RemoveMachine(systemId);
    for (uint32_t id : owned) {
        SendToEveryMachine(DeletePlayer{0, id});
    }
    SendToEveryMachine(DeletePlayer{0, systemId});
}

// A machine that leaves, with or without a word, no longer holds up the joins that wait for
// its acknowledgement; its own join, if it was joining, is over.
void DirectPlayHost::MachineRemoved(uint32_t systemId) {
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
