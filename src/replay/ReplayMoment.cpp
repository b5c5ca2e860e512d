#include "replay/ReplayMoment.h"

#include "mainwindow/LiveSession.h"
#include "model/SessionState.h"
#include "replay/ReadRecording.h"
#include "replay/ReplayPlayback.h"
#include "replay/ReplaySession.h"
#include "shared/TimerClock.h"

namespace scopewatch::replay {

Outcome<ReplayMoment> ReplayAt(ReplayTimeline timeline, double seconds, const MagVarGrid& grid) {
    ReplaySession replay(nullptr);
    replay.Play(std::make_unique<ReplayTimeline>(std::move(timeline)), "Replay");
    SessionState state;
    state.myPlayerId = replay.CreatedPlayer();
    state.isConnected = kTrue16;
    Outcome<ReplayMoment> moment = Outcome<ReplayMoment>::Done();
    ReplayMoment& at = *moment.value;
    const TimerClock clock;
    LiveSession live(replay, state, at.traffic, at.tracks, grid, clock);
    live.Start();
    TimerClock pace;
    ReplayPlayback playback(replay, pace, {[] {}, [&live](int ticks) { live.Rerun(ticks); }});
    playback.JumpTo(seconds);
    at.chat = live.chatText();
    at.length = replay.length();
    return moment;
}

Outcome<ReplayMoment> ReplayFileAt(const std::filesystem::path& file, double seconds,
                                   const MagVarGrid& grid) {
    Outcome<Recording> read = ReadRecording(file);
    if (!read.ok()) {
        return Outcome<ReplayMoment>::Failed(read.failure);
    }
    return ReplayAt(std::move(read.value->timeline), seconds, grid);
}

}  // namespace scopewatch::replay
