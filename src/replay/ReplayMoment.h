#pragma once

#include <filesystem>
#include <string>

#include "model/TrackHistory.h"
#include "model/TrafficTable.h"
#include "shared/Outcome.h"

namespace scopewatch {
struct MagVarGrid;
}

namespace scopewatch::replay {

class ReplayTimeline;

// What the main window holds at a moment of a replay: the traffic table, the aircraft's tracks
// and the chat history.
struct ReplayMoment {
    TrafficTable traffic;
    TrackHistory tracks;
    std::string chat;
    double length = 0.0;  // of the whole replay, in seconds
};

// The moment `seconds` after the replay's start, as a jump there shows it: the recording
// played through the same intake (headings turned magnetic by the grid).
Outcome<ReplayMoment> ReplayAt(ReplayTimeline timeline, double seconds, const MagVarGrid& grid);
// The same for a capture file; fails with the reader's words.
Outcome<ReplayMoment> ReplayFileAt(const std::filesystem::path& file, double seconds,
                                   const MagVarGrid& grid);

}  // namespace scopewatch::replay
