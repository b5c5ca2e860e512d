#include "replay/ReplayMoment.h"

#include "replay/ReadRecording.h"

namespace scopewatch::replay {

HeadlessReplay::HeadlessReplay(std::unique_ptr<ReplayTimeline> timeline, const MagVarGrid& grid)
    : replay_(nullptr),
      live_(replay_, state_, traffic_, tracks_, notes_, grid, clock_),
      playback_(replay_, pace_, {[] {}, [this](int seconds) { live_.Rerun(seconds); }}) {
    replay_.Play(std::move(timeline), "Replay");
    state_.myPlayerId = replay_.CreatedPlayer();
    state_.isConnected = kTrue16;
    live_.Start();
}

ReplayMoment ReplayAt(ReplayTimeline timeline, double seconds, const MagVarGrid& grid) {
    HeadlessReplay replay(std::make_unique<ReplayTimeline>(std::move(timeline)), grid);
    replay.JumpTo(seconds);
    return ReplayMoment{replay.traffic(), std::move(replay.tracks()), replay.chat(),
                        replay.length()};
}

Outcome<ReplayMoment> ReplayFileAt(const std::filesystem::path& file, double seconds,
                                   const MagVarGrid& grid) {
    Outcome<Recording> read = ReadRecording(file);
    if (!read.ok()) {
        return Outcome<ReplayMoment>::Failed(read.failure);
    }
    return Outcome<ReplayMoment>::Done(ReplayAt(std::move(read.value->timeline), seconds, grid));
}

}  // namespace scopewatch::replay
