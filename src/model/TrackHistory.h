#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "geo/Destinations.h"
#include "model/TrafficTable.h"

namespace scopewatch {

// Ground speed, track and rate of climb, derived from an aircraft's successive positions and
// altitudes (the position messages carry no speed).
struct GroundMotion {
    double speedKt = 0.0;
    double trueTrack = 0.0;  // degrees, 0 to 360
    double climbFpm = 0.0;   // feet a minute, negative descending
};

// What the scope knows of each aircraft's path, by player name: its latest entry of the
// traffic table with a position, the positions of the last seconds and a trail of earlier
// ones. The main window feeds it after every intake tick; it outlives the traffic table's
// refresh, forgets an aircraft not seen for a while and is emptied when the session ends.
class TrackHistory {
  public:
    static constexpr int kTrailLength = 6;            // positions of a trail
    static constexpr int kLongTrailLength = 60;       // the selected aircraft's: 5 minutes
    static constexpr double kTrailStepSeconds = 5.0;  // one every 5 seconds
    static constexpr double kSmoothingSeconds = 8.0;  // motion from the positions this recent
    static constexpr double kForgetSeconds = 35.0;    // unseen this long: forgotten
    static constexpr double kStandingKt = 3.0;        // slower counts as standing still

    struct Report {
        double time = 0.0;
        GeoPoint position;
        int32_t altitudeFt = 0;
    };
    struct Track {
        TrafficRecord latest;
        double lastSeen = 0.0;
        std::deque<Report> recent;   // oldest first
        std::deque<GeoPoint> trail;  // oldest first
        double lastTrailTime = -1e9;
    };

    // Takes the positions of every aircraft of the table that has one, at the time (seconds).
    void Record(const TrafficTable& traffic, double nowSeconds);
    void Clear() { tracks_.clear(); }

    // The aircraft's motion over the last seconds; nothing for one seen once.
    std::optional<GroundMotion> Estimate(const std::string& name) const;
    // The same, and nothing for an aircraft standing still either.
    std::optional<GroundMotion> MotionOf(const std::string& name) const;
    // Where the aircraft was, oldest first, before its present position: the last `length`
    // positions of the trail.
    std::vector<GeoPoint> TrailOf(const std::string& name, size_t length = kTrailLength) const;
    const std::map<std::string, Track>& tracks() const { return tracks_; }

  private:
    std::map<std::string, Track> tracks_;
};

// Whether the entry has had a position (an aircraft only announced stands at 0, 0).
bool HasPosition(const TrafficRecord& aircraft);

}  // namespace scopewatch
