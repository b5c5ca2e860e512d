#include "model/TrackHistory.h"

#include <algorithm>

#include "geo/Geodesy.h"

namespace scopewatch {

bool HasPosition(const TrafficRecord& aircraft) {
    return aircraft.latitude != 0.0 || aircraft.longitude != 0.0;
}

void TrackHistory::Record(const TrafficTable& traffic, double nowSeconds) {
    for (const TrafficRecord& aircraft : traffic.InUse()) {
        if (!HasPosition(aircraft)) {
            continue;
        }
        Track& track = tracks_[aircraft.playerName];
        const GeoPoint at{aircraft.latitude, aircraft.longitude};
        track.latest = aircraft;
        track.lastSeen = nowSeconds;
        const Report report{nowSeconds, at, aircraft.altitudeFt};
        if (track.recent.empty() || track.recent.back().time < nowSeconds) {
            track.recent.push_back(report);
        } else {
            track.recent.back() = report;
        }
        while (track.recent.front().time < nowSeconds - kSmoothingSeconds) {
            track.recent.pop_front();
        }
        if (nowSeconds - track.lastTrailTime >= kTrailStepSeconds) {
            track.trail.push_back(at);
            track.lastTrailTime = nowSeconds;
            if (track.trail.size() > kLongTrailLength + 1) {  // the newest is the present position
                track.trail.pop_front();
            }
        }
    }
    std::erase_if(tracks_, [nowSeconds](const auto& entry) {
        return nowSeconds - entry.second.lastSeen > kForgetSeconds;
    });
}

// From the oldest to the newest of the recent positions: an average over a few seconds, so a
// position report that comes late or early does not swing the vector.
std::optional<GroundMotion> TrackHistory::Estimate(const std::string& name) const {
    const auto found = tracks_.find(name);
    if (found == tracks_.end() || found->second.recent.size() < 2) {
        return std::nullopt;
    }
    const Report& start = found->second.recent.front();
    const Report& end = found->second.recent.back();
    const double minutes = (end.time - start.time) / 60.0;
    return GroundMotion{GreatCircleNm(start.position, end.position) / (minutes / 60.0),
                        TrueCourseDegrees(start.position, end.position),
                        (end.altitudeFt - start.altitudeFt) / minutes};
}

std::optional<GroundMotion> TrackHistory::MotionOf(const std::string& name) const {
    const std::optional<GroundMotion> motion = Estimate(name);
    if (!motion || motion->speedKt < kStandingKt) {
        return std::nullopt;
    }
    return motion;
}

std::vector<GeoPoint> TrackHistory::TrailOf(const std::string& name, size_t length) const {
    const auto found = tracks_.find(name);
    if (found == tracks_.end() || found->second.trail.empty()) {
        return {};
    }
    const std::deque<GeoPoint>& trail = found->second.trail;
    const size_t earlier = trail.size() - 1;
    return {trail.end() - 1 - static_cast<std::ptrdiff_t>(std::min(length, earlier)),
            trail.end() - 1};
}

}  // namespace scopewatch
