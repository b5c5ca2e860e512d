#include <algorithm>
#include <cmath>
#include <string>

#include "demo/DemoLayout.h"
#include "demo/DemoSimulator.h"

// The demo's smaller airports and the scenery files that hold them.
namespace scopewatch::demo {

using namespace scenery;

namespace {

struct FieldPlan {
    std::string name;
    std::string icao;
    double latitude = 0.0;
    double longitude = 0.0;
    double elevationFt = 0.0;
    int32_t runwayNumber = 18;  // magnetic heading of the primary end / 10
    int32_t designator = bgl::kDesignatorNone;
    int32_t lengthFt = 5000;
    int32_t widthFt = 100;
    bool parallelRunway = false;  // a second runway to the left, designators L and R
    std::string ils;              // ident of a localizer for the primary end, none when empty
    double ilsMhz = 110.1;
    int gates = 0;
    int32_t gateCode = 10;
    int gaSpots = 0;
    int32_t gaCode = 1;
    std::vector<BglFrequency> frequencies;
};

// How far the parallel taxiway lies from the runway's centreline: closer for short runways.
double TaxiwayOffset(const FieldPlan& plan) {
    const double metres = plan.lengthFt * 0.3048;
    return metres < 500 ? 50.0 : (metres < 1500 ? 120.0 : 180.0);
}

// One runway along the plane's axis, a parallel taxiway A on its right with connectors at
// the ends and the middle, and beyond it an apron reached by B.
void LayOutRunwayAndTaxiway(AirportLayout& layout, const FieldPlan& plan) {
    const double taxiway = TaxiwayOffset(plan);
    const int32_t designator = plan.parallelRunway ? bgl::kDesignatorRight : plan.designator;
    const size_t runway =
        layout.AddRunway({0, 0}, 0, plan.lengthFt, plan.widthFt, plan.runwayNumber, designator);
    if (!plan.ils.empty()) {
        layout.AddIls(runway, true, plan.ils, plan.ilsMhz);
    }
    const auto [first, second] = layout.RunwayEnds(runway);
    layout.AddTaxiway("A", {{first.u, taxiway}, {second.u, taxiway}});
    int number = 1;
    for (const double u : {first.u, 0.0, second.u}) {
        layout.AddTaxiway("A" + std::to_string(number++), {{u, 0}, {u, taxiway}});
    }
    if (plan.parallelRunway) {
        const int32_t shorter = plan.lengthFt * 3 / 4;
        const size_t left = layout.AddRunway({0, -400}, 0, shorter, plan.widthFt, plan.runwayNumber,
                                             bgl::kDesignatorLeft);
        const auto [leftFirst, leftSecond] = layout.RunwayEnds(left);
        number = 1;
        for (const double u : {leftFirst.u, leftSecond.u}) {
            layout.AddTaxiway("D" + std::to_string(number++), {{u, -400}, {u, 0}, {u, taxiway}});
        }
    }
}

void LayOutApron(AirportLayout& layout, const FieldPlan& plan) {
    const int spots = plan.gates + plan.gaSpots;
    if (spots == 0) {
        return;
    }
    const double spacing = 50.0;
    const double start = -spacing * (spots - 1) / 2.0;
    const double taxiway = TaxiwayOffset(plan);
    const double lane = taxiway + std::min(120.0, taxiway * 1.2);
    layout.AddTaxiway("B", {{0, taxiway}, {0, lane}});
    layout.AddApronLane({{start - 40, lane}, {-start + 40, lane}});
    for (int i = 0; i < spots; ++i) {
        const double u = start + spacing * i;
        const bool gate = i < plan.gates;
        layout.AddParking({u, lane + 60}, {u, lane}, gate ? plan.gateCode : plan.gaCode,
                          gate ? i + 1 : i - plan.gates + 1, gate ? 24.0 : 10.0);
    }
}

BglAirport MakeField(const FieldPlan& plan) {
    BglAirport airport;
    airport.name = plan.name;
    airport.icao = plan.icao;
    airport.latitude = plan.latitude;
    airport.longitude = plan.longitude;
    airport.elevationFt = plan.elevationFt;
    airport.frequencies = plan.frequencies;
    const double axis = std::fmod(
        plan.runwayNumber * 10.0 + DemoVariationDegrees({plan.latitude, plan.longitude}) + 360.0,
        360.0);
    AirportLayout layout(airport, axis);
    LayOutRunwayAndTaxiway(layout, plan);
    LayOutApron(layout, plan);
    layout.Finish();
    return airport;
}

std::vector<BglFrequency> TowerAndGround(double tower, double ground) {
    return {{bgl::kTowerFrequency, tower}, {bgl::kGroundFrequency, ground}};
}

std::vector<BglFrequency> FullSet(double atis, double ground, double tower, double approach,
                                  double departure) {
    return {{bgl::kAtisFrequency, atis},
            {bgl::kGroundFrequency, ground},
            {bgl::kTowerFrequency, tower},
            {bgl::kApproachFrequency, approach},
            {bgl::kDepartureFrequency, departure}};
}

std::vector<BglAirport> CentralAirports() {
    return {
        DemoLargeAirport(),
        MakeField({"Cimarron Regional Field", "KCRF", 36.88, -97.62, 1090, 17, 0, 7200, 150, false,
                   "ICRF", 109.7, 4, 10, 8, 1, FullSet(126.45, 121.8, 119.4, 125.1, 125.1)}),
        MakeField({"Redbud Municipal Field",
                   "KRBF",
                   36.12,
                   -96.41,
                   780,
                   13,
                   0,
                   4200,
                   75,
                   false,
                   "",
                   0,
                   0,
                   10,
                   6,
                   1,
                   {{bgl::kTowerFrequency, 122.8}}}),
        MakeField({"Prairie Wind Intl", "KPWI", 35.61, -97.43, 1290, 17, 0, 9800, 150, true, "IPWI",
                   111.3, 10, 15, 4, 4, FullSet(128.6, 121.7, 118.75, 124.2, 126.0)}),
        MakeField({"Salt Fork Field",
                   "OK27",
                   36.71,
                   -97.95,
                   1120,
                   16,
                   0,
                   2800,
                   60,
                   false,
                   "",
                   0,
                   0,
                   10,
                   3,
                   1,
                   {}}),
    };
}

std::vector<BglAirport> PacificAirports() {
    return {
        MakeField({"Harbor Point Intl", "KHPI", 47.33, -122.61, 310, 16, 0, 11200, 150, true,
                   "IHPI", 110.75, 12, 12, 6, 8, FullSet(124.05, 121.75, 119.9, 123.9, 120.4)}),
        MakeField({"Alder Creek Field", "WA52", 46.84, -123.12, 140, 2, 0, 3500, 60, false, "", 0,
                   0, 10, 5, 6, TowerAndGround(123.0, 121.6)}),
        MakeField({"Bluewater Bay Seaplane Base",
                   "W39",
                   47.62,
                   -122.88,
                   0,
                   18,
                   0,
                   6000,
                   300,
                   false,
                   "",
                   0,
                   4,
                   11,
                   0,
                   1,
                   {{bgl::kTowerFrequency, 122.9}}}),
    };
}

std::vector<BglAirport> SouthernAirports() {
    return {
        MakeField({"Altamira Intl", "SBAZ", -23.42, -46.31, 2460, 9, 0, 10000, 150, true, "IALT",
                   109.3, 10, 13, 4, 7, FullSet(127.65, 121.85, 118.2, 119.35, 119.35)}),
        MakeField({"Santa Rita Field", "SDRT", -22.91, -47.08, 2130, 15, 0, 4600, 75, false, "", 0,
                   0, 10, 5, 1, TowerAndGround(122.5, 121.65)}),
        // Just west of the 180th meridian.
        MakeField({"Kaveka Island Field", "NFKV", -16.81, 179.93, 60, 3, 0, 6000, 100, false, "", 0,
                   2, 10, 3, 1, TowerAndGround(118.1, 121.7)}),
    };
}

std::vector<BglAirport> EuropeanAirports() {
    return {
        MakeField({"Nordhavn Intl", "EKNH", 55.91, 10.63, 80, 4, 0, 9000, 150, false, "INH", 110.55,
                   6, 14, 4, 9, FullSet(122.85, 121.9, 118.45, 119.55, 119.55)}),
        MakeField({"Lindholm Field", "EKLH", 56.21, 9.82, 120, 9, 0, 3900, 75, false, "", 0, 0, 10,
                   4, 1, TowerAndGround(123.25, 121.6)}),
    };
}

std::vector<BglAirport> NordicAirports() {
    return {
        MakeField({"Vestfjord Heliport",
                   "ENVF",
                   68.21,
                   14.52,
                   30,
                   36,
                   bgl::kDesignatorHelipad,
                   100,
                   100,
                   false,
                   "",
                   0,
                   0,
                   10,
                   2,
                   1,
                   {{bgl::kTowerFrequency, 123.5}}}),
        MakeField({"Fjellstad Field", "ENFJ", 68.49, 16.02, 260, 17, 0, 5500, 100, false, "IFJS",
                   108.7, 3, 10, 4, 1, FullSet(126.35, 121.7, 118.6, 120.85, 120.85)}),
    };
}

std::vector<DemoSceneryFile> BuildSceneryFiles() {
    std::vector<DemoSceneryFile> files;
    files.push_back({"Scenery/World/scenery/AP_Central.bgl", CentralAirports(), {2, SIZE_MAX}});
    files.push_back({"Scenery/World/scenery/ap_pacific.BGL", PacificAirports(), {8, 1}});
    files.push_back({"Scenery/World/scenery/AP_South.bgl", SouthernAirports(), {8, SIZE_MAX}});
    files.push_back({"Scenery/Europe/scenery/AP_Europe.bgl", EuropeanAirports(), {8, SIZE_MAX}});
    files.push_back(
        {"Addon Scenery/Nordic/Scenery/NordicAirports.bgl", NordicAirports(), {8, SIZE_MAX}});
    return files;
}

}  // namespace

const std::vector<DemoSceneryFile>& DemoSceneryFiles() {
    static const std::vector<DemoSceneryFile> files = BuildSceneryFiles();
    return files;
}

}  // namespace scopewatch::demo
