#pragma once

#include <span>
#include <string>
#include <vector>

#include "geo/GeoPoint.h"
#include "model/ControllerAids.h"
#include "model/TrackHistory.h"
#include "model/TrafficTable.h"

namespace scopewatch {

// Two aircraft too close, now or within the look-ahead.
struct Conflict {
    std::string first;
    std::string second;
    GeoPoint firstAt{};
    GeoPoint secondAt{};
    double distanceNm = 0.0;  // between them now
    bool present = false;     // too close now, not only later
    // When predicted: the seconds until they are nearest while too close (straight on, which
    // may be after the look-ahead).
    double closestSeconds = 0.0;
};

// Aircraft this little above the airport take no part: those on the ground and in the
// circuit's lowest part.
inline constexpr int32_t kConflictFloorAboveAirportFt = 500;

// Every pair of the aircraft that is in conflict: both at least 500 ft above the airport's
// elevation, nearer than the lateral limit while their altitudes differ by less than the
// vertical limit, now or at some moment of the look-ahead. The prediction flies each aircraft
// on a straight line at its measured ground speed, track and rate of climb; one without a
// measured motion stays where it is.
std::vector<Conflict> FindConflicts(std::span<const TrafficRecord> aircraft,
                                    const TrackHistory& history, const ConflictLimits& limits,
                                    int32_t airportElevationFt);

// The aircraft of the table the altitude filter lets through, in their order.
TrafficTable ShownTraffic(const TrafficTable& traffic, const ControllerAids& choices);

// The conflicts among the aircraft of the table the scope shows (those the altitude filter lets
// through) while the conflict alert is on; none while it is off.
std::vector<Conflict> WatchedConflicts(const TrafficTable& traffic, const TrackHistory& history,
                                       const ControllerAids& choices, int32_t airportElevationFt);

// Whether the aircraft of that name is in one of the conflicts.
bool InConflict(const std::vector<Conflict>& conflicts, const std::string& name);

}  // namespace scopewatch
