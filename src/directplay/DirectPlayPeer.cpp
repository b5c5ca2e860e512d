#include "directplay/DirectPlayPeer.h"

namespace scopewatch::directplay {

namespace {
constexpr int kClosingPollMs = 5;
constexpr qint64 kRefusalLogIntervalMs = 1000;

// Two addresses of one machine: an IPv4 address compares equal to its IPv6-mapped form.
bool SameMachineAddress(const QHostAddress& a, const QHostAddress& b) {
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

std::string Where(const QHostAddress& ip, quint16 port) {
    return ip.toString().toStdString() + ":" + std::to_string(port);
}
}  // namespace

DirectPlayPeer::DirectPlayPeer(PortPlan plan, Timings timings, TransportLimits limits)
    : transport_(std::move(plan), limits), timings_(timings) {
    clock_.start();
    transport_.SetMessageHandler(
        [this](const Decoded& decoded, const Origin& origin) { OnMessage(decoded, origin); });
    transport_.SetFailureHandler(
        [this](const QHostAddress& ip, quint16 port, const std::string& reason) {
            OnStreamFailure(ip, port, reason);
        });
    transport_.SetClosedHandler(
        [this](const QHostAddress& ip, quint16 port) { OnConnectionClosed(ip, port); });
    connect(&keepAliveTimer_, &QTimer::timeout, this, [this] { KeepAliveTick(); });
    waitDeadline_.setSingleShot(true);
    connect(&waitDeadline_, &QTimer::timeout, this, [this] {
        if (wait_) {
            const std::function<void()> late = std::move(wait_->late);
            StopWaiting();
            late();
        }
    });
    waitCheck_.setSingleShot(true);
    connect(&waitCheck_, &QTimer::timeout, this, [this] { CheckWait(); });
    connect(&closingPoll_, &QTimer::timeout, this, [this] {
        if (transport_.AllWritten() || closingSince_.elapsed() >= timings_.flushTimeoutMs) {
            FinishClosing();
        }
    });
}

DirectPlayPeer::~DirectPlayPeer() = default;

std::optional<Delivery> DirectPlayPeer::TakeDelivery() {
    if (deliveries_.empty()) {
        return std::nullopt;
    }
    Delivery delivery = std::move(deliveries_.front());
    deliveries_.pop_front();
    queuedBytes_ -= delivery.payload.size();
    if (const auto sender = queuedFrom_.find(delivery.idFrom); sender != queuedFrom_.end()) {
        sender->second.bytes -= delivery.payload.size();
        if (--sender->second.messages == 0) {
            queuedFrom_.erase(sender);
        }
    }
    return delivery;
}

std::optional<std::u16string> DirectPlayPeer::PlayerName(uint32_t id) const {
    const auto found = players_.find(id);
    if (found == players_.end()) {
        return std::nullopt;
    }
    return found->second.shortName;
}

std::vector<uint32_t> DirectPlayPeer::ApplicationPlayerIds() const {
    std::vector<uint32_t> ids;
    for (const auto& [id, player] : players_) {
        if ((player.flags & player_flags::kSystemPlayer) == 0) {
            ids.push_back(id);
        }
    }
    return ids;
}

// ---- waiting ---------------------------------------------------------------------------

void DirectPlayPeer::Await(std::function<bool()> done, int timeoutMs, std::function<void()> then,
                           std::function<void()> late) {
    wait_ = Wait{std::move(done), std::move(then), std::move(late)};
    waitDeadline_.start(std::max(timeoutMs, 0));
    waitCheck_.start(0);  // it may hold already
}

void DirectPlayPeer::StopWaiting() {
    wait_.reset();
    waitDeadline_.stop();
    waitCheck_.stop();
}

void DirectPlayPeer::PokeWait() {
    if (wait_) {
        waitCheck_.start(0);
    }
}

void DirectPlayPeer::ShortenWait(int ms) {
    if (wait_ && waitDeadline_.remainingTime() > ms) {
        waitDeadline_.start(ms);
    }
}

// Runs from the event loop, never inside the handling of a message, so what the wait goes on
// with may close the very connection the message came over.
void DirectPlayPeer::CheckWait() {
    if (!wait_) {
        return;
    }
    if (wait_->done()) {
        const std::function<void()> then = std::move(wait_->then);
        StopWaiting();
        then();
    } else if (lost_) {
        const std::function<void()> late = std::move(wait_->late);
        StopWaiting();
        late();
    }
}

// ---- sending ---------------------------------------------------------------------------

uint16_t DirectPlayPeer::DialectWith(const RemoteMachine& machine) const {
    return std::min(version_, machine.version);
}

void DirectPlayPeer::Send(const RemoteMachine& machine, const Message& message) {
    const uint16_t version = DialectWith(machine);
    const std::string where =
        machine.ip.toString().toStdString() + ":" + std::to_string(machine.streamPort) + " ";
    const std::string what = Describe(Decoded{transport_.OurAddress(), 1, version, message});
    Bytes bytes;
    try {
        bytes = Encode(message, transport_.OurAddress(), version);
    } catch (const EncodeError& error) {
        LogLine("not sent to " + where + what + ": " + error.what());
        return;
    }
    LogLine("sent to " + where + what);
    transport_.SendStream(machine.ip, machine.streamPort, bytes);
}

void DirectPlayPeer::SendToEveryMachine(const Message& message) {
    if (const RemoteMachine* relay = Relay()) {
        SendRelayed(*relay, 0, systemId_, message);
        return;
    }
    ForEachMachine([&](const RemoteMachine& machine) { Send(machine, message); });
}

void DirectPlayPeer::SendRelayed(const RemoteMachine& relay, uint32_t groupTo, uint32_t playerFrom,
                                 const Message& message) {
    const RemoteMachine to = relay;  // a failing send may remove the relay from the table
    Bytes inner;
    try {
        inner = InnerForm(Encode(message, transport_.OurAddress(), DialectWith(to)));
    } catch (const EncodeError& error) {
        LogLine(std::string("not relayed: ") + error.what());
        return;
    }
    Send(to, Ask4Multicast{groupTo, playerFrom, std::move(inner), true});
}

Message DirectPlayPeer::PlayerMessage(uint32_t idFrom, uint32_t idTo, const Bytes& payload) const {
    if ((desc_.flags & session_flags::kNoMessageId) != 0) {
        return PlayerData{payload};
    }
    Bytes body(8);
    for (int i = 0; i < 4; ++i) {
        body[static_cast<size_t>(i)] = static_cast<uint8_t>(idFrom >> (8 * i));
        body[static_cast<size_t>(4 + i)] = static_cast<uint8_t>(idTo >> (8 * i));
    }
    body.insert(body.end(), payload.begin(), payload.end());
    return PlayerData{std::move(body)};
}

void DirectPlayPeer::ForEachMachine(const std::function<void(const RemoteMachine&)>& visit) {
    std::vector<uint32_t> ids;
    for (const auto& [id, machine] : machines_) {
        ids.push_back(id);
    }
    for (uint32_t id : ids) {
        const auto found = machines_.find(id);
        if (found != machines_.end()) {
            const RemoteMachine machine = found->second;
            visit(machine);
        }
    }
}

std::optional<uint32_t> DirectPlayPeer::MachineAt(const QHostAddress& ip,
                                                  quint16 streamPort) const {
    for (const auto& [id, machine] : machines_) {
        if (machine.ip == ip && machine.streamPort == streamPort) {
            return id;
        }
    }
    return std::nullopt;
}

const RemoteMachine* DirectPlayPeer::FindMachine(uint32_t systemId) const {
    const auto found = machines_.find(systemId);
    return found == machines_.end() ? nullptr : &found->second;
}

bool DirectPlayPeer::IsMachineAddress(const QHostAddress& ip) const {
    for (const auto& [id, machine] : machines_) {
        if (SameMachineAddress(machine.ip, ip)) {
            return true;
        }
    }
    return false;
}

bool DirectPlayPeer::IsHostAddress(const QHostAddress& ip) const {
    const RemoteMachine* host = HostMachine();
    return host != nullptr && SameMachineAddress(host->ip, ip);
}

bool DirectPlayPeer::AdmitsPlayerData(const PlayerData& data, const Origin& origin) const {
    if ((desc_.flags & session_flags::kNoMessageId) != 0) {
        return IsMachineAddress(origin.sourceIp);
    }
    const auto idFrom = PlayerDataSender(data);
    const auto player = idFrom ? players_.find(*idFrom) : players_.end();
    if (player == players_.end() || IsLocal(*idFrom) || *idFrom == systemId_) {
        return false;
    }
    const auto machine = machines_.find(player->second.systemPlayerId);
    if (machine != machines_.end() && SameMachineAddress(machine->second.ip, origin.sourceIp)) {
        return true;
    }
    // The host passes the others' data on where it relays, and vouches for players whose
    // machine we cannot reach ourselves.
    const bool hostSpeaks = Relay() != nullptr || machine == machines_.end();
    return hostSpeaks && IsHostAddress(origin.sourceIp);
}

bool DirectPlayPeer::MayDelete(uint32_t playerId, const Origin& origin) const {
    if (IsHostAddress(origin.sourceIp)) {
        return true;
    }
    const auto player = players_.find(playerId);
    if (player == players_.end()) {
        return false;
    }
    const auto machine = machines_.find(player->second.systemPlayerId);
    return machine != machines_.end() && SameMachineAddress(machine->second.ip, origin.sourceIp);
}

std::optional<uint32_t> DirectPlayPeer::SenderMachine(const Decoded& decoded,
                                                      const Origin& origin) const {
    const auto ownerOf = [this](uint32_t playerId) -> std::optional<uint32_t> {
        const auto player = players_.find(playerId);
        if (player != players_.end() && machines_.count(player->second.systemPlayerId) != 0) {
            return player->second.systemPlayerId;
        }
        return std::nullopt;
    };
    std::optional<uint32_t> owner;
    if (const auto* data = std::get_if<PlayerData>(&decoded.message)) {
        if (const auto parts = SplitPlayerData(*data)) {
            owner = ownerOf(parts->idFrom);
        }
    } else if (const auto* ping = std::get_if<Ping>(&decoded.message)) {
        if (!ping->reply) {  // a reply carries the id of the machine that pinged
            owner = ownerOf(ping->idFrom);
        }
    }
    return owner ? owner : MachineAt(origin.sourceIp, decoded.sender.port);
}

QHostAddress DirectPlayPeer::ReplyAddress(const Origin& origin, SockAddr sender) const {
    return sender.address != 0 ? QHostAddress(sender.address) : origin.sourceIp;
}

void DirectPlayPeer::Reply(const Origin& origin, const Decoded& request, const Message& message) {
    const uint16_t version =
        request.version == 0 ? version_ : std::min(version_, ClampVersion(request.version));
    const QHostAddress ip = ReplyAddress(origin, request.sender);
    LogLine("sent to " + ip.toString().toStdString() + ":" + std::to_string(request.sender.port) +
            " " + Describe(Decoded{transport_.OurAddress(), 1, version, message}));
    transport_.SendStream(ip, request.sender.port,
                          Encode(message, transport_.OurAddress(), version));
}

void DirectPlayPeer::SendToAll(uint32_t idFrom, const Bytes& payload) {
    if (const RemoteMachine* relay = Relay()) {
        SendRelayed(*relay, 0, idFrom, PlayerMessage(idFrom, 0, payload));
        return;
    }
    for (uint32_t id : ApplicationPlayerIds()) {
        if (!IsLocal(id)) {
            SendTo(idFrom, id, payload);
        }
    }
}

void DirectPlayPeer::SendTo(uint32_t idFrom, uint32_t idTo, const Bytes& payload) {
    const auto player = players_.find(idTo);
    if (player == players_.end()) {
        return;
    }
    if (const RemoteMachine* relay = Relay()) {
        SendRelayed(*relay, idTo, idFrom, PlayerMessage(idFrom, idTo, payload));
        return;
    }
    const auto machine = machines_.find(player->second.systemPlayerId);
    if (machine == machines_.end()) {
        return;
    }
    transport_.SendStream(machine->second.ip, machine->second.streamPort,
                          Encode(PlayerMessage(idFrom, idTo, payload), transport_.OurAddress(), 0));
}

// ---- the name table ----------------------------------------------------------------------

PlayerInfo DirectPlayPeer::LocalSystemPlayer(uint32_t flags, uint16_t dialect) const {
    PlayerInfo player;
    player.flags = flags;
    player.id = systemId_;
    player.streamAddress = SockAddr{transport_.streamPort(), 0};
    player.datagramAddress = SockAddr{transport_.datagramPort(), 0};
    player.systemPlayerId = systemId_;
    player.version = dialect;
    return player;
}

PlayerInfo DirectPlayPeer::LocalApplicationPlayer(uint32_t id, uint16_t dialect) const {
    PlayerInfo player = players_.at(id);
    player.flags = player_flags::kLocal;
    player.streamAddress = SockAddr{transport_.streamPort(), 0};
    player.datagramAddress = SockAddr{transport_.datagramPort(), 0};
    player.version = dialect;
    return player;
}

void DirectPlayPeer::AddLocalPlayer(uint32_t id, const std::u16string& shortName,
                                    const std::u16string& longName) {
    PlayerInfo player;
    player.id = id;
    player.shortName = shortName;
    player.longName = longName;
    player.systemPlayerId = systemId_;
    players_[id] = player;
    localPlayers_.insert(id);
    localCreatedAtMs_[id] = clock_.elapsed();
}

void DirectPlayPeer::AnnounceLocalPlayer(uint32_t id) {
    if (const RemoteMachine* relay = Relay()) {
        CreatePlayer message;
        message.playerId = id;
        message.player = LocalApplicationPlayer(id, DialectWith(*relay));
        SendRelayed(*relay, 0, systemId_, message);
        return;
    }
    ForEachMachine([&](const RemoteMachine& machine) {
        CreatePlayer message;
        message.playerId = id;
        message.player = LocalApplicationPlayer(id, DialectWith(machine));
        Send(machine, message);
    });
}

void DirectPlayPeer::RetireLocalPlayer(uint32_t id) {
    if (!IsLocal(id)) {
        return;
    }
    SendToEveryMachine(DeletePlayer{0, id});
    localPlayers_.erase(id);
    localCreatedAtMs_.erase(id);
    players_.erase(id);
}

bool DirectPlayPeer::AddPlayer(const PlayerInfo& player) {
    const bool known = players_.count(player.id) != 0;
    if (!known && players_.size() >= kMaxPlayers) {
        return false;
    }
    players_[player.id] = player;
    if (!known && (player.flags & player_flags::kSystemPlayer) == 0 && playerListener_) {
        playerListener_(player.id, true);
    }
    return true;
}

void DirectPlayPeer::RemovePlayer(uint32_t id) {
    const auto found = players_.find(id);
    if (found == players_.end()) {
        return;
    }
    const bool isSystem = (found->second.flags & player_flags::kSystemPlayer) != 0;
    players_.erase(found);
    if (!isSystem && playerListener_) {
        playerListener_(id, false);
    }
}

void DirectPlayPeer::AddMachine(const RemoteMachine& machine) {
    RemoteMachine added = machine;
    added.lastHeardMs = clock_.elapsed();
    machines_[machine.systemId] = added;
}

RemoteMachine DirectPlayPeer::MachineAddressedBy(uint32_t systemId, const PlayerInfo& addressed,
                                                 const QHostAddress& tellerIp, uint16_t version) {
    const SockAddr stream = addressed.streamAddress.value_or(SockAddr{});
    RemoteMachine machine;
    machine.systemId = systemId;
    machine.ip = stream.address != 0 ? QHostAddress(stream.address) : tellerIp;
    machine.streamPort = stream.port;
    machine.datagramPort = addressed.datagramAddress.value_or(stream).port;
    machine.version = version;
    return machine;
}

void DirectPlayPeer::RemoveMachine(uint32_t systemId) {
    std::vector<uint32_t> owned;
    for (const auto& [id, player] : players_) {
        if (player.systemPlayerId == systemId && id != systemId && !IsLocal(id)) {
            owned.push_back(id);
        }
    }
    for (uint32_t id : owned) {
        RemovePlayer(id);
    }
    RemovePlayer(systemId);
    const auto machine = machines_.find(systemId);
    if (machine != machines_.end()) {
        transport_.Disconnect(machine->second.ip, machine->second.streamPort);
        machines_.erase(machine);
        MachineRemoved(systemId);
    }
}

void DirectPlayPeer::MarkLost(const std::string& reason) {
    if (lost_) {
        return;
    }
    lost_ = true;
    lostReason_ = reason;
    keepAliveTimer_.stop();
    LogLine("session lost: " + reason);
    transport_.Close();
    PokeWait();  // the wait ends as late, from the event loop
}

void DirectPlayPeer::ClearSession() {
    StopWaiting();
    keepAliveTimer_.stop();
    lost_ = false;
    lostReason_.clear();
    systemId_ = 0;
    players_.clear();
    machines_.clear();
    localPlayers_.clear();
    localCreatedAtMs_.clear();
    deliveries_.clear();
    queuedBytes_ = 0;
    queuedFrom_.clear();
}

void DirectPlayPeer::LogLine(const std::string& line) const {
    if (log_) {
        log_(line);
    }
}

void DirectPlayPeer::CloseWhenSent() {
    keepAliveTimer_.stop();
    StopWaiting();
    transport_.Flush();
    if (transport_.AllWritten() || transport_.streamPort() == 0) {
        transport_.Close();
        if (closing_) {
            FinishClosing();
        }
        return;
    }
    if (!closing_) {
        closing_ = true;
        closingSince_.start();
        closingPoll_.start(kClosingPollMs);
    }
}

void DirectPlayPeer::FinishClosing() {
    closingPoll_.stop();
    transport_.Close();
    if (closing_) {
        closing_ = false;
        emit finishedSending();
    }
}

std::optional<std::string> DirectPlayPeer::OpenTransport() {
    if (closing_) {
        closing_ = false;
        closingPoll_.stop();
        emit finishedSending();
    }
    if (transport_.streamPort() != 0) {
        return std::nullopt;
    }
    return transport_.Open();
}

void DirectPlayPeer::StartKeepAlive() {
    if ((desc_.flags & session_flags::kKeepAlive) != 0) {
        keepAliveTimer_.start(timings_.keepAliveMs);
    }
}

// ---- receiving ---------------------------------------------------------------------------

void DirectPlayPeer::OnMessage(const Decoded& decoded, const Origin& origin) {
    if (lost_) {
        return;
    }
    const auto* data = std::get_if<PlayerData>(&decoded.message);
    if (data != nullptr ? !AdmitsPlayerData(*data, origin) : !Admits(decoded, origin)) {
        Refuse(decoded, origin);
        return;
    }
    NoteHeard(decoded, origin);
    if (data == nullptr) {
        LogLine("received from " + Where(origin.sourceIp, decoded.sender.port) +
                (origin.datagram ? " (udp) " : " ") + Describe(decoded));
    }
    if (!HandleRole(decoded, origin)) {
        HandleCommon(decoded, origin);
    }
    // Once a connection is known to come from a machine of the session, its end is a reason
    // to check on that machine (a machine may also have joined with this very message).
    if (origin.connection != 0 && !lost_) {
        if (const auto sender = SenderMachine(decoded, origin)) {
            const RemoteMachine& machine = machines_.at(*sender);
            transport_.NameConnection(origin.connection, machine.ip, machine.streamPort);
        }
    }
    PokeWait();
}

// What a sender may not send is dropped unread and counted; the log says so at most once a
// second, so a flood of it cannot flood the log.
void DirectPlayPeer::Refuse(const Decoded& decoded, const Origin& origin) {
    ++refusedMessages_;
    ++refusedSinceLog_;
    const qint64 now = clock_.elapsed();
    if (now - lastRefusalLogMs_ < kRefusalLogIntervalMs) {
        return;
    }
    LogLine("dropped " + std::to_string(refusedSinceLog_) +
            " message(s) from senders that may not send them, the last from " +
            Where(origin.sourceIp, origin.sourcePort) + (origin.datagram ? " (udp) " : " ") +
            Describe(decoded));
    refusedSinceLog_ = 0;
    lastRefusalLogMs_ = now;
}

void DirectPlayPeer::HandleCommon(const Decoded& decoded, const Origin& origin) {
    const Message& message = decoded.message;
    if (const auto* create = std::get_if<CreatePlayer>(&message)) {
        OnCreatePlayer(*create, decoded, origin);
    } else if (const auto* remove = std::get_if<DeletePlayer>(&message)) {
        // Nobody deletes our own players or machine for us, and no player has the id 0.
        const uint32_t id = remove->playerId;
        if (id != 0 && !IsLocal(id) && id != systemId_) {
            if (machines_.count(id) != 0) {
                RemoveMachine(id);
            } else {
                RemovePlayer(id);
            }
        }
    } else if (const auto* data = std::get_if<PlayerData>(&message)) {
        OnPlayerData(*data, origin);
    } else if (const auto* ping = std::get_if<Ping>(&message)) {
        OnPing(*ping, decoded, origin);
    } else if (const auto* renamed = std::get_if<PlayerNameChanged>(&message)) {
        const auto player = players_.find(renamed->playerId);
        if (player != players_.end() && !IsLocal(renamed->playerId)) {
            player->second.shortName = renamed->shortName;
            player->second.longName = renamed->longName;
        }
    } else if (const auto* changed = std::get_if<SessionDescChanged>(&message)) {
        desc_ = changed->desc;
    }
}

void DirectPlayPeer::OnCreatePlayer(const CreatePlayer& message, const Decoded& decoded,
                                    const Origin& origin) {
    PlayerInfo player = message.player;
    player.id = message.playerId != 0 ? message.playerId : player.id;
    if (IsLocal(player.id) || player.id == systemId_ ||
        (player.flags & player_flags::kSystemPlayer) != 0) {
        return;
    }
    const bool known = HasPlayer(player.id);
    if (!AddPlayer(player)) {
        return;
    }
    LearnMachineOf(player, decoded, origin);
    // A machine that has just created a player tells machines joining meanwhile about it,
    // in case they missed the original announcement. VERIFYs are never answered.
    const auto machine = machines_.find(player.systemPlayerId);
    if (known || message.verify || machine == machines_.end() || Relay() != nullptr ||
        DialectWith(machine->second) < kVerifyVersion) {
        return;
    }
    for (const auto& [id, createdAt] : localCreatedAtMs_) {
        if (clock_.elapsed() - createdAt <= timings_.verifyWindowMs && ShouldVerify()) {
            CreatePlayer verify;
            verify.playerId = id;
            verify.player = LocalApplicationPlayer(id, DialectWith(machine->second));
            verify.verify = true;
            Send(machine->second, verify);
        }
    }
}

// A player of a machine we were never told of (its announcement crossed our join) still
// carries the addresses of that machine: we learn the machine from them, so that what we
// send to the player reaches it.
void DirectPlayPeer::LearnMachineOf(const PlayerInfo& player, const Decoded& decoded,
                                    const Origin& origin) {
    const SockAddr stream = player.streamAddress.value_or(SockAddr{});
    if (player.systemPlayerId == 0 || player.systemPlayerId == systemId_ || stream.port == 0 ||
        machines_.count(player.systemPlayerId) != 0) {
        return;
    }
    AddMachine(MachineAddressedBy(player.systemPlayerId, player, origin.sourceIp,
                                  ClampVersion(decoded.version)));
    LogLine("machine " + std::to_string(player.systemPlayerId) + " learnt from its player " +
            std::to_string(player.id));
}

void DirectPlayPeer::OnPlayerData(const PlayerData& message, const Origin& origin) {
    Delivery delivery;
    if ((desc_.flags & session_flags::kNoMessageId) != 0) {
        delivery.payload = message.body;
        delivery.fromHost = IsHostAddress(origin.sourceIp);
    } else {
        auto parts = SplitPlayerData(message);
        if (!parts) {
            return;
        }
        const bool forUs = parts->idTo == 0 || parts->idTo == systemId_ || IsLocal(parts->idTo);
        if (!forUs) {
            return;
        }
        const RemoteMachine* host = HostMachine();
        const auto sender = players_.find(parts->idFrom);
        delivery = Delivery{parts->idFrom, parts->idTo, std::move(parts->payload),
                            host != nullptr && sender != players_.end() &&
                                sender->second.systemPlayerId == host->systemId};
    }
    // Sessions without message ids name no sender: their messages share the whole queue.
    const size_t size = delivery.payload.size();
    const auto queued = queuedFrom_.find(delivery.idFrom);
    const bool senderFull = delivery.idFrom != 0 && queued != queuedFrom_.end() &&
                            (queued->second.messages >= kMaxQueuedPerSender ||
                             queued->second.bytes + size > kMaxQueuedBytesPerSender);
    if (senderFull || deliveries_.size() >= kMaxQueuedDeliveries ||
        queuedBytes_ + size > kMaxQueuedBytes) {
        ++droppedDeliveries_;
        return;
    }
    queuedBytes_ += size;
    SenderShare& share = queuedFrom_[delivery.idFrom];
    ++share.messages;
    share.bytes += size;
    deliveries_.push_back(std::move(delivery));
}

void DirectPlayPeer::OnPing(const Ping& ping, const Decoded& decoded, const Origin& origin) {
    if (ping.reply || !HasPlayer(ping.idFrom)) {
        return;
    }
    const Ping answer{ping.idFrom, ping.tickCount, true};
    if (origin.datagram) {
        const uint16_t dialect = std::min(version_, ClampVersion(decoded.version));
        transport_.SendDatagram(origin.sourceIp, origin.sourcePort,
                                Encode(answer, transport_.OurAddress(), dialect));
    } else {
        Reply(origin, decoded, answer);
    }
}

void DirectPlayPeer::NoteHeard(const Decoded& decoded, const Origin& origin) {
    const auto sender = SenderMachine(decoded, origin);
    if (sender) {
        RemoteMachine& machine = machines_.at(*sender);
        machine.lastHeardMs = clock_.elapsed();
        machine.missedPings = 0;
    }
}

void DirectPlayPeer::KeepAliveTick() {
    const qint64 now = clock_.elapsed();
    std::vector<uint32_t> gone;
    for (auto& [id, machine] : machines_) {
        if (now - machine.lastHeardMs < timings_.keepAliveMs) {
            continue;
        }
        if (machine.missedPings >= timings_.maxMissedPings) {
            gone.push_back(id);
            continue;
        }
        ++machine.missedPings;
        const Ping ping{systemId_, static_cast<uint32_t>(now), false};
        transport_.SendDatagram(
            machine.ip, machine.datagramPort,
            Encode(ping, transport_.OurAddress(), std::min(version_, machine.version)));
    }
    for (uint32_t id : gone) {
        LogLine("machine " + std::to_string(id) + " stopped answering");
        MachineUnreachable(id, "stopped answering");
    }
}

void DirectPlayPeer::OnStreamFailure(const QHostAddress& ip, quint16 port,
                                     const std::string& reason) {
    if (const auto machine = MachineAt(ip, port)) {
        LogLine("no connection to " + ip.toString().toStdString() + ":" + std::to_string(port) +
                ": " + reason);
        MachineUnreachable(*machine, reason);
    }
}

// A peer closing a connection may be tidying up, or its machine may be gone. Knocking on its
// listening port tells the two apart: a machine that left has closed that port too.
void DirectPlayPeer::OnConnectionClosed(const QHostAddress& ip, quint16 port) {
    if (lost_ || !MachineAt(ip, port)) {
        return;
    }
    LogLine("connection with " + ip.toString().toStdString() + ":" + std::to_string(port) +
            " closed by the peer; checking that it is still listening");
    transport_.Probe(ip, port, [this, ip, port](const std::optional<std::string>& failure) {
        OnProbed(ip, port, failure);
    });
}

void DirectPlayPeer::OnProbed(const QHostAddress& ip, quint16 port,
                              const std::optional<std::string>& failure) {
    const auto machine = MachineAt(ip, port);
    if (lost_ || !machine) {
        return;
    }
    const std::string where = ip.toString().toStdString() + ":" + std::to_string(port);
    if (!failure) {
        LogLine(where + " is still listening");
        return;
    }
    LogLine(where + " " + *failure + ": its machine has left");
    MachineUnreachable(*machine, "closed its connections and " + *failure);
}

}  // namespace scopewatch::directplay
