#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/CapturedFrame.h"
#include "directplay/DirectPlayCodec.h"
#include "multiplayer/SessionMessage.h"
#include "replay/ReplayTimeline.h"
#include "shared/Outcome.h"

namespace scopewatch::testing {

// The frames a capture of a session holds, written by hand: machines at addresses, messages
// encoded with our codec, each at the time set last (seconds into the capture).
class SessionFrames {
  public:
    struct Machine {
        capture::Endpoint stream;  // its address and listening port
        uint32_t systemId = 0;
    };

    void At(double seconds);
    void System(const Machine& from, const Machine& to, const directplay::Message& message,
                capture::Carrier carrier = capture::Carrier::kStream);
    void Data(const Machine& from, const Machine& to, uint32_t idFrom, uint32_t idTo,
              const SessionMessage& payload);
    // Bytes as they are, from one address to another.
    void Raw(const capture::Endpoint& from, const capture::Endpoint& to, directplay::Bytes bytes);

    std::vector<capture::CapturedFrame> frames;
    int64_t micros = kStartMicros;
    static constexpr int64_t kStartMicros = 1'700'000'000'000'000;
};

// A player or machine as a name table entry describes it: addresses 0.0.0.0 with the ports of
// its machine.
directplay::PlayerInfo PlayerEntry(uint32_t id, uint32_t systemId, const std::u16string& name,
                                   uint32_t flags, uint16_t port);

// A demo-like session recorded by a scope that joins it: the host's machine with two pilots,
// the scope's machine with its controller, the join, then a second of the pilots' messages
// for every second of `seconds` (positions, keep-alives, and each answering the scope's
// requests), a chat line from the second pilot at 10 s.
struct RecordedSession {
    SessionFrames::Machine host{{0x0A000001, 2300}, 0x1001};
    SessionFrames::Machine scope{{0x0A000002, 2301}, 0x2002};
    uint32_t pilots[2] = {0x1101, 0x1102};
    uint32_t controller = 0x2201;
    SessionFrames frames;
};
RecordedSession RecordSession(int seconds);
// The pilots' second `second` of the session: a position each, and a keep-alive.
void PilotsSecond(RecordedSession& session, int second);
// What a replay keeps of the session's frames (an observer's timeline).
Outcome<replay::ReplayTimeline> TimelineOf(const RecordedSession& session);

}  // namespace scopewatch::testing
