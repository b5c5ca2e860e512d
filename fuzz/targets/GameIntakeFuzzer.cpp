// The main window's message intake, as its timers run it: a session delivers the fuzzer's
// messages, from players with awkward names, to the intake, which keeps the traffic table,
// answers identification requests, counts the link watchdog down and hands chat lines on.
// After every tick the scope is repainted with the traffic at two zoom levels and the hover
// text is asked for at an aircraft; every fourth tick the 30-second refresh runs.
//
// Input: records of a sender byte, a 16-bit little-endian length and that many message bytes.
// The sender byte picks a player (see Peers below, and kMe: a peer may name our own player as
// the sender; other values are senders the session does not know); a sender byte of 0xFF ends
// the tick.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/MessageIntake.h"
#include "shared/ByteReader.h"
#include "state/ProgramState.h"
#include "support/InMemorySession.h"

namespace scopewatch::fuzzing {
namespace {

constexpr int32_t kMe = 101;
const char* const kMyName = "ATC";
constexpr uint8_t kEndOfTick = 0xFF;

// Pilots 1 to 24: plain names, two of one name, Windows-1252 letters, a zero byte inside a
// name and the longest name a player can have.
std::vector<std::pair<int32_t, std::string>> Peers() {
    std::vector<std::pair<int32_t, std::string>> peers;
    for (int32_t id = 1; id <= 20; ++id) {
        peers.emplace_back(id, "Pilot" + std::to_string(id));
    }
    peers.emplace_back(21, "Pilot1");
    peers.emplace_back(22, "M\xfcller \xc9lise");
    peers.emplace_back(23, std::string("N1\0X", 4));
    peers.emplace_back(24, std::string(255, 'W'));
    return peers;
}

struct Record {
    int32_t sender = 0;
    std::vector<uint8_t> bytes;
    bool endOfTick = false;
};

std::vector<Record> Records(const uint8_t* data, size_t size) {
    std::vector<Record> records;
    size_t at = 0;
    while (at < size) {
        const uint8_t sender = data[at++];
        if (sender == kEndOfTick) {
            records.push_back(Record{0, {}, true});
            continue;
        }
        const ByteReader input(data, size);
        const size_t length = input.Contains(at, sizeof(uint16_t)) ? input.UInt16At(at) : 0;
        at = std::min(at + sizeof(uint16_t), size);
        const size_t taken = std::min(length, size - at);
        records.push_back(
            Record{sender, std::vector<uint8_t>(data + at, data + at + taken), false});
        at += taken;
    }
    records.push_back(Record{0, {}, true});
    return records;
}

void RepaintAndHover(ProgramState& state) {
    const DisplayFlags flags;
    const SelectedAirspace selection;
    for (const int16_t level : {int16_t{9}, int16_t{13}}) {
        ScopeView view = InitialView(800, 600, {36.42, -97.0});
        while (view.ZoomLevel < level && ZoomIn(view)) {
        }
        const ScopeScene scene{view, state.airport, state.traffic, flags, selection};
        RecordingSurface surface;
        RepaintScope(surface, scene);
        for (const TrafficRecord& aircraft : state.traffic.InUse()) {
            HoverInfoAt(scene, PointerPosition{static_cast<float>(aircraft.longitude),
                                               static_cast<float>(aircraft.latitude)});
        }
    }
}

void CheckTable(const ProgramState& state, const MessageIntake& intake) {
    Require(state.traffic.trafficCount >= 0 && state.traffic.trafficCount <= 20,
            "the table holds at most 20 aircraft");
    std::set<std::string> names;
    for (const TrafficRecord& entry : state.traffic.InUse()) {
        Require(names.insert(entry.playerName).second, "every name is listed once");
        Require(entry.heading >= 0 && entry.heading <= 360, "headings run from 0 to 360");
    }
    Require(intake.linkWatchdog() >= 0 && intake.linkWatchdog() <= kLinkWatchdogSeconds,
            "the watchdog stays within its range");
}

}  // namespace
}  // namespace scopewatch::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scopewatch;
    using namespace scopewatch::fuzzing;
    ProgramState state;
    state.myPlayerId = kMe;
    state.isConnected = kTrue16;
    state.airport.magVarGrid = SpreadGrid();
    InMemorySession session;
    session.AddPeer(kMe, kMyName);
    std::set<std::string> speakers{kMyName};
    for (const auto& [id, name] : Peers()) {
        session.AddPeer(id, name);
        speakers.insert(name);
    }
    MessageIntake intake(session, state, state.traffic, state.airport.magVarGrid);
    int tick = 0;
    for (const Record& record : Records(data, size)) {
        if (!record.endOfTick) {
            session.Deliver(record.sender, SessionMessage(record.bytes));
            continue;
        }
        const IntakeEnd end = intake.ReceiveMessages([&](const std::string& line) {
            const std::string speaker = line.substr(0, line.find(": "));
            Require(line.find(": ") != std::string::npos && speakers.count(speaker) != 0,
                    "a chat line starts with a known player's name");
        });
        Require(end != IntakeEnd::ConnectionLost || intake.linkWatchdog() == 0,
                "the link counts as lost only when the watchdog ran out");
        if (end != IntakeEnd::Normal) {
            break;  // the window leaves the session here
        }
        if (++tick % 4 == 0) {
            intake.RefreshTraffic();
        }
        CheckTable(state, intake);
        RepaintAndHover(state);
    }
    return 0;
}
