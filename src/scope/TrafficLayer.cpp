#include "scope/TrafficLayer.h"

#include "geo/Geodesy.h"
#include "shared/NumberText.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

constexpr float kDotPercent = 0.8F;
constexpr int16_t kHeadingLineFt = 500;

void DrawAircraft(DrawingSurface& surface, const ScopeView& view, const TrafficRecord& aircraft,
                  const MagVarGrid& grid) {
    const ScopePoint p = ProjectToScope(view, aircraft.latitude, aircraft.longitude);
    const int16_t trueHeading =
        MagneticToTrue(RoundToInt16(aircraft.heading), aircraft.latitude, aircraft.longitude, grid);
    const GeoPoint ahead =
        DestinationFt(aircraft.latitude, aircraft.longitude, trueHeading, kHeadingLineFt);
    const ScopePoint tip = ProjectToScope(view, ahead.latitude, ahead.longitude);
    const int32_t r = WidthPercentPx(kDotPercent, view.WidthPx);

    surface.ForeColor(kScopeGreen);
    surface.FillColor(kScopeGreen);
    surface.FillStyle(kSolidFill);
    surface.Ellipse(p.x - r, p.y + r, p.x + r, p.y - r);
    surface.MoveToEx(p.x, p.y);
    surface.LineTo(tip.x, tip.y);
    surface.TextOutA(p.x, p.y, TrafficLabel(aircraft));
}

}  // namespace

std::string TrafficLabel(const TrafficRecord& aircraft) {
    return aircraft.playerName + " Hdg: " + ShortestNumberText(aircraft.heading) +
           " Alt: " + std::to_string(aircraft.altitudeFt);
}

void DrawTraffic(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                 const MagVarGrid& grid) {
    if (traffic.trafficCount < 1) {
        return;
    }
    surface.ResetDrawingState();
    for (const TrafficRecord& aircraft : traffic.InUse()) {
        DrawAircraft(surface, view, aircraft, grid);
    }
    surface.ResetDrawingState();
}

}  // namespace scopewatch
