#include "mainwindow/SoundCues.h"

#include <algorithm>

namespace scopewatch {

std::vector<SoundCue> SoundCues::Tick(const SoundChoices& choices, double secondsInSession,
                                      const TrafficTable& traffic, bool chatReceived,
                                      const std::vector<Conflict>& conflicts) {
    // Both are followed while their sounds are off too: a box switched on later sounds for
    // what is new from then on.
    const bool conflictBegan = ConflictBegan(secondsInSession, conflicts);
    const bool pilotJoined = PilotJoined(secondsInSession, traffic);
    std::vector<SoundCue> cues;
    if (choices.newConflict && conflictBegan) {
        cues.push_back(SoundCue::NewConflict);
    }
    if (choices.chatLine && chatReceived) {
        cues.push_back(SoundCue::ChatLine);
    }
    if (choices.pilotJoined && pilotJoined) {
        cues.push_back(SoundCue::PilotJoined);
    }
    return cues;
}

bool SoundCues::PilotJoined(double secondsInSession, const TrafficTable& traffic) {
    std::erase_if(lastSeen_, [secondsInSession](const auto& entry) {
        return secondsInSession - entry.second > kAbsentSeconds;
    });
    bool joined = false;
    for (const TrafficRecord& aircraft : traffic.InUse()) {
        const bool absent = !lastSeen_.contains(aircraft.playerName);
        joined = joined || (absent && secondsInSession > kSettlingSeconds);
        lastSeen_[aircraft.playerName] = secondsInSession;
    }
    return joined;
}

bool SoundCues::ConflictBegan(double secondsInSession, const std::vector<Conflict>& conflicts) {
    std::erase_if(conflictLastSeen_, [secondsInSession](const auto& entry) {
        return secondsInSession - entry.second > kConflictGoneSeconds;
    });
    bool began = false;
    for (const Conflict& conflict : conflicts) {
        const std::pair pair{std::min(conflict.first, conflict.second),
                             std::max(conflict.first, conflict.second)};
        began = began || !conflictLastSeen_.contains(pair);
        conflictLastSeen_[pair] = secondsInSession;
    }
    return began;
}

}  // namespace scopewatch
