#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "mainwindow/LiveSession.h"
#include "model/AircraftNotes.h"
#include "model/SessionState.h"
#include "model/TrackHistory.h"
#include "model/TrafficTable.h"
#include "replay/ReplayPlayback.h"
#include "replay/ReplaySession.h"
#include "shared/Outcome.h"
#include "shared/TimerClock.h"

namespace scopewatch {
struct MagVarGrid;
}

namespace scopewatch::replay {

class ReplayTimeline;

// A replay played by the main window's running session without its widgets: the same intake
// into a traffic table, tracks and chat history, moved by jumps as the Replay window moves it
// (headings turned magnetic by the grid).
class HeadlessReplay {
  public:
    HeadlessReplay(std::unique_ptr<ReplayTimeline> timeline, const MagVarGrid& grid);

    // To the moment, seconds after the replay's start.
    void JumpTo(double seconds) { playback_.JumpTo(seconds); }
    const TrafficTable& traffic() const { return traffic_; }
    TrackHistory& tracks() { return tracks_; }
    const std::string& chat() const { return live_.chatText(); }
    double length() const { return replay_.length(); }

  private:
    ReplaySession replay_;
    SessionState state_;
    TrafficTable traffic_;
    TrackHistory tracks_;
    AircraftNotes notes_;
    const TimerClock clock_;
    TimerClock pace_;
    LiveSession live_;
    ReplayPlayback playback_;
};

// What the main window holds at a moment of a replay: the traffic table, the aircraft's tracks
// and the chat history.
struct ReplayMoment {
    TrafficTable traffic;
    TrackHistory tracks;
    std::string chat;
    double length = 0.0;  // of the whole replay, in seconds
};

// The moment `seconds` after the replay's start, as a jump there shows it.
ReplayMoment ReplayAt(ReplayTimeline timeline, double seconds, const MagVarGrid& grid);
// The same for a capture file; fails with the reader's words.
Outcome<ReplayMoment> ReplayFileAt(const std::filesystem::path& file, double seconds,
                                   const MagVarGrid& grid);

}  // namespace scopewatch::replay
