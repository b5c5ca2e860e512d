#include <string>

#include "demo/DemoLayout.h"
#include "demo/DemoSimulator.h"

// Eldorado Intl: three parallel runways 18L/36R, 18C/36C and 18R/36L, a crosswind runway
// 9/27 south of the field, a terminal between 18C and 18R with gates on both faces, a cargo
// apron, a general aviation ramp east of 18L, and parallel taxiways with connectors.
// The plane's axis points to magnetic 358 degrees: u grows to the north, v to the east.
namespace scopewatch::demo {

using namespace scenery;

namespace {

// Well inside one whole-degree cell of the variation grid.
constexpr double kLatitude = 36.42;
constexpr double kLongitude = -97.0;

struct EldoradoRunways {
    size_t left = 0;    // 18L/36R, east
    size_t centre = 0;  // 18C/36C
    size_t right = 0;   // 18R/36L, west
    size_t cross = 0;   // 9/27, south
};

EldoradoRunways AddRunways(AirportLayout& layout) {
    EldoradoRunways runways;
    runways.left = layout.AddRunway({0, 1400}, 180, 11000, 150, 18, bgl::kDesignatorLeft);
    runways.centre = layout.AddRunway({0, 700}, 180, 13000, 200, 18, bgl::kDesignatorCentre);
    runways.right = layout.AddRunway({-100, -1300}, 180, 12000, 200, 18, bgl::kDesignatorRight);
    runways.cross = layout.AddRunway({-2600, 200}, 90, 8500, 150, 9, bgl::kDesignatorNone);
    layout.AddIls(runways.left, true, "IELL", 109.5);
    layout.AddIls(runways.left, false, "IERR", 111.1);
    layout.AddIls(runways.centre, true, "IELC", 110.3);
    layout.AddIls(runways.centre, true, "GELC", 110.3, 2);  // not a localizer: passed over
    layout.AddIls(runways.centre, false, "IECC", 108.9);
    layout.AddIls(runways.right, true, "IELR", 110.9);
    layout.AddIls(runways.cross, false, "IXWD", 109.9);
    return runways;
}

// A connector across from one line to another at u (or v for the crosswind side).
void Connector(AirportLayout& layout, const std::string& name, double u, double fromV, double toV) {
    layout.AddTaxiway(name, {{u, fromV}, {u, toV}});
}

void AddTaxiways(AirportLayout& layout, const EldoradoRunways& runways) {
    const double leftEnd = layout.RunwayEnds(runways.left).first.u;      // north end of 18L
    const double centreEnd = layout.RunwayEnds(runways.centre).first.u;  // north end of 18C
    const auto [rightNorth, rightSouth] = layout.RunwayEnds(runways.right);
    const auto [crossWest, crossEast] = layout.RunwayEnds(runways.cross);

    // Parallel taxiways and the perimeter.
    layout.AddTaxiway("A", {{-2450, 500}, {2150, 500}});
    layout.AddTaxiway("E", {{-2450, 1050}, {2150, 1050}});
    layout.AddTaxiway("C", {{-2450, -1100}, {2150, -1100}});
    layout.AddTaxiway("F", {{-2450, -1250}, {-2450, crossEast.v}});
    layout.AddTaxiway("G", {{2150, -1100}, {2150, 1600}});
    layout.AddTaxiway("L", {{2150, 1600}, {-leftEnd, 1600}});

    // 18C to A, and across 18C from A to E.
    int number = 1;
    for (const double u : {-centreEnd, -1300.0, -650.0, 0.0, 650.0, 1300.0, centreEnd}) {
        Connector(layout, "A" + std::to_string(number++), u, 500, 700);
    }
    number = 1;
    for (const double u : {-centreEnd, 0.0, centreEnd}) {
        Connector(layout, "B" + std::to_string(number++), u, 700, 1050);
    }
    // 18L to E and to L.
    number = 1;
    for (const double u : {-leftEnd, -800.0, 0.0, 800.0, leftEnd}) {
        Connector(layout, "E" + std::to_string(number++), u, 1050, 1400);
    }
    number = 1;
    for (const double u : {-leftEnd, 0.0, leftEnd}) {
        Connector(layout, "L" + std::to_string(number++), u, 1400, 1600);
    }
    // 18R to C.
    number = 1;
    for (const double u : {rightSouth.u, -1000.0, -100.0, 800.0, rightNorth.u}) {
        Connector(layout, "C" + std::to_string(number++), u, -1300, -1100);
    }
    // 9/27 to F.
    number = 1;
    for (const double v : {crossWest.v, 200.0, crossEast.v}) {
        layout.AddTaxiway("F" + std::to_string(number++), {{-2600, v}, {-2450, v}});
    }
}

void AddTerminal(AirportLayout& layout) {
    // Taxilanes around the terminal building (v 0 to 200), joined to A and to C.
    layout.AddTaxiway("T", {{-1050, 300}, {1050, 300}});
    layout.AddTaxiway("U", {{-1050, -100}, {1050, -100}});
    layout.AddTaxiway("V", {{-1050, -100}, {-1050, 300}});
    layout.AddTaxiway("V", {{1050, -100}, {1050, 300}});
    int number = 1;
    for (const double u : {-1050.0, -375.0, 375.0, 1050.0}) {
        Connector(layout, "J" + std::to_string(number++), u, 300, 500);
    }
    number = 1;
    for (const double u : {-1050.0, 0.0, 1050.0}) {
        Connector(layout, "H" + std::to_string(number++), u, -100, -1100);
    }
    // East face: Gate A to the north, Gate B to the south, one plain Gate in the middle.
    layout.AddParking({0, 220}, {0, 300}, 10, 1, 30);
    for (int i = 1; i <= 12; ++i) {
        layout.AddParking({75.0 * i, 220}, {75.0 * i, 300}, 12, i, 30);
        layout.AddParking({-75.0 * i, 220}, {-75.0 * i, 300}, 13, i, 30);
    }
    // West face: Gate C to the north, Gate D to the south, Gate E 1 in the middle.
    layout.AddParking({0, -20}, {0, -100}, 16, 1, 36);
    for (int i = 1; i <= 10; ++i) {
        layout.AddParking({90.0 * i, -20}, {90.0 * i, -100}, 14, i, 36);
        layout.AddParking({-90.0 * i, -20}, {-90.0 * i, -100}, 15, i, 36);
    }
}

void AddAprons(AirportLayout& layout) {
    // Cargo apron between H1 and H2.
    layout.AddTaxiway("K", {{-1050, -550}, {0, -550}});
    for (int i = 1; i <= 11; ++i) {
        const double u = -1035.0 + 85.0 * i;
        layout.AddParking({u, -650}, {u, -550}, 1, i, 40);
    }
    // General aviation ramp east of L.
    for (int i = 1; i <= 11; ++i) {
        const double u = 120.0 + 80.0 * i;
        layout.AddParking({u, 1700}, {u, 1600}, i <= 6 ? 3 : 4, i, 12);
    }
    for (int i = 1; i <= 6; ++i) {
        const double u = -1080.0 + 80.0 * i;
        layout.AddParking({u, 1700}, {u, 1600}, 5, i, 12);
    }
    // Maintenance stands off G.
    for (int i = 1; i <= 3; ++i) {
        const double v = -1000.0 + 100.0 * i;
        layout.AddParking({2250, v}, {2150, v}, 2, i, 25);
    }
}

std::vector<BglFrequency> Frequencies() {
    return {{bgl::kAtisFrequency, 127.85},    {bgl::kClearanceFrequency, 128.25},
            {bgl::kGroundFrequency, 121.9},   {bgl::kGroundFrequency, 121.65},
            {bgl::kTowerFrequency, 118.3},    {bgl::kTowerFrequency, 119.1},
            {bgl::kApproachFrequency, 124.6}, {bgl::kDepartureFrequency, 119.75},
            {bgl::kCenterFrequency, 132.45}};
}

BglAirport BuildEldorado() {
    BglAirport airport;
    airport.name = "Eldorado Intl";
    airport.icao = "KELD";
    airport.latitude = kLatitude;
    airport.longitude = kLongitude;
    airport.elevationFt = 1180;
    airport.frequencies = Frequencies();
    const double axis = 358.0 + DemoVariationDegrees(kLatitude, kLongitude);
    AirportLayout layout(airport, axis);
    const EldoradoRunways runways = AddRunways(layout);
    AddTaxiways(layout, runways);
    AddTerminal(layout);
    AddAprons(layout);
    layout.Finish();
    return airport;
}

}  // namespace

const BglAirport& DemoLargeAirport() {
    static const BglAirport airport = BuildEldorado();
    return airport;
}

}  // namespace scopewatch::demo
