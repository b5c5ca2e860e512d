#include "directplay/Outbox.h"

namespace scopewatch::directplay {

Outcome<Bytes> EncodeToSend(const Message& message, SockAddr sender, uint16_t version) {
    try {
        return Outcome<Bytes>::Done(Encode(message, sender, version));
    } catch (const EncodeError& error) {
        return Outcome<Bytes>::Failed(error.what());
    }
}

QHostAddress ReplyAddress(const Origin& origin, SockAddr sender) {
    return sender.address != 0 ? QHostAddress(sender.address) : origin.sourceIp;
}

Status Outbox::NotSent(const std::string& where, const std::string& what,
                       const Status& failed) const {
    log_.Line("not sent to " + where + " " + what + ": " + failed.failure);
    return failed;
}

Status Outbox::SendStream(const QHostAddress& ip, quint16 port, const Message& message,
                          uint16_t version) {
    const std::string where = Where(ip, port);
    const std::string what = Describe(Decoded{transport_.OurAddress(), 1, version, message});
    const Outcome<Bytes> bytes = EncodeToSend(message, transport_.OurAddress(), version);
    if (!bytes.ok()) {
        return NotSent(where, what, Status::Failed(bytes.failure));
    }
    log_.Line("sent to " + where + " " + what);
    transport_.SendStream(ip, port, *bytes.value);
    return Status::Done();
}

Status Outbox::Send(const RemoteMachine& machine, const Message& message) {
    return SendStream(machine.ip, machine.streamPort, message, table_.DialectWith(machine));
}

Status Outbox::Reply(const Origin& origin, const Decoded& request, const Message& message) {
    const uint16_t version = request.version == 0
                                 ? table_.dialect()
                                 : std::min(table_.dialect(), ClampVersion(request.version));
    return SendStream(ReplyAddress(origin, request.sender), request.sender.port, message, version);
}

Status Outbox::SendRelayed(const RemoteMachine& relay, uint32_t groupTo, uint32_t playerFrom,
                           const Message& message) {
    const RemoteMachine to = relay;  // a failing send may remove the relay from the table
    const Outcome<Bytes> whole =
        EncodeToSend(message, transport_.OurAddress(), table_.DialectWith(to));
    if (!whole.ok()) {
        return NotSent(Where(to.ip, to.streamPort), "for relaying", Status::Failed(whole.failure));
    }
    return Send(to, Ask4Multicast{groupTo, playerFrom, InnerForm(*whole.value), true});
}

Status Outbox::SendToEveryMachine(const Message& message) {
    if (const RemoteMachine* relay = table_.Relay()) {
        return SendRelayed(*relay, 0, table_.systemId(), message);
    }
    Status sent = Status::Done();
    ForEachMachine([&](const RemoteMachine& machine) {
        if (const Status one = Send(machine, message); !one.ok()) {
            sent = one;
        }
    });
    return sent;
}

Status Outbox::SendDatagram(const QHostAddress& ip, quint16 port, const Message& message,
                            uint16_t dialect) {
    const Outcome<Bytes> bytes = EncodeToSend(message, transport_.OurAddress(), dialect);
    if (!bytes.ok()) {
        return NotSent(Where(ip, port), "(udp)", Status::Failed(bytes.failure));
    }
    transport_.SendDatagram(ip, port, *bytes.value);
    return Status::Done();
}

Status Outbox::SendToAll(uint32_t idFrom, const Bytes& payload) {
    if (const RemoteMachine* relay = table_.Relay()) {
        return SendRelayed(*relay, 0, idFrom, PlayerMessage(idFrom, 0, payload));
    }
    for (uint32_t id : table_.ApplicationPlayerIds()) {
        if (table_.IsLocal(id)) {
            continue;
        }
        if (const Status sent = SendTo(idFrom, id, payload); !sent.ok()) {
            return sent;  // too large for one player is too large for every player
        }
    }
    return Status::Done();
}

// Player data is not logged when it goes out: a session sends several messages a second.
Status Outbox::SendTo(uint32_t idFrom, uint32_t idTo, const Bytes& payload) {
    if (!table_.HasPlayer(idTo)) {
        return Status::Done();
    }
    if (const RemoteMachine* relay = table_.Relay()) {
        return SendRelayed(*relay, idTo, idFrom, PlayerMessage(idFrom, idTo, payload));
    }
    const RemoteMachine* machine = table_.MachineOfPlayer(idTo);
    if (machine == nullptr) {
        return Status::Done();
    }
    const Outcome<Bytes> bytes =
        EncodeToSend(PlayerMessage(idFrom, idTo, payload), transport_.OurAddress(), 0);
    if (!bytes.ok()) {
        return NotSent(Where(machine->ip, machine->streamPort), "player data",
                       Status::Failed(bytes.failure));
    }
    transport_.SendStream(machine->ip, machine->streamPort, *bytes.value);
    return Status::Done();
}

void Outbox::ForEachMachine(const std::function<void(const RemoteMachine&)>& visit) const {
    for (uint32_t id : table_.MachineIds()) {
        if (const RemoteMachine* found = table_.FindMachine(id)) {
            const RemoteMachine machine = *found;
            visit(machine);
        }
    }
}

Message Outbox::PlayerMessage(uint32_t idFrom, uint32_t idTo, const Bytes& payload) const {
    return table_.HasMessageIds() ? PlayerData{PlayerDataBody(idFrom, idTo, payload)}
                                  : PlayerData{payload};
}

}  // namespace scopewatch::directplay
