#pragma once

#include <string>
#include <vector>

#include "geo/Headings.h"
#include "model/AirportData.h"
#include "model/DisplayFlags.h"
#include "model/TrafficTable.h"
#include "scope/ScopeScene.h"
#include "scope/ScopeView.h"
#include "scope/SelectedAirspace.h"

namespace scopewatch::testing {

using Args = std::vector<int32_t>;

// The test airport's reference point.
inline constexpr double kLat = 40.0;
inline constexpr double kLon = -75.0;

// An airspace of the type with its reference point at lat, lon; with a radius, a circle of
// that many nautical miles about the reference point is its boundary.
inline AirspaceRecord AirspaceAt(const std::string& type, double lat, double lon,
                                 int32_t radius = -1) {
    std::vector<AirspacePoint> circle;
    if (radius >= 0) {
        circle = {{kCentre, lat, lon, 0}, {kCircle, 0.0, 0.0, radius}};
    }
    return {circle, lat, lon, 0, 0, "", type, "", ""};
}

// A small airport at 40 N 75 W with one of every surface object, a view of 1000 x 800
// pixels centred on it, and no magnetic variation unless a test sets one.
struct ScopeTestScene {
    ScopeView view;
    LoadedAirportData airport;
    TrafficTable traffic;
    DisplayFlags flags;
    SelectedAirspace selection;

    explicit ScopeTestScene(int16_t zoomLevel = 14) {
        view = InitialView(1000, 800, kLon, kLat);
        SetZoom(zoomLevel);
        AirportRecord& a = airport.currentAirport;
        a.name = "Test Field";
        a.latitude = kLat;
        a.longitude = kLon;
        a.runways.push_back(
            {"09", "27", kLat, kLon - 0.01, kLat, kLon + 0.01, 100, 90, 270, 5500, 150});
        a.ilsList.push_back({"ITST", kLat, kLon + 0.01, 270, "110.5"});
        a.parkings.push_back({"gate a 1", kLat + 0.003, kLon, 20});
        a.taxiPoints = {{0, kLat + 0.002, kLon - 0.005},
                        {0, kLat + 0.002, kLon + 0.005},
                        {0, kLat, kLon - 0.005}};
        a.taxiSegments = {{kTaxiToTaxi, 0, 1, "A"},
                          {kTaxiToTaxi, 2, 0, " "},
                          {kRunwaySegment, 2, 0, "Runway 09"},
                          {kTaxiToParking, 0, 0, "B"}};
    }

    void SetZoom(int16_t level) {
        while (view.ZoomLevel < level && ZoomIn(view)) {
        }
        while (view.ZoomLevel > level && ZoomOut(view)) {
        }
    }

    void SetVariation(double lat, double lon, int degreesEast) {
        airport.magVarGrid.values[static_cast<size_t>(MagVarGrid::IndexAt(lat, lon))] =
            static_cast<int16_t>(degreesEast * 65536 / 360 + (degreesEast >= 0 ? 1 : -1));
    }

    // The pixel a position projects to, as x, y.
    Args At(double lat, double lon) const {
        const ScopePoint p = ProjectToScope(view, lat, lon);
        return {p.x, p.y};
    }
    Args At(const GeoPoint& position) const { return At(position.latitude, position.longitude); }

    ScopeScene scene() { return {view, airport, traffic, flags, selection}; }
};

}  // namespace scopewatch::testing
