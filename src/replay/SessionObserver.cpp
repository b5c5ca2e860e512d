#include "replay/SessionObserver.h"

#include "directplay/TakenFrom.h"
#include "multiplayer/DirectPlaySession.h"
#include "replay/ReplayTexts.h"
#include "replay/ReplayTimeline.h"

namespace scopewatch::replay {

namespace {

constexpr uint32_t kBroadcastIp = 0xFFFFFFFF;
// The host's machine while only its address is known.
constexpr uint32_t kProvisionalHost = 0;
constexpr size_t kLongestDescription = 160;

bool IsSystem(const directplay::PlayerInfo& player) {
    return (player.flags & directplay::player_flags::kSystemPlayer) != 0;
}

std::string CarriedText(const capture::CapturedFrame& frame) {
    return std::string(frame.carrier == capture::Carrier::kDatagram ? "by UDP to " : "by TCP to ") +
           EndpointText(frame.to);
}

std::string Shortened(std::string text) {
    if (text.size() > kLongestDescription) {
        text.resize(kLongestDescription);
        text += "...";
    }
    return text;
}

// Whom the receiving machine takes a message from, in words.
const char* SourceText(directplay::Source source) {
    using directplay::Source;
    switch (source) {
        case Source::kSendersMachine:
            return "the machine of the player named as its sender";
        case Source::kAnyoneWhileSearching:
            return "anyone, while searching";
        case Source::kAnyoneWhereWeHost:
            return "anyone, by the host";
        case Source::kHost:
            return "the host's machine";
        case Source::kNamedPlayersMachineOrHost:
            return "the machine of the player it names, or the host's";
        case Source::kSessionMachineOrAnyoneWhereWeHost:
        case Source::kSessionMachine:
            return "a machine of the session";
    }
    return "nobody";
}

}  // namespace

SessionObserver::SessionObserver(ReplayTimeline* timeline)
    : timeline_(timeline), joins_(observation_.joins, observation_.joinsLeftOut) {}

void SessionObserver::Take(const Frame& frame) {
    ++observation_.frames;
    if (!observation_.firstMicros) {
        observation_.firstMicros = frame.microseconds;
    }
    observation_.lastMicros =
        std::max(observation_.lastMicros.value_or(frame.microseconds), frame.microseconds);
    ForgetDeleted(frame.microseconds - CopyFilter::kWindowMicros);
    const Outcome<Decoded> decoded =
        frame.carrier == capture::Carrier::kDatagram
            ? directplay::DecodeDatagram(frame.bytes.data(), frame.bytes.size())
            : directplay::Decode(frame.bytes);
    if (!decoded.ok()) {
        observation_.unreadable.Add(
            {frame.microseconds, frame.place, "cannot be read: " + decoded.failure});
        return;
    }
    const Decoded& message = *decoded.value;
    endpoints_.Learn(frame, message.sender.port);
    if (std::holds_alternative<directplay::PlayerData>(message.message)) {
        ++observation_.playerData;
    } else {
        ++observation_.commands[message.command];
    }
    if (!Taken(frame, message)) {
        observation_.refused.Add({frame.microseconds, frame.place,
                                  Shortened(directplay::Describe(message)) + " from " +
                                      EndpointText(frame.from) + " to " + EndpointText(frame.to) +
                                      " would be refused: it is taken only from " +
                                      SourceText(directplay::RowOf(message.message).from)});
        return;
    }
    Observe(frame, message);
}

// As the machine the frame went to judges it. Before the name table only what needs the host
// is judged, by the address the joiner asked.
bool SessionObserver::Taken(const Frame& frame, const Decoded& decoded) const {
    using directplay::Source;
    const QHostAddress from(frame.from.ip);
    switch (directplay::RowOf(decoded.message).from) {
        case Source::kAnyoneWhileSearching:
            return true;
        case Source::kAnyoneWhereWeHost:
            return ToHost(frame);
        case Source::kHost:
            return table_.HostMachine() == nullptr || table_.IsHostAddress(from);
        default:
            return !observation_.judged || directplay::Admits(table_, decoded.message, from, false);
    }
}

bool SessionObserver::ToHost(const Frame& frame) const {
    return table_.HostMachine() == nullptr || frame.to.ip == kBroadcastIp ||
           table_.IsHostAddress(QHostAddress(frame.to.ip));
}

void SessionObserver::Observe(const Frame& frame, const Decoded& decoded) {
    namespace dp = directplay;
    const capture::Endpoint sender = EndpointBook::SenderOf(frame, decoded.sender.port);
    const dp::Message& m = decoded.message;
    if (const auto* data = std::get_if<dp::PlayerData>(&m)) {
        OnPlayerData(frame, decoded, *data);
    } else if (std::holds_alternative<dp::EnumSessions>(m)) {
        joins_.Begin(sender, frame, "asks for the sessions (ENUMSESSIONS) " + CarriedText(frame));
    } else if (const auto* reply = std::get_if<dp::EnumSessionsReply>(&m)) {
        OnEnumReply(frame, decoded, *reply);
    } else if (const auto* request = std::get_if<dp::RequestPlayerId>(&m)) {
        OnRequest(frame, decoded, request->flags);
    } else if (const auto* granted = std::get_if<dp::RequestPlayerReply>(&m)) {
        OnReply(frame, *granted);
    } else if (const auto* join = std::get_if<dp::AddForwardRequest>(&m)) {
        OnForwardRequest(frame, decoded, *join);
    } else if (const auto* forward = std::get_if<dp::AddForward>(&m)) {
        OnForward(frame, *forward);
    } else if (const auto* ack = std::get_if<dp::AddForwardAck>(&m)) {
        if (const auto joiner = MachineAddressOf(ack->id)) {
            joins_.Step(*joiner, frame, EndpointText(sender) + " acknowledges it (ADDFORWARDACK)");
        }
    } else if (const auto* refusal = std::get_if<dp::AddForwardReply>(&m)) {
        joins_.Step(
            endpoints_.ReceiverOf(frame), frame,
            "the host refuses the join: error " + HexText(refusal->error) + " (ADDFORWARDREPLY)");
    } else if (const auto* names = std::get_if<dp::SuperEnumPlayersReply>(&m)) {
        OnNameTable(frame, decoded, *names);
    } else if (const auto* created = std::get_if<dp::CreatePlayer>(&m)) {
        OnCreate(frame, decoded, *created);
    } else if (const auto* deleted = std::get_if<dp::DeletePlayer>(&m)) {
        OnDelete(frame, deleted->playerId);
    } else if (const auto* renamed = std::get_if<dp::PlayerNameChanged>(&m)) {
        OnRename(frame, *renamed);
    } else if (const auto* changed = std::get_if<dp::SessionDescChanged>(&m)) {
        SetSession(changed->desc, changed->name, decoded.version);
    } else if (const auto* relay = std::get_if<dp::Ask4Multicast>(&m)) {
        Inner(frame, decoded, *relay);
    }
}

// What a machine asks the relaying host to pass on is the message itself: a system message is
// read as from that machine, player data as sent to the host.
void SessionObserver::Inner(const Frame& frame, const Decoded& outer,
                            const directplay::Ask4Multicast& relay) {
    const directplay::Bytes framed = directplay::FramedForm(relay.inner, outer.sender);
    const Outcome<Decoded> inner = directplay::Decode(framed);
    if (!inner.ok()) {
        observation_.unreadable.Add({frame.microseconds, frame.place,
                                     "the message to relay cannot be read: " + inner.failure});
    } else if (std::holds_alternative<directplay::Ask4Multicast>(inner.value->message)) {
        // A host relays messages, not requests to relay: read no deeper.
        observation_.unreadable.Add(
            {frame.microseconds, frame.place, "a request to relay holds another one"});
    } else if (std::holds_alternative<directplay::PlayerData>(inner.value->message)) {
        ++observation_.playerData;
        OnPlayerData(frame, *inner.value, std::get<directplay::PlayerData>(inner.value->message));
    } else {
        Observe(frame, *inner.value);
    }
}

void SessionObserver::OnEnumReply(const Frame& frame, const Decoded& decoded,
                                  const directplay::EnumSessionsReply& reply) {
    const capture::Endpoint host = EndpointBook::SenderOf(frame, decoded.sender.port);
    if (!observation_.session.seen) {
        SetSession(reply.desc, reply.name, decoded.version);
        SetProvisionalHost(host);
    }
    joins_.Step(endpoints_.ReceiverOf(frame), frame,
                "the host " + EndpointText(host) + " answers: \"" + Utf8(reply.name) + "\", " +
                    std::to_string(reply.desc.currentPlayers) + "/" +
                    std::to_string(reply.desc.maxPlayers) + " players, dialect " +
                    std::to_string(decoded.version) + " (ENUMSESSIONSREPLY)");
}

void SessionObserver::OnRequest(const Frame& frame, const Decoded& decoded, uint32_t flags) {
    const capture::Endpoint joiner = EndpointBook::SenderOf(frame, decoded.sender.port);
    if ((flags & directplay::player_flags::kSystemPlayer) == 0) {
        joins_.Step(joiner, frame,
                    "asks for a player id (REQUESTPLAYERID, flags " + HexText(flags) + ")");
        return;
    }
    SetProvisionalHost(endpoints_.ReceiverOf(frame));
    joins_.Begin(joiner, frame,
                 "asks the host at " + EndpointText(frame.to) +
                     " for its machine's id (REQUESTPLAYERID, flags " + HexText(flags) + ")");
}

void SessionObserver::OnReply(const Frame& frame, const directplay::RequestPlayerReply& reply) {
    joins_.Step(
        endpoints_.ReceiverOf(frame), frame,
        reply.result == 0
            ? "the host gives the id " + HexText(reply.id) + " (REQUESTPLAYERREPLY)"
            : "the host refuses an id: error " + HexText(reply.result) + " (REQUESTPLAYERREPLY)");
}

void SessionObserver::OnForwardRequest(const Frame& frame, const Decoded& decoded,
                                       const directplay::AddForwardRequest& request) {
    const capture::Endpoint joiner = EndpointBook::SenderOf(frame, decoded.sender.port);
    directplay::PlayerInfo machine = request.player;
    machine.id = machine.id != 0 ? machine.id : request.playerId;
    machine.systemPlayerId = machine.id;
    machine.flags |= directplay::player_flags::kSystemPlayer;
    if (machine.datagramAddress && machine.datagramAddress->port != 0) {
        endpoints_.Alias(capture::Carrier::kDatagram,
                         capture::Endpoint{frame.from.ip, machine.datagramAddress->port}, joiner);
    }
    Enter(machine, frame.from.ip, frame.microseconds);
    joins_.Begin(joiner, frame,
                 "asks to join as machine " + HexText(machine.id) + " (ADDFORWARDREQUEST)");
}

void SessionObserver::OnForward(const Frame& frame, const directplay::AddForward& forward) {
    directplay::PlayerInfo machine = forward.player;
    machine.id = machine.id != 0 ? machine.id : forward.playerId;
    Enter(machine, frame.from.ip, frame.microseconds);
    if (const auto joiner = MachineAddressOf(machine.id)) {
        joins_.Step(*joiner, frame,
                    "the host announces it to " + EndpointText(endpoints_.ReceiverOf(frame)) +
                        " (ADDFORWARD)");
    }
}

void SessionObserver::OnNameTable(const Frame& frame, const Decoded& decoded,
                                  const directplay::SuperEnumPlayersReply& names) {
    SetSession(names.desc, names.name, decoded.version);
    observation_.judged = true;
    std::optional<uint32_t> host;
    size_t machines = 0;
    for (const directplay::PlayerInfo& player : names.players) {
        Enter(player, frame.from.ip, frame.microseconds);
        if (!IsSystem(player)) {
            continue;
        }
        ++machines;
        const directplay::SockAddr stream = player.streamAddress.value_or(directplay::SockAddr{});
        const bool named = (player.flags & directplay::player_flags::kNameServer) != 0;
        if (named || (!host && stream.address == 0 && stream.port == decoded.sender.port)) {
            host = player.id;
        }
    }
    if (host && table_.FindMachine(*host) != nullptr) {
        table_.EraseMachine(kProvisionalHost);
        table_.SetHostSystemId(*host);
        MarkHost();
    }
    const size_t players = names.players.size() - machines;
    joins_.Step(endpoints_.ReceiverOf(frame), frame,
                "receives the name table: " + std::to_string(players) +
                    (players == 1 ? " player on " : " players on ") + std::to_string(machines) +
                    (machines == 1 ? " machine" : " machines") + " (SUPERENUMPLAYERSREPLY)");
}

void SessionObserver::OnCreate(const Frame& frame, const Decoded& decoded,
                               const directplay::CreatePlayer& m) {
    directplay::PlayerInfo player = m.player;
    player.id = player.id != 0 ? player.id : m.playerId;
    Enter(player, frame.from.ip, frame.microseconds);
    if (!m.verify) {
        joins_.Step(EndpointBook::SenderOf(frame, decoded.sender.port), frame,
                    "announces its player " + HexText(player.id) + " \"" + Utf8(player.shortName) +
                        "\" to " + EndpointText(endpoints_.ReceiverOf(frame)) + " (CREATEPLAYER)");
    }
}

// Every machine is told: the player goes at the first word, and leaves the table the receivers
// judge by once the others had time to hear it too.
void SessionObserver::OnDelete(const Frame& frame, uint32_t playerId) {
    if (playerId == 0) {
        return;
    }
    std::vector<uint32_t> going{playerId};
    if (table_.FindMachine(playerId) != nullptr) {
        const std::vector<uint32_t> players = table_.PlayersOf(playerId);
        going.insert(going.end(), players.begin(), players.end());
    }
    for (const uint32_t id : going) {
        const auto seen = observation_.players.find(id);
        if (seen != observation_.players.end() && !seen->second.gone) {
            seen->second.gone = frame.microseconds;
        }
        if (timeline_ != nullptr) {
            timeline_->Gone(id, frame.microseconds);
        }
        if (table_.HasPlayer(id) && deleting_.insert(id).second) {
            deleted_.emplace_back(frame.microseconds, id);
        }
    }
}

void SessionObserver::ForgetDeleted(int64_t before) {
    while (!deleted_.empty() && deleted_.front().first < before) {
        const uint32_t id = deleted_.front().second;
        deleted_.pop_front();
        deleting_.erase(id);
        table_.ErasePlayer(id);
        table_.EraseMachine(id);
    }
}

void SessionObserver::OnRename(const Frame& frame, const directplay::PlayerNameChanged& m) {
    const directplay::PlayerInfo* known = table_.FindPlayer(m.playerId);
    if (known == nullptr) {
        return;
    }
    directplay::PlayerInfo player = *known;
    player.shortName = m.shortName;
    player.longName = m.longName;
    table_.PutPlayer(player);
    if (ObservedPlayer* seen = Record(m.playerId, frame.microseconds)) {
        seen->name = Utf8(m.shortName);
    }
    if (timeline_ != nullptr) {
        timeline_->Rename(m.playerId, frame.microseconds, WideToAnsi(m.shortName));
    }
}

void SessionObserver::SetSession(const directplay::SessionDesc& desc, const std::u16string& name,
                                 uint16_t dialect) {
    table_.SetDesc(desc);
    ObservedSessionFacts& facts = observation_.session;
    facts.seen = true;
    if (!name.empty()) {
        facts.name = Utf8(name);
    }
    facts.flags = desc.flags;
    facts.dialect = dialect;
    facts.maxPlayers = desc.maxPlayers;
    facts.currentPlayers = desc.currentPlayers;
}

void SessionObserver::SetProvisionalHost(const capture::Endpoint& host) {
    if (observation_.judged) {
        return;
    }
    directplay::RemoteMachine machine;
    machine.systemId = kProvisionalHost;
    machine.ip = QHostAddress(host.ip);
    machine.streamPort = host.port;
    machine.datagramPort = host.port;
    table_.PutMachine(machine);
    table_.SetHostSystemId(kProvisionalHost);
    observation_.session.hostAddress = host;
}

}  // namespace scopewatch::replay
