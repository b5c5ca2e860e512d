#include "scope/PointerInfo.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "geo/Geodesy.h"
#include "model/TrackHistory.h"
#include "platform/CodePage.h"
#include "scope/ScopeColours.h"
#include "scope/ScopePainter.h"
#include "scope/TrafficLayer.h"
#include "shared/NumberText.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

constexpr float kObjectTolerancePercent = 1.5F;
constexpr float kPlayerTolerancePercent = 0.8F;
constexpr double kPickSlackPx = 3.0;  // a click this far outside a dot still picks it

// Hit-testing against the pointer's pixel position.
class HitTester {
  public:
    HitTester(const ScopeView& view, const PointerPosition& pointer)
        : view_(view), pointer_(ProjectToScope(view, {pointer.latitude, pointer.longitude})) {}

    bool Hits(GeoPoint position, float tolerancePercent) const {
        const ScopePoint p = ProjectToScope(view_, position);
        const double dx = std::abs(static_cast<double>(p.x) - pointer_.x);
        const double dy = std::abs(static_cast<double>(p.y) - pointer_.y);
        return RoundHalfEven(std::sqrt(dx * dx + dy * dy)) <=
               WidthPercentPx(tolerancePercent, view_.WidthPx);
    }

  private:
    const ScopeView& view_;
    ScopePoint pointer_;
};

std::string Feet(int32_t value) {
    return std::to_string(value) + " ft";
}

std::string AirspaceText(const AirspaceRecord& airspace) {
    const int32_t low = std::min(airspace.floorFt, airspace.ceilingFt);
    const int32_t high = std::max(airspace.floorFt, airspace.ceilingFt);
    std::string text;
    if (!airspace.fullName.empty()) {
        text += "AIRSPACE FULLNAME: " + airspace.fullName;
    }
    if (!airspace.typeName.empty()) {
        text += "  AIRSPACE TYPE: " + airspace.typeName;
    }
    text +=
        airspace.frequencyText.empty() ? "  " : "  AIRSPACE FREQUENCY: " + airspace.frequencyText;
    if (low > 0 || high > 0) {
        text += "FROM: " + Feet(low) + "  TO: " + Feet(high);
    }
    return text;
}

std::string PlayerText(const TrafficRecord& aircraft, const AirportRecord& airport) {
    const int16_t distance =
        DistanceNm({aircraft.latitude, aircraft.longitude}, {airport.latitude, airport.longitude});
    return "Player: " + aircraft.playerName + "  Heading: " + ShortestNumberText(aircraft.heading) +
           "  Altitude: " + Feet(aircraft.altitudeFt) + "  Distance: " + std::to_string(distance) +
           " nm" + "  Type Plane: " + aircraft.aircraftType;
}

std::string RunwayEndText(const RunwayRecord& runway, const std::string& name, int16_t heading) {
    return "Runway: " + name + "  Heading: " + std::to_string(heading) +
           "  Altitude: " + Feet(runway.altitudeFt) + "  Lenght: " + Feet(runway.lengthFt) +
           "  Width: " + Feet(runway.widthFt);
}

std::string IlsText(const IlsRecord& ils) {
    return "ILS: " + ils.ident + "  Heading: " + std::to_string(ils.magHeading) +
           "  Frequency: " + ils.frequency + " Mhz";
}

void TestAirspaces(const ScopeScene& scene, const HitTester& hits, HoverInfo& info) {
    if (scene.view.ZoomLevel >= kSurfaceZoomLevel || !scene.flags.showAirspaces) {
        return;
    }
    for (const AirspaceRecord& airspace : scene.airport.airspaces) {
        if (airspace.typeName == "Airspace Class D" ||
            !hits.Hits({airspace.latitude, airspace.longitude}, kObjectTolerancePercent)) {
            continue;
        }
        info.selection = {kSelectedAirspaceMarker, airspace.typeName, airspace.latitude,
                          airspace.longitude};
        info.text = AirspaceText(airspace);
    }
}

// An aircraft the altitude filter hides is not there for the pointer either.
bool Shown(const ScopeScene& scene, const TrafficRecord& aircraft) {
    return scene.aids == nullptr || scene.aids->choices.Shows(aircraft.altitudeFt);
}

