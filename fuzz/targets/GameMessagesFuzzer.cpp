// The game messages the pilots' simulators send, read the way a receiver of the session's
// player data reads them: the head, then the fields of the kind it names. A message that
// ends early is refused with SessionError; nothing else may happen. The input is one
// message's payload.
//
// The main window's intake (the session delivering messages to the traffic table, chat and
// the link watchdog) gets a target of its own, GameIntakeFuzzer.cpp, next to this one.
#include <cstddef>
#include <cstdint>

#include "multiplayer/GameMessages.h"
#include "shared/MalformedBytes.h"

namespace scopewatch::fuzzing {
namespace {

void ReadBody(SessionMessage& message, const MessageHead& head) {
    switch (head.kind) {
        case kinds::kPositionShort:
        case kinds::kPositionLong: {
            const PositionReport report = ReadPosition(message, head.kind);
            LatitudeDegrees(report.latitudeRaw);
            LongitudeDegrees(report.longitudeRaw);
            break;
        }
        case kinds::kAircraftInfo:
            AircraftTypeText(ReadAircraftInfo(message, head.length).typeCode);
            break;
        case kinds::kChat:
            ReadChat(message, head.length);
            break;
        case kinds::kPlayerPresent:
            ReadPlayerId(message);
            break;
        default:
            break;
    }
}

}  // namespace
}  // namespace scopewatch::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scopewatch;
    using namespace scopewatch::fuzzing;
    SessionMessage message(std::vector<uint8_t>(data, data + size));
    try {
        const MessageHead head = ReadHead(message);
        ReadBody(message, head);
    } catch (const MalformedBytes&) {
        // refused: the message ended early
    }
    return 0;
}
