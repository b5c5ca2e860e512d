#pragma once

#include <functional>

#include "directplay/DirectPlayCodec.h"
#include "directplay/DirectPlayTransport.h"
#include "directplay/NameTable.h"
#include "directplay/PeerLog.h"
#include "shared/Outcome.h"

namespace scopewatch::directplay {

// A message as it goes on the wire, with our address in its header; fails when its length
// fields cannot describe it. The one place where a message we send is encoded.
Outcome<Bytes> EncodeToSend(const Message& message, SockAddr sender, uint16_t version);

// Where a reply goes: the address the request names, else the address it came from.
QHostAddress ReplyAddress(const Origin& origin, SockAddr sender);

// Everything a machine sends goes out here, each message in the dialect of the machine it goes
// to. A message too large to encode is sent to nobody: every path logs it and reports it as a
// failed Status. Sends over streams; pings over datagrams.
class Outbox {
  public:
    Outbox(DirectPlayTransport& transport, const NameTable& table, const PeerLog& log)
        : transport_(transport), table_(table), log_(log) {}

    Status Send(const RemoteMachine& machine, const Message& message);
    // To a listening address that is no machine of the session (a host we search).
    Status SendStream(const QHostAddress& ip, quint16 port, const Message& message,
                      uint16_t version);
    // Answers over a connection we open to the sender's listening address.
    Status Reply(const Origin& origin, const Decoded& request, const Message& message);
    // Asks the relay to pass the message on to `groupTo` (0: everyone).
    Status SendRelayed(const RemoteMachine& relay, uint32_t groupTo, uint32_t playerFrom,
                       const Message& message);
    // To every other machine: as one message for the relay to pass on where the host relays,
    // else one copy for each machine.
    Status SendToEveryMachine(const Message& message);
    Status SendDatagram(const QHostAddress& ip, quint16 port, const Message& message,
                        uint16_t dialect);

    // Player data to every remote application player, guaranteed (TCP): one copy per player,
    // or one message for the host to pass on in a session where it relays.
    Status SendToAll(uint32_t idFrom, const Bytes& payload);
    Status SendTo(uint32_t idFrom, uint32_t idTo, const Bytes& payload);

    // Visits a copy of every machine still in the table when its turn comes, so a visit may
    // remove machines (a send that fails at once drops its machine).
    void ForEachMachine(const std::function<void(const RemoteMachine&)>& visit) const;

  private:
    // Player data as this session frames it: with the sender and receiver ids, or without
    // them in a session that has none.
    Message PlayerMessage(uint32_t idFrom, uint32_t idTo, const Bytes& payload) const;
    Status NotSent(const std::string& where, const std::string& what, const Status& failed) const;

    DirectPlayTransport& transport_;
    const NameTable& table_;
    const PeerLog& log_;
};

}  // namespace scopewatch::directplay