void TestPlayers(const ScopeScene& scene, const HitTester& hits, HoverInfo& info) {
    for (const TrafficRecord& aircraft : scene.traffic.InUse()) {
        if (Shown(scene, aircraft) &&
            hits.Hits({aircraft.latitude, aircraft.longitude}, kPlayerTolerancePercent)) {
            info.text = PlayerText(aircraft, scene.airport.currentAirport);
        }
    }
}

void TestSurface(const ScopeScene& scene, const HitTester& hits, HoverInfo& info) {
    if (scene.view.ZoomLevel < kSurfaceZoomLevel) {
        return;
    }
    const AirportRecord& airport = scene.airport.currentAirport;
    if (scene.flags.showParkings) {
        for (const ParkingRecord& parking : airport.parkings) {
            if (hits.Hits({parking.latitude, parking.longitude}, kObjectTolerancePercent)) {
                info.text = AnsiUpper(parking.label) + "  Radius: " + Feet(parking.altitudeFt);
            }
        }
    }
    for (const RunwayRecord& runway : airport.runways) {
        if (hits.Hits({runway.end1Latitude, runway.end1Longitude}, kObjectTolerancePercent)) {
            info.text = RunwayEndText(runway, runway.primaryName, runway.primaryMagHeading);
        }
        if (hits.Hits({runway.end2Latitude, runway.end2Longitude}, kObjectTolerancePercent)) {
            info.text = RunwayEndText(runway, runway.secondaryName, runway.secondaryMagHeading);
        }
    }
    if (scene.flags.showIls) {
        for (const IlsRecord& ils : airport.ilsList) {
            if (hits.Hits({ils.latitude, ils.longitude}, kObjectTolerancePercent)) {
                info.text = IlsText(ils);
            }
        }
    }
}

}  // namespace

HoverInfo HoverInfoAt(const ScopeScene& scene, const PointerPosition& pointer) {
    const HitTester hits(scene.view, pointer);
    HoverInfo info;
    TestAirspaces(scene, hits, info);
    TestPlayers(scene, hits, info);
    TestSurface(scene, hits, info);
    return info;
}

std::string AircraftAt(const ScopeScene& scene, double xPx, double yPx) {
    const double reach = AircraftDotRadius(scene.view) + kPickSlackPx;
    std::string nearest;
    double nearestPx = reach;
    for (const TrafficRecord& aircraft : scene.traffic.InUse()) {
        if (!HasPosition(aircraft) || !Shown(scene, aircraft)) {
            continue;
        }
        const ScopePoint p = ProjectToScope(scene.view, {aircraft.latitude, aircraft.longitude});
        const double away = std::hypot(p.x - xPx, p.y - yPx);
        if (away <= nearestPx) {
            nearest = aircraft.playerName;
            nearestPx = away;
        }
    }
    return nearest;
}

std::string MeasuringLabel(int16_t distanceNm, int16_t magneticCourse) {
    return "Dist: " + std::to_string(distanceNm) + " nm" +
           "  Course: " + std::to_string(magneticCourse) + " *";
}

void DrawMeasuringLine(DrawingSurface& surface, const ScopeScene& scene,
                       const PointerPosition& pointer) {
    const ScopeView& view = scene.view;
    const MagVarGrid& grid = scene.airport.magVarGrid;
    const GeoPoint anchor{view.DragAnchorLat, view.DragAnchorLon};
    const GeoPoint at{pointer.latitude, pointer.longitude};

    surface.Cls();
    const ScopePoint anchorPx = ProjectToScope(view, anchor);
    const ScopePoint pointerPx = ProjectToScope(view, at);
    const int16_t distance = DistanceNm(anchor, at);
    const int16_t course = MagneticCourse(anchor, at, grid);
    const int16_t half = RoundToInt16(distance / 2.0);
    const GeoPoint middle = DestinationNm(anchor, MagneticToTrue(course, anchor, grid), half);
    const ScopePoint middlePx = ProjectToScope(view, middle);

    surface.ForeColor(kScopeGreen);
    surface.DrawStyle(kDottedLine);
    surface.DrawWidth(1);
    surface.MoveToEx(anchorPx.x, anchorPx.y);
    surface.LineTo(pointerPx.x, pointerPx.y);
    surface.ForeColor(kWhite);
    surface.TextOutA(middlePx.x, middlePx.y, MeasuringLabel(distance, course));
    surface.DrawStyle(kSolidLine);

    PaintScope(surface, scene);
    DrawTraffic(surface, view, scene.traffic, grid);
    surface.ResetDrawingState();
}

}  // namespace scopewatch
