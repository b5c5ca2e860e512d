#include "scope/AidsLayers.h"

#include <algorithm>
#include <cstdlib>

#include "geo/Geodesy.h"
#include "scope/ScopeColours.h"
#include "scope/TrafficLayer.h"
#include "shared/NumberText.h"

namespace scopewatch {
namespace {

constexpr int kRingStepNm = 5;
constexpr int kOutermostRingNm = 30;
constexpr int32_t kTrailDotPx = 2;
constexpr int32_t kSelectedTrailDotPx = 1;
constexpr int32_t kSelectionGapPx = 3;  // between the dot and its square

// The traffic green, darker the older the trail dot: the oldest of six is a quarter bright.
GdiColor FadedGreen(size_t age, size_t count) {
    const int brightest = 0xC0;
    const int green = brightest * static_cast<int>(count - age + 1) / static_cast<int>(count + 1);
    return static_cast<GdiColor>(std::max(green, brightest / 4)) << 8;
}

// Whether the whole scope lies inside a ring round c (radii rx, ry) and misses its label, so
// that nothing of the ring shows: at fine zoom the rings are many times the scope's size, and
// drawing them for nothing would cost most of a repaint.
bool ScopeInsideRing(const ScopeView& view, ScopePoint c, int32_t rx, int32_t ry,
                     const LabelBox& label) {
    const LabelBox scope{0, 0, view.WidthPx, view.HeightPx};
    if (rx <= 0 || ry <= 0 || label.Overlaps(scope)) {
        return false;
    }
    for (const double x : {0.0, static_cast<double>(view.WidthPx)}) {
        for (const double y : {0.0, static_cast<double>(view.HeightPx)}) {
            const double dx = (x - c.x) / rx;
            const double dy = (y - c.y) / ry;
            if (dx * dx + dy * dy >= 1.0) {
                return false;
            }
        }
    }
    return true;
}

// Halfway between two pixel positions, which may lie far outside the scope.
int32_t Middle(int32_t a, int32_t b) {
    return static_cast<int32_t>((static_cast<int64_t>(a) + b) / 2);
}

// The aircraft of that name among those shown, if it has a position ("" names none).
const TrafficRecord* ShownAircraft(const TrafficTable& shown, const std::string& name) {
    if (name.empty()) {
        return nullptr;
    }
    for (const TrafficRecord& aircraft : shown.InUse()) {
        if (aircraft.playerName == name && HasPosition(aircraft)) {
            return &aircraft;
        }
    }
    return nullptr;
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
        const std::string text = std::to_string(nm) + " nm";
        const TextSize size = surface.TextExtent(text);
        if (ScopeInsideRing(view, c, rx, ry, {c.x + 3, c.y - ry + 1, size.width, size.height})) {
            continue;
        }
        surface.Ellipse(c.x - rx, c.y - ry, c.x + rx, c.y + ry);
        surface.TextOutA(c.x + 3, c.y - ry + 1, text);
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

void DrawSelectedTrail(DrawingSurface& surface, const ScopeView& view, const TrackHistory& history,
                       const std::string& name) {
    surface.ForeColor(kSelectedWhite);
    surface.FillColor(kSelectedWhite);
    surface.FillStyle(kSolidFill);
    for (const GeoPoint& at : history.TrailOf(name, TrackHistory::kLongTrailLength)) {
        const ScopePoint p = ProjectToScope(view, at);
        surface.Ellipse(p.x - kSelectedTrailDotPx, p.y - kSelectedTrailDotPx,
                        p.x + kSelectedTrailDotPx + 1, p.y + kSelectedTrailDotPx + 1);
    }
    surface.ResetDrawingState();
}

std::vector<LabelBox> DrawConflictLines(DrawingSurface& surface, const ScopeView& view,
                                        const std::vector<Conflict>& conflicts) {
    std::vector<LabelBox> texts;
    const int32_t dotRadius = AircraftDotRadius(view);
    surface.ForeColor(kConflictRed);
    for (const Conflict& conflict : conflicts) {
        const ScopePoint a = ProjectToScope(view, conflict.firstAt);
        const ScopePoint b = ProjectToScope(view, conflict.secondAt);
        surface.MoveToEx(a.x, a.y);
        surface.LineTo(b.x, b.y);
        const std::string distance = FixedNumberText(conflict.distanceNm, 1) + " nm";
        const TextSize size = surface.TextExtent(distance);
        // Under the middle of the line, clear of two dots close together.
        const LabelBox box{Middle(a.x, b.x) - size.width / 2, Middle(a.y, b.y) + dotRadius + 2,
                           size.width, size.height};
        surface.TextOutA(box.left, box.top, distance);
        texts.push_back(box);
    }
    surface.ResetDrawingState();
    return texts;
}

void DrawSelectionSquare(DrawingSurface& surface, const ScopeView& view, const TrafficTable& shown,
                         const std::string& name) {
    const TrafficRecord* aircraft = ShownAircraft(shown, name);
    if (aircraft == nullptr) {
        return;
    }
    const int32_t half = AircraftDotRadius(view) + kSelectionGapPx;
    const ScopePoint p = ProjectToScope(view, {aircraft->latitude, aircraft->longitude});
    surface.ForeColor(kSelectedWhite);
    surface.MoveToEx(p.x - half, p.y - half);
    surface.LineTo(p.x + half, p.y - half);
    surface.LineTo(p.x + half, p.y + half);
    surface.LineTo(p.x - half, p.y + half);
    surface.LineTo(p.x - half, p.y - half);
    surface.ResetDrawingState();
}

std::vector<LabelBox> DrawAidsUnderTraffic(DrawingSurface& surface, const ScopeScene& scene,
                                           const TrafficTable& shown,
                                           const std::vector<Conflict>& conflicts) {
    const ControllerAids& choices = scene.aids->choices;
    if (choices.rangeRings) {
        DrawRangeRings(surface, scene.view, scene.airport.currentAirport);
    }
    if (choices.historyTrails) {
        DrawTrails(surface, scene.view, shown, scene.aids->history);
    }
    if (choices.trackVectors) {
        DrawTrackVectors(surface, scene.view, shown, scene.aids->history, choices.vectorMinutes);
    }
    const std::string* selected = scene.aids->selected;
    if (selected != nullptr && ShownAircraft(shown, *selected) != nullptr) {
        DrawSelectedTrail(surface, scene.view, scene.aids->history, *selected);
    }
    return DrawConflictLines(surface, scene.view, conflicts);
}

namespace {

// Readable labels keep clear of the airport's name and the conflicts' distances as of each
// other.
std::vector<LabelBox> LabelObstacles(DrawingSurface& surface, const ScopeScene& scene,
                                     std::vector<LabelBox> obstacles) {
    if (scene.flags.showAirportName == kTrue16) {
        const AirportRecord& airport = scene.airport.currentAirport;
        const ScopePoint at = ProjectToScope(scene.view, {airport.latitude, airport.longitude});
        const TextSize size = surface.TextExtent(airport.name);
        obstacles.push_back({at.x, at.y, size.width, size.height});
    }
    return obstacles;
}

}  // namespace

void PaintAidedTraffic(DrawingSurface& surface, const ScopeScene& scene) {
    const ScopeAids& aids = *scene.aids;
    const ControllerAids& choices = aids.choices;
    const TrafficTable shown = ShownTraffic(scene.traffic, choices);
    const std::vector<Conflict> conflicts = WatchedConflicts(
        scene.traffic, aids.history, choices, scene.airport.currentAirport.altitudeFt);
    std::vector<LabelBox> distances = DrawAidsUnderTraffic(surface, scene, shown, conflicts);
    TrafficLook look{{}, aids.notes};
    for (const Conflict& conflict : conflicts) {
        look.red.push_back(conflict.first);
        look.red.push_back(conflict.second);
    }
    const MagVarGrid& grid = scene.airport.magVarGrid;
    if (choices.readableLabels) {
        const std::vector<LabelBox> obstacles =
            LabelObstacles(surface, scene, std::move(distances));
        const ReadableLabels readable{aids.labels, obstacles};
        DrawTraffic(surface, scene.view, shown, grid, &readable, &look);
    } else {
        DrawTraffic(surface, scene.view, shown, grid, nullptr, &look);
    }
    if (aids.selected != nullptr) {
        DrawSelectionSquare(surface, scene.view, shown, *aids.selected);
    }
}

}  // namespace scopewatch
