#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/ConflictAlert.h"
#include "model/ControllerAids.h"
#include "model/TrafficTable.h"

namespace scopewatch {

// The sounds the program plays.
enum class SoundCue { NewConflict, ChatLine, PilotJoined };

// Which sounds a receive tick calls for, each at most once a tick and only when its box is on:
// a conflict between two aircraft that were not in conflict in the last seconds (the refresh
// takes every position away for a moment), a chat line received from another player, and a
// pilot who joined. A pilot has joined when the name comes
// into the traffic table after the session's first seconds (those already there announce
// themselves then) and was not there for longer than a refresh takes to bring it back.
class SoundCues {
  public:
    static constexpr double kSettlingSeconds = 5.0;
    static constexpr double kAbsentSeconds = 45.0;
    static constexpr double kConflictGoneSeconds = 10.0;

    std::vector<SoundCue> Tick(const SoundChoices& choices, double secondsInSession,
                               const TrafficTable& traffic, bool chatReceived,
                               const std::vector<Conflict>& conflicts);

  private:
    bool PilotJoined(double secondsInSession, const TrafficTable& traffic);
    bool ConflictBegan(double secondsInSession, const std::vector<Conflict>& conflicts);

    std::map<std::string, double> lastSeen_;
    std::map<std::pair<std::string, std::string>, double> conflictLastSeen_;
};

}  // namespace scopewatch
