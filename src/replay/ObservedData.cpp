// The observer's players and machines, and the game's messages it hands on.
#include <QString>
#include <limits>

#include "geo/GeoMath.h"
#include "multiplayer/DirectPlaySession.h"
#include "multiplayer/GameMessages.h"
#include "platform/CodePage.h"
#include "replay/ReplayTexts.h"
#include "replay/ReplayTimeline.h"
#include "replay/SessionObserver.h"
#include "shared/ByteReader.h"

namespace scopewatch::replay {

namespace {

constexpr size_t kMostObservedPlayers = 4096;
constexpr size_t kMostGameKinds = 4096;
constexpr size_t kMostTimelinePlayers = 65536;
constexpr size_t kGameHeadSize = 8;  // kind and length
// A scope's main window opens once its user has read that the join succeeded: its first request
// for everyone to announce themselves comes within a minute of its acceptance, or was never made.
constexpr int64_t kWindowOpensWithinMicros = 60'000'000;

int32_t KindAtStart(std::span<const uint8_t> payload) {
    return ByteReader(payload.data(), payload.size()).Int32At(0);
}

}  // namespace

ObservedPlayer* SessionObserver::Record(uint32_t id, int64_t micros) {
    auto found = observation_.players.find(id);
    if (found == observation_.players.end()) {
        if (observation_.players.size() >= kMostObservedPlayers) {
            return nullptr;
        }
        found = observation_.players.emplace(id, ObservedPlayer{}).first;
        found->second.id = id;
        found->second.since = micros;
    }
    return &found->second;
}

void SessionObserver::Enter(const directplay::PlayerInfo& player, uint32_t tellerIp,
                            int64_t micros) {
    const bool system = (player.flags & directplay::player_flags::kSystemPlayer) != 0;
    const uint32_t machineId = system ? player.id : player.systemPlayerId;
    if (player.id == 0 || !table_.PutPlayer(player)) {
        return;
    }
    const bool addressed = player.streamAddress && player.streamAddress->port != 0;
    if (machineId != 0 && addressed && (system || table_.FindMachine(machineId) == nullptr)) {
        table_.PutMachine(directplay::NameTable::MachineAddressedBy(
            machineId, player, QHostAddress(tellerIp), directplay::ClampVersion(player.version)));
    }
    const bool onHost = table_.hostSystemId() != 0 && machineId == table_.hostSystemId();
    if (ObservedPlayer* seen = Record(player.id, micros)) {
        seen->systemId = machineId;
        seen->machine = system;
        seen->host = system && onHost;
        seen->name = Utf8(player.shortName);
        seen->gone.reset();
        if (const auto stream = MachineAddressOf(player.id)) {
            seen->stream = stream;
            seen->datagramPort = table_.FindMachine(machineId)->datagramPort;
        }
        if (system) {
            seen->dialect = directplay::ClampVersion(player.version);
        }
    }
    if (!system && timeline_ != nullptr &&
        (timeline_->FindPlayer(player.id) != nullptr ||
         timeline_->players() < kMostTimelinePlayers)) {
        const std::string name = WideToAnsi(player.shortName);
        timeline_->Player(player.id, micros, name).onHostMachine = onHost;
        timeline_->Rename(player.id, micros, name);
    }
}

// The host is known by its id: its machine and the players living on it are marked.
void SessionObserver::MarkHost() {
    const uint32_t host = table_.hostSystemId();
    for (auto& [id, seen] : observation_.players) {
        seen.host = seen.machine && id == host;
        if (!seen.machine && timeline_ != nullptr && timeline_->FindPlayer(id) != nullptr) {
            timeline_->Player(id, seen.since, seen.name).onHostMachine = seen.systemId == host;
        }
    }
    ObservedSessionFacts& facts = observation_.session;
    facts.hostSystemId = host;
    if (const directplay::RemoteMachine* machine = table_.FindMachine(host)) {
        facts.hostAddress = capture::Endpoint{machine->ip.toIPv4Address(), machine->streamPort};
    }
}

std::optional<capture::Endpoint> SessionObserver::MachineAddressOf(uint32_t playerId) const {
    const directplay::RemoteMachine* machine = table_.FindMachine(playerId);
    if (machine == nullptr) {
        machine = table_.MachineOfPlayer(playerId);
    }
    if (machine == nullptr) {
        return std::nullopt;
    }
    return capture::Endpoint{machine->ip.toIPv4Address(), machine->streamPort};
}

// A player met by its messages alone (the capture began inside the session).
void SessionObserver::LearnUnknown(uint32_t id, const Frame& frame, uint16_t headerPort) {
    const std::string name = "Player " + std::to_string(id);
    if (ObservedPlayer* seen = Record(id, frame.microseconds); seen && seen->name.empty()) {
        seen->name = name;
        seen->stream = EndpointBook::SenderOf(frame, headerPort);
    }
    if (timeline_ != nullptr && timeline_->players() < kMostTimelinePlayers) {
        timeline_->Player(id, frame.microseconds, name);
    }
}

// In a session without message ids the data names no sender: it is the one player of the
// machine that sent it.
std::optional<uint32_t> SessionObserver::SenderWithoutIds(const Frame& frame,
                                                          uint16_t headerPort) const {
    const auto machine = table_.MachineAt(QHostAddress(frame.from.ip), headerPort);
    if (!machine) {
        return std::nullopt;
    }
    const std::vector<uint32_t> players = table_.PlayersOf(*machine);
    if (players.empty()) {
        return std::nullopt;
    }
    return players.front();
}

void SessionObserver::OnPlayerData(const Frame& frame, const Decoded& decoded,
                                   const directplay::PlayerData& data) {
    if (!table_.HasMessageIds()) {
        const auto sender = SenderWithoutIds(frame, decoded.sender.port);
        if (!sender) {
            observation_.refused.Add({frame.microseconds, frame.place,
                                      "player data without ids from " + EndpointText(frame.from) +
                                          ", a machine without a player"});
            return;
        }
        TakeData(frame, *sender, data.body, {endpoints_.ReceiverOf(frame), 0});
        return;
    }
    const auto parts = directplay::SplitPlayerData(data);
    if (!parts) {
        observation_.unreadable.Add(
            {frame.microseconds, frame.place, "player data too short for its sender's id"});
        return;
    }
    if (!observation_.judged && observation_.players.count(parts->idFrom) == 0) {
        LearnUnknown(parts->idFrom, frame, decoded.sender.port);
    }
    TakeData(frame, parts->idFrom, parts->payload, {endpoints_.ReceiverOf(frame), parts->idTo});
}

void SessionObserver::TakeData(const Frame& frame, uint32_t sender,
                               std::span<const uint8_t> payload, const CopyFilter::Receiver& to) {
    if (copies_.IsCopy(sender, payload, to, frame.microseconds)) {
        ++observation_.copiesCountedOnce;
        return;
    }
    if (payload.size() < kGameHeadSize) {
        ++observation_.gameMessagesTooShort;
        return;
    }
    const int32_t kind = KindAtStart(payload);
    if (observation_.gameKinds.size() < kMostGameKinds || observation_.gameKinds.count(kind)) {
        ++observation_.gameKinds[kind];
    }
    FollowGame(frame, sender, kind, payload, to.machine);
    NotePosition(sender, frame.microseconds, kind, payload);
    // The host's removal of a player is that player's: it does not end the observer's replay.
    if (timeline_ == nullptr || kind == kinds::kRemoved) {
        return;
    }
    if (timeline_->FindPlayer(sender) == nullptr) {
        if (timeline_->players() >= kMostTimelinePlayers) {
            return;  // a capture that names more senders than any session holds
        }
        const auto name = table_.PlayerName(sender);
        timeline_->Player(sender, frame.microseconds,
                          name ? WideToAnsi(*name) : "Player " + std::to_string(sender));
    }
    timeline_->Add(frame.microseconds, sender, payload);
}

// The game's own join: a player asks, and the host's player names it in "is a player" (the
// replay takes the messages after the first such acceptance, where the recorded scope began)
// or refuses it. The replay's clock begins where that scope's main window opened: with its
// first request for everyone to announce themselves, or else at the acceptance.
void SessionObserver::FollowGame(const Frame& frame, uint32_t sender, int32_t kind,
                                 std::span<const uint8_t> payload, const capture::Endpoint& to) {
    const auto machine = MachineAddressOf(sender);
    if (kind == kinds::kJoinRequest || kind == kinds::kJoinNotice) {
        if (askedToJoin_.size() < kMostObservedPlayers) {
            askedToJoin_.insert(sender);
        }
        if (machine) {
            joins_.Step(*machine, frame,
                        "its player " + HexText(sender) +
                            (kind == kinds::kJoinRequest ? " asks the game to join (0x1001)"
                                                         : " asks again (0x1008)"));
        }
    } else if (kind == kinds::kPlayerPresent && payload.size() >= kGameHeadSize + 4) {
        const uint32_t named = ByteReader(payload.data(), payload.size()).UInt32At(kGameHeadSize);
        if (named != sender && askedToJoin_.erase(named) != 0) {
            if (const auto joiner = MachineAddressOf(named)) {
                joins_.Step(*joiner, frame,
                            "the game lets its player " + HexText(named) + " in: 0x1003 from " +
                                HexText(sender));
            }
            Started(frame.microseconds, named);
        }
    } else if (kind == kinds::kIdentifyRequest && start_ && !windowOpened_ &&
               sender == startedBy_ && frame.microseconds - *start_ <= kWindowOpensWithinMicros) {
        windowOpened_ = frame.microseconds;
    } else if (kind == kinds::kRefused) {
        joins_.Step(to, frame, "the game refuses its player (0x1005 from " + HexText(sender) + ")");
    }
}

void SessionObserver::NotePosition(uint32_t sender, int64_t micros, int32_t kind,
                                   std::span<const uint8_t> payload) {
    if (kind != kinds::kPositionShort && kind != kinds::kPositionLong) {
        return;
    }
    const auto seen = observation_.players.find(sender);
    if (seen == observation_.players.end()) {
        return;
    }
    SessionMessage message(std::vector<uint8_t>(payload.begin(), payload.end()));
    try {
        ReadHead(message);
        const PositionReport report = ReadPosition(message, kind);
        const PositionFix fix{
            micros, LatitudeDegrees(report.latitudeRaw), LongitudeDegrees(report.longitudeRaw),
            FeetFromMetres(report.altitudeMetres), HeadingFromWord(report.headingWord)};
        if (!seen->second.firstPosition) {
            seen->second.firstPosition = fix;
        }
        seen->second.lastPosition = fix;
    } catch (const MalformedBytes&) {
        // A position too short to read: the aircraft's span stays as it was.
    }
}

void SessionObserver::Started(int64_t micros, uint32_t joiner) {
    if (!start_) {
        start_ = micros;
        startedBy_ = joiner;
        ListSession(micros);
    }
}

// How the session is listed: as it stood when the replay starts.
void SessionObserver::ListSession(int64_t start) {
    if (timeline_ == nullptr) {
        return;
    }
    const ObservedSessionFacts& facts = observation_.session;
    TimelineSession& listed = timeline_->session();
    listed.name = ToAnsi(QString::fromStdString(facts.name));
    constexpr uint32_t kLargest = std::numeric_limits<int32_t>::max();
    listed.maxPlayers = static_cast<int32_t>(std::min(facts.maxPlayers, kLargest));
    listed.currentPlayers = facts.seen
                                ? static_cast<int32_t>(std::min(facts.currentPlayers, kLargest))
                                : static_cast<int32_t>(timeline_->PresentAt(start).size());
}

const Observation& SessionObserver::Finish() {
    const int64_t first = observation_.firstMicros.value_or(0);
    if (timeline_ != nullptr) {
        const int64_t start = start_.value_or(first);
        if (!start_) {
            ListSession(start);
        }
        timeline_->SetStart(start, windowOpened_.value_or(start));
        timeline_->SetEnd(std::max(observation_.lastMicros.value_or(first), timeline_->start()));
        timeline_->Finish();
    }
    return observation_;
}

}  // namespace scopewatch::replay
