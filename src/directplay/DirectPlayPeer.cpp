#include "directplay/DirectPlayPeer.h"

#include "directplay/TakenFrom.h"

namespace scopewatch::directplay {

DirectPlayPeer::DirectPlayPeer(PortPlan plan, Timings timings, TransportLimits limits,
                               bool verifiesNewPlayers)
    : transport_(std::move(plan), limits),
      timings_(timings),
      verifiesNewPlayers_(verifiesNewPlayers),
      outbox_(transport_, table_, log_),
      keepAlive_(transport_, table_, outbox_, log_, timings_, clock_),
      closer_(transport_, timings_.flushTimeoutMs) {
    clock_.start();
    closer_.SetFinishedHandler([this] { emit finishedSending(); });
}

DirectPlayPeer::~DirectPlayPeer() = default;

// ---- receiving ---------------------------------------------------------------------------

bool DirectPlayPeer::Take(const Decoded& decoded, const Origin& origin, bool searching) {
    if (!Admits(table_, decoded.message, origin.sourceIp, searching)) {
        log_.Refused(decoded, origin, clock_.elapsed());
        return false;
    }
    if (const auto sender = table_.SenderMachine(decoded, origin)) {
        keepAlive_.Heard(*sender);
    }
    if (!std::holds_alternative<PlayerData>(decoded.message)) {
        log_.Line("received from " + Where(origin.sourceIp, decoded.sender.port) +
                  (origin.datagram ? " (udp) " : " ") + Describe(decoded));
    }
    if (observer_) {
        observer_(decoded);
    }
    return true;
}

void DirectPlayPeer::HandleCommon(const Decoded& decoded, const Origin& origin) {
    const Message& message = decoded.message;
    if (const auto* create = std::get_if<CreatePlayer>(&message)) {
        OnCreatePlayer(*create, decoded, origin);
    } else if (const auto* remove = std::get_if<DeletePlayer>(&message)) {
        OnDeletePlayer(remove->playerId);
    } else if (const auto* data = std::get_if<PlayerData>(&message)) {
        OnPlayerData(*data, origin);
    } else if (const auto* ping = std::get_if<Ping>(&message)) {
        OnPing(*ping, decoded, origin);
    } else if (const auto* renamed = std::get_if<PlayerNameChanged>(&message)) {
        const PlayerInfo* player = table_.FindPlayer(renamed->playerId);
        if (player != nullptr && !table_.IsLocal(renamed->playerId)) {
            PlayerInfo changed = *player;
            changed.shortName = renamed->shortName;
            changed.longName = renamed->longName;
            table_.PutPlayer(changed);
        }
    } else if (const auto* changed = std::get_if<SessionDescChanged>(&message)) {
        table_.SetDesc(changed->desc);
    }
}

void DirectPlayPeer::NameConnection(const Decoded& decoded, const Origin& origin) {
    if (origin.connection == 0) {
        return;
    }
    if (const auto sender = table_.SenderMachine(decoded, origin)) {
        const RemoteMachine& machine = *table_.FindMachine(*sender);
        transport_.NameConnection(origin.connection, machine.ip, machine.streamPort);
    }
}

// No player has the id 0.
void DirectPlayPeer::OnDeletePlayer(uint32_t id) {
    if (id == 0 || table_.IsOurs(id)) {
        return;
    }
    if (table_.FindMachine(id) != nullptr) {
        RemoveMachine(id);
    } else {
        RemovePlayer(id);
    }
}

void DirectPlayPeer::OnCreatePlayer(const CreatePlayer& message, const Decoded& decoded,
                                    const Origin& origin) {
    PlayerInfo player = message.player;
    player.id = message.playerId != 0 ? message.playerId : player.id;
    if (table_.IsOurs(player.id) || (player.flags & player_flags::kSystemPlayer) != 0) {
        return;
    }
    const bool known = table_.HasPlayer(player.id);
    if (!AddPlayer(player)) {
        return;
    }
    LearnMachineOf(player, decoded, origin);
    const RemoteMachine* machine = table_.FindMachine(player.systemPlayerId);
    if (!known && !message.verify && machine != nullptr) {
        VerifyOurPlayersTo(*machine);
    }
}

// A machine that has just created a player tells machines joining meanwhile about it, in case
// they missed the original announcement. VERIFYs are never answered.
void DirectPlayPeer::VerifyOurPlayersTo(const RemoteMachine& machine) {
    const RemoteMachine to = machine;  // a failing send may remove it from the table
    const uint16_t dialect = table_.DialectWith(to);
    if (!verifiesNewPlayers_ || table_.Relay() != nullptr || dialect < kVerifyVersion) {
        return;
    }
    for (const auto& [id, createdAt] : table_.localCreatedAtMs()) {
        if (clock_.elapsed() - createdAt <= timings_.verifyWindowMs) {
            outbox_.Send(to, CreatePlayer{0, id, table_.LocalApplicationPlayer(id, dialect), true});
        }
    }
}

// A player of a machine we were never told of (its announcement crossed our join) still
// carries the addresses of that machine: we learn the machine from them, so that what we
// send to the player reaches it.
void DirectPlayPeer::LearnMachineOf(const PlayerInfo& player, const Decoded& decoded,
                                    const Origin& origin) {
    const SockAddr stream = player.streamAddress.value_or(SockAddr{});
    if (player.systemPlayerId == 0 || player.systemPlayerId == table_.systemId() ||
        stream.port == 0 || table_.FindMachine(player.systemPlayerId) != nullptr) {
        return;
    }
    AddMachine(NameTable::MachineAddressedBy(player.systemPlayerId, player, origin.sourceIp,
                                             ClampVersion(decoded.version)));
    log_.Line("machine " + std::to_string(player.systemPlayerId) + " learnt from its player " +
              std::to_string(player.id));
}

void DirectPlayPeer::OnPlayerData(const PlayerData& message, const Origin& origin) {
    if (!table_.HasMessageIds()) {
        deliveries_.Push(Delivery{0, 0, message.body, table_.IsHostAddress(origin.sourceIp)});
        return;
    }
    auto parts = SplitPlayerData(message);
    if (!parts || !(parts->idTo == 0 || table_.IsOurs(parts->idTo))) {
        return;
    }
    const RemoteMachine* host = table_.HostMachine();
    const PlayerInfo* sender = table_.FindPlayer(parts->idFrom);
    const bool fromHost =
        host != nullptr && sender != nullptr && sender->systemPlayerId == host->systemId;
    deliveries_.Push(Delivery{parts->idFrom, parts->idTo, std::move(parts->payload), fromHost});
}

void DirectPlayPeer::OnPing(const Ping& ping, const Decoded& decoded, const Origin& origin) {
    if (ping.reply || !table_.HasPlayer(ping.idFrom)) {
        return;
    }
    const Ping answer{ping.idFrom, ping.tickCount, true};
    if (origin.datagram) {
        outbox_.SendDatagram(origin.sourceIp, origin.sourcePort, answer,
                             std::min(table_.dialect(), ClampVersion(decoded.version)));
    } else {
        outbox_.Reply(origin, decoded, answer);
    }
}

// ---- players and machines ----------------------------------------------------------------

bool DirectPlayPeer::AddPlayer(const PlayerInfo& player) {
    const bool known = table_.HasPlayer(player.id);
    if (!table_.PutPlayer(player)) {
        return false;
    }
    if (!known && (player.flags & player_flags::kSystemPlayer) == 0 && playerListener_) {
        playerListener_(player.id, true);
    }
    return true;
}

void DirectPlayPeer::RemovePlayer(uint32_t id) {
    if (table_.ErasePlayer(id) && playerListener_) {
        playerListener_(id, false);
    }
}

void DirectPlayPeer::AddMachine(const RemoteMachine& machine) {
    table_.PutMachine(machine);
    keepAlive_.Heard(machine.systemId);
}

void DirectPlayPeer::RemoveMachine(uint32_t systemId) {
    for (uint32_t id : table_.PlayersOf(systemId)) {
        RemovePlayer(id);
    }
    RemovePlayer(systemId);
    const RemoteMachine* machine = table_.FindMachine(systemId);
    if (machine == nullptr) {
        return;
    }
    transport_.Disconnect(machine->ip, machine->streamPort);
    table_.EraseMachine(systemId);
    keepAlive_.Forget(systemId);
    if (machineRemoved_) {
        machineRemoved_(systemId);
    }
}

void DirectPlayPeer::AddLocalPlayer(uint32_t id, const std::u16string& shortName,
                                    const std::u16string& longName) {
    table_.AddLocalPlayer(id, shortName, longName, clock_.elapsed());
}

void DirectPlayPeer::AnnounceLocalPlayer(uint32_t id) {
    if (const RemoteMachine* relay = table_.Relay()) {
        const CreatePlayer message{
            0, id, table_.LocalApplicationPlayer(id, table_.DialectWith(*relay)), false};
        outbox_.SendRelayed(*relay, 0, table_.systemId(), message);
        return;
    }
    outbox_.ForEachMachine([&](const RemoteMachine& machine) {
        outbox_.Send(
            machine,
            CreatePlayer{0, id, table_.LocalApplicationPlayer(id, table_.DialectWith(machine)),
                         false});
    });
}

void DirectPlayPeer::RetireLocalPlayer(uint32_t id) {
    if (!table_.IsLocal(id)) {
        return;
    }
    outbox_.SendToEveryMachine(DeletePlayer{0, id});
    table_.EraseLocalPlayer(id);
}

void DirectPlayPeer::SayGoodbye() {
    for (uint32_t id : table_.LocalPlayerIds()) {
        RetireLocalPlayer(id);
    }
    outbox_.SendToEveryMachine(DeletePlayer{0, table_.systemId()});
}

// ---- opening and closing -----------------------------------------------------------------

Status DirectPlayPeer::Open() {
    const Status opened = closer_.Open();
    table_.SetOurPorts(transport_.streamPort(), transport_.datagramPort());
    return opened;
}

void DirectPlayPeer::CloseWhenSent() {
    keepAlive_.Stop();
    closer_.CloseWhenSent();
}

void DirectPlayPeer::CloseNow() {
    keepAlive_.Stop();
    transport_.Close();
}

void DirectPlayPeer::Clear() {
    keepAlive_.Stop();
    keepAlive_.Clear();
    table_.Clear();
    deliveries_.Clear();
}

}  // namespace scopewatch::directplay
