#include "scope/AirportLayers.h"

#include <optional>

#include "geo/Geodesy.h"
#include "scope/ScopeColours.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

constexpr float kParkingDotPercent = 1.5F;
constexpr int16_t kIlsConeLengthFt = 1800;
constexpr int16_t kIlsConeHalfAngle = 5;

void Line(DrawingSurface& surface, ScopePoint from, ScopePoint to) {
    surface.MoveToEx(from.x, from.y);
    surface.LineTo(to.x, to.y);
}

struct SegmentEnds {
    GeoPoint first;
    GeoPoint second;
};

// The two ends of a taxiway segment; none when an index lies outside its list or the kind
// is unknown, so that damaged data leaves the segment out instead of reading elsewhere.
std::optional<SegmentEnds> EndsOf(const TaxiSegmentRecord& segment, const AirportRecord& airport) {
    const auto inside = [](int32_t index, size_t size) {
        return index >= 0 && static_cast<size_t>(index) < size;
    };
    if (!inside(segment.firstIndex, airport.taxiPoints.size())) {
        return std::nullopt;
    }
    const TaxiPointRecord& first = airport.taxiPoints[static_cast<size_t>(segment.firstIndex)];
    const GeoPoint firstEnd{first.latitude, first.longitude};
    if (segment.kind == kTaxiToTaxi || segment.kind == kRunwaySegment) {
        if (!inside(segment.secondIndex, airport.taxiPoints.size())) {
            return std::nullopt;
        }
        const TaxiPointRecord& second =
            airport.taxiPoints[static_cast<size_t>(segment.secondIndex)];
        return SegmentEnds{firstEnd, {second.latitude, second.longitude}};
    }
    if (segment.kind == kTaxiToParking && inside(segment.secondIndex, airport.parkings.size())) {
        const ParkingRecord& parking = airport.parkings[static_cast<size_t>(segment.secondIndex)];
        return SegmentEnds{firstEnd, {parking.latitude, parking.longitude}};
    }
    return std::nullopt;
}

bool HasTaxiwayLabel(const TaxiSegmentRecord& segment, const DisplayFlags& flags) {
    return flags.showTaxiwayIds && segment.kind == kTaxiToTaxi && !segment.name.empty() &&
           segment.name != " ";
}

// The middle of a segment: half its length (in whole feet) along the true course from
// its first end.
GeoPoint MiddleOf(const SegmentEnds& ends, const MagVarGrid& grid) {
    const GeoPoint& a = ends.first;
    const GeoPoint& b = ends.second;
    const int16_t length = DistanceFt(a, b);
    const int16_t course = MagneticToTrue(MagneticCourse(a, b, grid), a, grid);
    const int16_t half = RoundToInt16(length / 2.0);
    return DestinationFt(a, course, half);
}

void DrawTaxiway(DrawingSurface& surface, const ScopeScene& scene,
                 const TaxiSegmentRecord& segment) {
    const std::optional<SegmentEnds> ends = EndsOf(segment, scene.airport.currentAirport);
    if (!ends) {
        return;
    }
    surface.ForeColor(kGrey);
    surface.FillStyle(kTransparentFill);
    Line(surface, ProjectToScope(scene.view, ends->first),
         ProjectToScope(scene.view, ends->second));
    if (HasTaxiwayLabel(segment, scene.flags)) {
        const GeoPoint middle = MiddleOf(*ends, scene.airport.magVarGrid);
        DrawTextAt(surface, ProjectToScope(scene.view, middle), segment.name, kWhite);
    }
}

void DrawIlsCone(DrawingSurface& surface, const ScopeScene& scene, const IlsRecord& ils) {
    const MagVarGrid& grid = scene.airport.magVarGrid;
    const GeoPoint localizer{ils.latitude, ils.longitude};
    const int16_t heading = MagneticToTrue(ils.magHeading, localizer, grid);
    const int16_t back = NormaliseHeading(static_cast<int16_t>(heading - 180));
    const GeoPoint a =
        DestinationFt(localizer, NormaliseHeading(static_cast<int16_t>(back - kIlsConeHalfAngle)),
                      kIlsConeLengthFt);
    const GeoPoint b =
        DestinationFt(localizer, NormaliseHeading(static_cast<int16_t>(back + kIlsConeHalfAngle)),
                      kIlsConeLengthFt);
    const ScopePoint apex = ProjectToScope(scene.view, localizer);
    const ScopePoint left = ProjectToScope(scene.view, a);
    const ScopePoint right = ProjectToScope(scene.view, b);
    surface.ForeColor(kYellow);
    surface.FillColor(kYellow);
    surface.FillStyle(kSolidFill);
    surface.DrawWidth(1);
    Line(surface, apex, left);
    Line(surface, left, right);
    Line(surface, right, apex);
}

}  // namespace

void DrawParkings(DrawingSurface& surface, const ScopeScene& scene) {
    surface.ResetDrawingState();
    const int32_t radius = WidthPercentPx(kParkingDotPercent, scene.view.WidthPx);
    for (const ParkingRecord& parking : scene.airport.currentAirport.parkings) {
        surface.ForeColor(kBrown);
        surface.FillColor(kBrown);
        surface.FillStyle(kSolidFill);
        surface.DrawWidth(1);
        surface.DrawStyle(kSolidLine);
        const ScopePoint p = ProjectToScope(scene.view, {parking.latitude, parking.longitude});
        surface.Ellipse(p.x - radius, p.y + radius, p.x + radius, p.y - radius);
    }
    surface.ResetDrawingState();
}

void DrawTaxiways(DrawingSurface& surface, const ScopeScene& scene) {
    surface.ResetDrawingState();
    surface.DrawWidth(2);
    for (const TaxiSegmentRecord& segment : scene.airport.currentAirport.taxiSegments) {
        DrawTaxiway(surface, scene, segment);
    }
    surface.ResetDrawingState();
}

void DrawRunways(DrawingSurface& surface, const ScopeScene& scene) {
    surface.ResetDrawingState();
    surface.DrawWidth(2);
    for (const RunwayRecord& runway : scene.airport.currentAirport.runways) {
        surface.ForeColor(kScopeGreen);
        surface.FillStyle(kTransparentFill);
        const ScopePoint end1 =
            ProjectToScope(scene.view, {runway.end1Latitude, runway.end1Longitude});
        const ScopePoint end2 =
            ProjectToScope(scene.view, {runway.end2Latitude, runway.end2Longitude});
        Line(surface, end1, end2);
        DrawTextAt(surface, end1, runway.primaryName, kWhite);
        DrawTextAt(surface, end2, runway.secondaryName, kWhite);
    }
    surface.ResetDrawingState();
}

void DrawIlsCones(DrawingSurface& surface, const ScopeScene& scene) {
    surface.ResetDrawingState();
    for (const IlsRecord& ils : scene.airport.currentAirport.ilsList) {
        DrawIlsCone(surface, scene, ils);
    }
    surface.ResetDrawingState();
}

void DrawAirportName(DrawingSurface& surface, const ScopeScene& scene) {
    surface.ResetDrawingState();
    const AirportRecord& airport = scene.airport.currentAirport;
    DrawTextAt(surface, ProjectToScope(scene.view, {airport.latitude, airport.longitude}),
               airport.name, kWhite);
    surface.ResetDrawingState();
}

void DrawTextAt(DrawingSurface& surface, ScopePoint point, const std::string& text,
                GdiColor colour) {
    surface.ForeColor(colour);
    surface.TextOutA(point.x, point.y, text);
}

}  // namespace scopewatch
