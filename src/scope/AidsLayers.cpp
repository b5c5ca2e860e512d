#include "scope/AidsLayers.h"

#include <algorithm>
#include <cstdlib>

#include "geo/Geodesy.h"
#include "scope/ScopeColours.h"

namespace scopewatch {
namespace {

constexpr int kRingStepNm = 5;
constexpr int kOutermostRingNm = 30;
constexpr int32_t kTrailDotPx = 2;

// The traffic green, darker the older the trail dot: the oldest of six is a quarter bright.
GdiColor FadedGreen(size_t age, size_t count) {
    const int brightest = 0xC0;
    const int green = brightest * static_cast<int>(count - age + 1) / static_cast<int>(count + 1);
    return static_cast<GdiColor>(std::max(green, brightest / 4)) << 8;
}

}  // namespace

void DrawRangeRings(DrawingSurface& surface, const ScopeView& view, const AirportRecord& airport) {
    const GeoPoint centre{airport.latitude, airport.longitude};
    const ScopePoint c = ProjectToScope(view, centre);
    surface.ForeColor(kDimGrey);
    surface.FillStyle(kTransparentFill);
    for (int nm = kRingStepNm; nm <= kOutermostRingNm; nm += kRingStepNm) {
        const GeoPoint north = AdvanceNm(centre, 0.0, nm);
        const GeoPoint east = AdvanceNm(centre, 90.0, nm);
        const int32_t ry = std::abs(ProjectToScope(view, north).y - c.y);
        const int32_t rx = std::abs(ProjectToScope(view, east).x - c.x);
        surface.Ellipse(c.x - rx, c.y - ry, c.x + rx, c.y + ry);
        surface.TextOutA(c.x + 3, c.y - ry + 1, std::to_string(nm) + " nm");
    }
    surface.ResetDrawingState();
}

void DrawTrails(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                const TrackHistory& history) {
    surface.FillStyle(kSolidFill);
    for (const TrafficRecord& aircraft : traffic.InUse()) {
        const std::vector<GeoPoint> trail = history.TrailOf(aircraft.playerName);
        for (size_t i = 0; i < trail.size(); ++i) {
            const GdiColor colour = FadedGreen(trail.size() - 1 - i, trail.size());
            surface.ForeColor(colour);
            surface.FillColor(colour);
            const ScopePoint p = ProjectToScope(view, trail[i]);
            surface.Ellipse(p.x - kTrailDotPx, p.y - kTrailDotPx, p.x + kTrailDotPx,
                            p.y + kTrailDotPx);
        }
    }
    surface.ResetDrawingState();
}

void DrawTrackVectors(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                      const TrackHistory& history, int minutes) {
    surface.ForeColor(kScopeGreen);
    for (const TrafficRecord& aircraft : traffic.InUse()) {
        const std::optional<GroundMotion> motion = history.MotionOf(aircraft.playerName);
        if (!motion || !HasPosition(aircraft)) {
            continue;
        }
        const GeoPoint from{aircraft.latitude, aircraft.longitude};
        const GeoPoint to = AdvanceNm(from, motion->trueTrack, motion->speedKt * minutes / 60.0);
        const ScopePoint a = ProjectToScope(view, from);
        const ScopePoint b = ProjectToScope(view, to);
        surface.MoveToEx(a.x, a.y);
        surface.LineTo(b.x, b.y);
    }
    surface.ResetDrawingState();
}

void DrawAidsUnderTraffic(DrawingSurface& surface, const ScopeScene& scene) {
    if (scene.aids == nullptr) {
        return;
    }
    const ControllerAids& choices = scene.aids->choices;
    if (choices.rangeRings) {
        DrawRangeRings(surface, scene.view, scene.airport.currentAirport);
    }
    if (choices.historyTrails) {
        DrawTrails(surface, scene.view, scene.traffic, scene.aids->history);
    }
    if (choices.trackVectors) {
        DrawTrackVectors(surface, scene.view, scene.traffic, scene.aids->history,
                         choices.vectorMinutes);
    }
}

}  // namespace scopewatch
