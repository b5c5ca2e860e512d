#include "model/ConflictAlert.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "geo/GeoMath.h"

namespace scopewatch {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// An aircraft on a flat patch of the earth: nm east and north, nm and feet a second.
struct Flight {
    const TrafficRecord* record = nullptr;
    GeoPoint at;
    double eastNmPerSecond = 0.0;
    double northNmPerSecond = 0.0;
    double climbFps = 0.0;
};

// The open span of time during which a value that changes at a constant rate stays below a
// limit; quadratic for a distance, linear for an altitude.
struct Span {
    double from = -kInfinity;
    double to = kInfinity;
};

std::optional<Span> WithinQuadratic(double a, double b, double c) {
    if (a < 1e-18) {
        return c < 0.0 ? std::optional<Span>(Span{}) : std::nullopt;
    }
    const double discriminant = b * b - 4.0 * a * c;
    if (discriminant <= 0.0) {
        return std::nullopt;
    }
    const double root = std::sqrt(discriminant);
    return Span{(-b - root) / (2.0 * a), (-b + root) / (2.0 * a)};
}

std::optional<Span> WithinLinear(double value, double rate, double limit) {
    if (std::abs(rate) < 1e-12) {
        return std::abs(value) < limit ? std::optional<Span>(Span{}) : std::nullopt;
    }
    const double a = (-limit - value) / rate;
    const double b = (limit - value) / rate;
    return Span{std::min(a, b), std::max(a, b)};
}

Flight FlightOf(const TrafficRecord& aircraft, const TrackHistory& history) {
    Flight flight{&aircraft, {aircraft.latitude, aircraft.longitude}};
    if (const std::optional<GroundMotion> motion = history.Estimate(aircraft.playerName)) {
        const double track = motion->trueTrack * kPi / 180.0;
        flight.eastNmPerSecond = motion->speedKt * std::sin(track) / 3600.0;
        flight.northNmPerSecond = motion->speedKt * std::cos(track) / 3600.0;
        flight.climbFps = motion->climbFpm / 60.0;
    }
    return flight;
}

std::optional<Conflict> CheckPair(const Flight& a, const Flight& b, const ConflictLimits& limits) {
    const double midLatitude = (a.at.latitude + b.at.latitude) / 2.0 * kPi / 180.0;
    const double dx = (b.at.longitude - a.at.longitude) * 60.0 * std::cos(midLatitude);
    const double dy = (b.at.latitude - a.at.latitude) * 60.0;
    const double vx = b.eastNmPerSecond - a.eastNmPerSecond;
    const double vy = b.northNmPerSecond - a.northNmPerSecond;
    const double dh = static_cast<double>(b.record->altitudeFt) - a.record->altitudeFt;
    const double lateral = limits.lateralNm;
    const auto near = WithinQuadratic(vx * vx + vy * vy, 2.0 * (dx * vx + dy * vy),
                                      dx * dx + dy * dy - lateral * lateral);
    const auto level = WithinLinear(dh, b.climbFps - a.climbFps, limits.verticalFt);
    if (!near || !level) {
        return std::nullopt;
    }
    const double distanceNm = std::hypot(dx, dy);
    const bool present = distanceNm < lateral && std::abs(dh) < limits.verticalFt;
    const double from = std::max({0.0, near->from, level->from});
    const double to = std::min({static_cast<double>(limits.lookAheadSeconds), near->to, level->to});
    if (!present && !(from < to)) {
        return std::nullopt;
    }
    Conflict conflict{a.record->playerName, b.record->playerName, a.at, b.at, distanceNm, present};
    if (!present) {
        const double speed2 = vx * vx + vy * vy;
        // Nearest while too close, though that may come after the look-ahead.
        const double nearest = speed2 > 0.0 ? -(dx * vx + dy * vy) / speed2 : from;
        conflict.closestSeconds = std::clamp(nearest, from, std::min(near->to, level->to));
    }
    return conflict;
}

}  // namespace

std::vector<Conflict> FindConflicts(std::span<const TrafficRecord> aircraft,
                                    const TrackHistory& history, const ConflictLimits& limits,
                                    int32_t airportElevationFt) {
    std::vector<Flight> flights;
    for (const TrafficRecord& record : aircraft) {
        if (HasPosition(record) &&
            record.altitudeFt - airportElevationFt >= kConflictFloorAboveAirportFt) {
            flights.push_back(FlightOf(record, history));
        }
    }
    std::vector<Conflict> conflicts;
    for (size_t i = 0; i < flights.size(); ++i) {
        for (size_t j = i + 1; j < flights.size(); ++j) {
            if (auto conflict = CheckPair(flights[i], flights[j], limits)) {
                conflicts.push_back(std::move(*conflict));
            }
        }
    }
    return conflicts;
}

TrafficTable ShownTraffic(const TrafficTable& traffic, const ControllerAids& choices) {
    TrafficTable shown;
    for (const TrafficRecord& aircraft : traffic.InUse()) {
        if (choices.Shows(aircraft.altitudeFt)) {
            shown.trafficTable.at(static_cast<size_t>(++shown.trafficCount)) = aircraft;
        }
    }
    return shown;
}

std::vector<Conflict> WatchedConflicts(const TrafficTable& traffic, const TrackHistory& history,
                                       const ControllerAids& choices, int32_t airportElevationFt) {
    if (!choices.conflictAlert) {
        return {};
    }
    const TrafficTable shown = ShownTraffic(traffic, choices);
    return FindConflicts(shown.InUse(), history, choices.conflictLimits, airportElevationFt);
}

bool InConflict(const std::vector<Conflict>& conflicts, const std::string& name) {
    return std::any_of(conflicts.begin(), conflicts.end(), [&name](const Conflict& conflict) {
        return conflict.first == name || conflict.second == name;
    });
}

}  // namespace scopewatch
