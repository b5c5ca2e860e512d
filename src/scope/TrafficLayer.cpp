#include "scope/TrafficLayer.h"

#include <algorithm>
#include <cmath>

#include "geo/Geodesy.h"
#include "scope/LabelPlacement.h"
#include "shared/NumberText.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

constexpr float kAircraftDotPercent = 0.8F;
constexpr int16_t kHeadingLineFt = 500;

int32_t DotRadius(const ScopeView& view) {
    return WidthPercentPx(kAircraftDotPercent, view.WidthPx);
}

// The dot and the heading line; the label too unless it is placed apart.
void DrawAircraft(DrawingSurface& surface, const ScopeView& view, const TrafficRecord& aircraft,
                  const MagVarGrid& grid, bool withLabel) {
    const GeoPoint position{aircraft.latitude, aircraft.longitude};
    const ScopePoint p = ProjectToScope(view, position);
    const int16_t trueHeading = MagneticToTrue(RoundToInt16(aircraft.heading), position, grid);
    const ScopePoint tip =
        ProjectToScope(view, DestinationFt(position, trueHeading, kHeadingLineFt));
    const int32_t r = DotRadius(view);

    surface.ForeColor(kScopeGreen);
    surface.FillColor(kScopeGreen);
    surface.FillStyle(kSolidFill);
    surface.Ellipse(p.x - r, p.y + r, p.x + r, p.y - r);
    surface.MoveToEx(p.x, p.y);
    surface.LineTo(tip.x, tip.y);
    if (withLabel) {
        surface.TextOutA(p.x, p.y, TrafficLabel(aircraft));
    }
}

void DrawReadableLabels(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                        const ReadableLabels& readable) {
    std::vector<std::string> names;
    std::vector<LabelDot> dots;
    std::vector<TextSize> sizes;
    std::vector<std::string> labels;
    const int32_t r = DotRadius(view);
    for (const TrafficRecord& aircraft : traffic.InUse()) {
        const ScopePoint p = ProjectToScope(view, {aircraft.latitude, aircraft.longitude});
        names.push_back(aircraft.playerName);
        dots.push_back({p.x, p.y, r});
        labels.push_back(TrafficLabel(aircraft));
        sizes.push_back(surface.TextExtent(labels.back()));
    }
    const std::vector<PlacedLabel> placed =
        readable.placer.Place(names, dots, sizes, readable.obstacles);
    for (size_t i = 0; i < placed.size(); ++i) {
        const PlacedLabel& label = placed[i];
        if (label.moved) {
            // From the edge of the dot towards the label.
            const double dx = label.anchorX - dots[i].x;
            const double dy = label.anchorY - dots[i].y;
            const double length = std::max(1.0, std::hypot(dx, dy));
            surface.MoveToEx(dots[i].x + RoundToInt32(dx * r / length),
                             dots[i].y + RoundToInt32(dy * r / length));
            surface.LineTo(label.anchorX, label.anchorY);
        }
        surface.TextOutA(label.box.left, label.box.top, labels[i]);
    }
}

}  // namespace

std::string TrafficLabel(const TrafficRecord& aircraft) {
    return aircraft.playerName + " Hdg: " + ShortestNumberText(aircraft.heading) +
           " Alt: " + std::to_string(aircraft.altitudeFt);
}

void DrawTraffic(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                 const MagVarGrid& grid, const ReadableLabels* readable) {
    if (traffic.trafficCount < 1) {
        return;
    }
    surface.ResetDrawingState();
    for (const TrafficRecord& aircraft : traffic.InUse()) {
        DrawAircraft(surface, view, aircraft, grid, readable == nullptr);
    }
    if (readable != nullptr) {
        DrawReadableLabels(surface, view, traffic, *readable);
    }
    surface.ResetDrawingState();
}

}  // namespace scopewatch
