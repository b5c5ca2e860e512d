#include <string>

#include "demo/DemoLayout.h"
#include "demo/DemoSimulator.h"

// Eldorado Intl: three parallel runways 18L/36R, 18C/36C and 18R/36L, a crosswind runway
// 9/27 south of the field, a terminal between 18C and 18R with gates on both faces, a cargo
// apron, general aviation ramps east of 18L, maintenance stands in the north-west, parallel
// taxiways joined by a perimeter with rounded corners, and connectors. Every straight
// stretch runs from junction to junction in one piece; ramps and the terminal's taxilanes
// carry no name, the taxiways into them do.
// The plane's axis points to magnetic 358 degrees: u grows to the north, v to the east.
namespace scopewatch::demo {

using namespace scenery;

namespace {

// Well inside one whole-degree cell of the variation grid.
constexpr double kLatitude = 36.42;
constexpr double kLongitude = -97.0;
// Centreline radius of the perimeter's corners.
constexpr double kPerimeterTurnM = 200.0;
// Where the perimeter runs south of the runways and north of them.
constexpr double kSouthU = -2400.0;
constexpr double kNorthU = 2150.0;
// The scope writes a runway's name at each of its ends, down and to the right of the end;
// a connector's name at its middle. So that the names stand apart at the coarse levels, L
// joins 18L this far inside its ends (E reaches the ends themselves), and C reaches the ends
// of 18R in angled entries that leave C this far along from them.
constexpr double kInsideEndM = 110.0;
constexpr double kAngledEntryM = 450.0;

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
    runways.cross = layout.AddRunway({-2600, 430}, 90, 8500, 150, 9, bgl::kDesignatorNone);
    layout.AddIls(runways.left, true, "IELL", 109.5);
    layout.AddIls(runways.left, false, "IERR", 111.1);
    layout.AddIls(runways.centre, true, "IELC", 110.3);
    layout.AddIls(runways.centre, true, "GELC", 110.3, 2);  // not a localizer: passed over
    layout.AddIls(runways.centre, false, "IECC", 108.9);
    layout.AddIls(runways.right, true, "IELR", 110.9);
    layout.AddIls(runways.cross, false, "IXWD", 109.9);
    return runways;
}

// Connectors named with the letter and a number counting from firstNumber, across from one
// line (v = fromV) to another at each u.
void Connectors(AirportLayout& layout, const std::string& letter, const std::vector<double>& us,
                double fromV, double toV, int firstNumber = 1) {
    int number = firstNumber;
    for (const double u : us) {
        layout.AddTaxiway(letter + std::to_string(number++), {{u, fromV}, {u, toV}});
    }
}

void AddTaxiways(AirportLayout& layout, const EldoradoRunways& runways) {
    const double leftEnd = layout.RunwayEnds(runways.left).first.u;      // north end of 18L
    const double centreEnd = layout.RunwayEnds(runways.centre).first.u;  // north end of 18C
    const auto [rightNorth, rightSouth] = layout.RunwayEnds(runways.right);
    const auto [crossWest, crossEast] = layout.RunwayEnds(runways.cross);
    const double leftEntry = leftEnd - kInsideEndM;
    const double rightNorthEntry = rightNorth.u - kAngledEntryM;
    const double rightSouthEntry = rightSouth.u + kAngledEntryM;

    // Parallel taxiways: A west of 18C, E between 18C and 18L, C east of 18R, L east of
    // 18L. The perimeter F (south) and G (north) takes over from C near the ends of 18R.
    layout.AddTaxiway("A", {{kSouthU, 430}, {kNorthU, 430}});
    layout.AddTaxiway("E", {{kSouthU, 1050}, {kNorthU, 1050}});
    layout.AddTaxiway("C", {{rightSouthEntry, -1100}, {rightNorthEntry, -1100}});
    // F's corner curves round to where F1 leaves for the threshold of 9.
    const double southCornerM = crossWest.v + 1100.0;
    layout.AddTaxiway("F", {{rightSouthEntry, -1100}, {kSouthU, -1100}, {kSouthU, crossEast.v}},
                      southCornerM);
    layout.AddTaxiway(
        "G", {{rightNorthEntry, -1100}, {kNorthU, -1100}, {kNorthU, 1600}, {leftEntry, 1600}},
        kPerimeterTurnM);
    layout.AddTaxiway("L", {{leftEntry, 1600}, {-leftEntry, 1600}});

    // A to 18C; B across 18C from A to E; 18L to E and to L; 18R to C; 9/27 to F.
    Connectors(layout, "A", {-centreEnd, -1300, -650, 0, 650, 1300, centreEnd}, 430, 700);
    Connectors(layout, "B", {-1300, 0, 1300}, 700, 1050);
    Connectors(layout, "E", {-leftEnd, -800, 0, 800, leftEnd}, 1050, 1400);
    Connectors(layout, "L", {-leftEntry, 0, leftEntry}, 1400, 1600);
    layout.AddTaxiway("C1", {{rightSouth.u, -1300}, {rightSouthEntry, -1100}});
    Connectors(layout, "C", {-1050, 0, 1050}, -1300, -1100, 2);
    layout.AddTaxiway("C5", {{rightNorth.u, -1300}, {rightNorthEntry, -1100}});
    int number = 1;
    for (const double v : {crossWest.v, 430.0, crossEast.v}) {  // F2 in line with A
        layout.AddTaxiway("F" + std::to_string(number++), {{crossWest.u, v}, {kSouthU, v}});
    }
}

void AddTerminal(AirportLayout& layout) {
    // The taxilane around the terminal building (v 0 to 200), joined to A by J and to C by H.
    layout.AddApronLane({{-1050, 300}, {1050, 300}, {1050, -100}, {-1050, -100}, {-1050, 300}});
    Connectors(layout, "J", {-1050, -375, 375, 1050}, 300, 430);
    Connectors(layout, "H", {-1050, 0, 1050}, -100, -1100);
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

// A ramp east of L: a taxilane 80 m off L between two entries, stands beyond it.
void AddGeneralAviationRamp(AirportLayout& layout, double fromU, double toU) {
    layout.AddApronLane({{fromU, 1600}, {fromU, 1680}, {toU, 1680}, {toU, 1600}});
}

void AddAprons(AirportLayout& layout) {
    // Cargo apron on a taxilane between H1 and H2.
    layout.AddApronLane({{-1050, -550}, {0, -550}});
    for (int i = 1; i <= 11; ++i) {
        const double u = -1035.0 + 85.0 * i;
        layout.AddParking({u, -650}, {u, -550}, 1, i, 40);
    }
    // General aviation ramps east of L.
    AddGeneralAviationRamp(layout, 160, 1040);
    for (int i = 1; i <= 11; ++i) {
        const double u = 120.0 + 80.0 * i;
        layout.AddParking({u, 1740}, {u, 1680}, i <= 6 ? 3 : 4, i, 12);
    }
    AddGeneralAviationRamp(layout, -1040, -560);
    for (int i = 1; i <= 6; ++i) {
        const double u = -1080.0 + 80.0 * i;
        layout.AddParking({u, 1740}, {u, 1680}, 5, i, 12);
    }
    // Maintenance stands on a taxilane north of G.
    layout.AddApronLane({{kNorthU, -450}, {2230, -450}, {2230, -50}, {kNorthU, -50}});
    for (int i = 1; i <= 3; ++i) {
        const double v = -510.0 + 130.0 * i;
        layout.AddParking({2290, v}, {2230, v}, 2, i, 25);
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
    const double axis = 358.0 + DemoVariationDegrees({kLatitude, kLongitude});
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
