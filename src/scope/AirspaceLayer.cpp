#include "scope/AirspaceLayer.h"

#include <cmath>

#include "geo/Geodesy.h"
#include "scope/ScopeColours.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

constexpr float kReferenceDotPercent = 1.5F;
constexpr int16_t kNorthWest = 315;
constexpr int16_t kSouthEast = 135;

// The boundary walk keeps a centre (for arcs and circles) and the last position reached;
// both carry over from one airspace to the next.
struct BoundaryWalk {
    GeoPoint centre;
    GeoPoint last;
};

void ApplyPenFor(DrawingSurface& surface, const std::string& typeName) {
    if (typeName == "ARTCC/FIR") {
        surface.DrawWidth(4);
        surface.DrawStyle(kSolidLine);
    } else if (typeName == "Airspace Class B" || typeName == "Airspace Class C") {
        surface.DrawWidth(1);
        surface.DrawStyle(kDashedLine);
    } else {
        surface.DrawWidth(1);
        surface.DrawStyle(kSolidLine);
    }
}

// Half the side of the square that holds a circle of the radius, as the diagonal distance
// from the centre to a corner, in whole nautical miles.
int16_t CornerDistance(double radiusNm) {
    return RoundToInt16(std::sqrt(radiusNm * radiusNm + radiusNm * radiusNm));
}

ScopePoint CornerAt(const ScopeView& view, const GeoPoint& centre, int16_t course,
                    int16_t distance) {
    return ProjectToScope(view, DestinationNm(centre, course, distance));
}

void DrawCircle(DrawingSurface& surface, const ScopeView& view, const BoundaryWalk& walk,
                AirspacePoint& element) {
    if (element.radius < 1) {
        element.radius = 1;
    }
    const int16_t distance = CornerDistance(element.radius);
    const ScopePoint a = CornerAt(view, walk.centre, kNorthWest, distance);
    const ScopePoint b = CornerAt(view, walk.centre, kSouthEast, distance);
    surface.Ellipse(a.x, a.y, b.x, b.y);
}

void DrawArc(DrawingSurface& surface, const ScopeView& view, BoundaryWalk& walk,
             const AirspacePoint& element) {
    const GeoPoint point{element.latitude, element.longitude};
    const GeoPoint& c = walk.centre;
    const int16_t r1 = DistanceNm(c, walk.last);
    const int16_t r2 = DistanceNm(c, point);
    const ScopePoint a = CornerAt(view, c, kNorthWest, CornerDistance(r1));
    const ScopePoint b = CornerAt(view, c, kSouthEast, CornerDistance(r2));
    const ScopePoint pointPx = ProjectToScope(view, point);
    const ScopePoint lastPx = ProjectToScope(view, walk.last);
    // Arcs run counter-clockwise from start to end: a clockwise arc from the last position
    // to the point is the counter-clockwise arc from the point to the last position.
    const bool clockwise = element.kind == kClockwiseArc;
    const ScopePoint start = clockwise ? pointPx : lastPx;
    const ScopePoint end = clockwise ? lastPx : pointPx;
    surface.Arc(a.x, a.y, b.x, b.y, start.x, start.y, end.x, end.y);
    surface.MoveToEx(pointPx.x, pointPx.y);
    walk.last = point;
}

void DrawBoundaryElement(DrawingSurface& surface, const ScopeView& view, BoundaryWalk& walk,
                         AirspacePoint& element) {
    const GeoPoint point{element.latitude, element.longitude};
    const ScopePoint pointPx = ProjectToScope(view, point);
    switch (element.kind) {
        case kMoveTo:
            surface.MoveToEx(pointPx.x, pointPx.y);
            walk.last = point;
            break;
        case kCentre:
            walk.centre = point;
            break;
        case kCircle:
            DrawCircle(surface, view, walk, element);
            break;
        case kClockwiseArc:
        case kCounterClockwiseArc:
            DrawArc(surface, view, walk, element);
            break;
        case kLineTo:
            surface.LineTo(pointPx.x, pointPx.y);
            surface.MoveToEx(pointPx.x, pointPx.y);
            walk.last = point;
            break;
        default:
            break;
    }
}

void DrawAirspace(DrawingSurface& surface, const ScopeView& view, BoundaryWalk& walk,
                  AirspaceRecord& airspace, GdiColor colour) {
    surface.ForeColor(colour);
    surface.FillColor(colour);
    surface.DrawWidth(1);
    surface.DrawStyle(kSolidLine);
    surface.FillStyle(kSolidFill);
    const ScopePoint p = ProjectToScope(view, {airspace.latitude, airspace.longitude});
    const int32_t r = WidthPercentPx(kReferenceDotPercent, view.WidthPx);
    surface.Ellipse(p.x - r, p.y + r, p.x + r, p.y - r);

    surface.FillStyle(kTransparentFill);
    ApplyPenFor(surface, airspace.typeName);
    for (AirspacePoint& element : airspace.points) {
        DrawBoundaryElement(surface, view, walk, element);
    }
}

}  // namespace

void DrawAirspaces(DrawingSurface& surface, const ScopeView& view,
                   std::vector<AirspaceRecord>& airspaces, const SelectedAirspace& selection) {
    surface.ResetDrawingState();
    BoundaryWalk walk;
    for (AirspaceRecord& airspace : airspaces) {
        if (airspace.typeName != "Airspace Class D" &&
            !selection.Selects({airspace.latitude, airspace.longitude})) {
            DrawAirspace(surface, view, walk, airspace, kCyan);
        }
    }
    if (selection.Exists()) {
        for (AirspaceRecord& airspace : airspaces) {
            if (selection.Selects({airspace.latitude, airspace.longitude})) {
                DrawAirspace(surface, view, walk, airspace, kYellow);
            }
        }
    }
    surface.ResetDrawingState();
}

}  // namespace scopewatch
