#include <gtest/gtest.h>

#include <QImage>
#include <set>

#include "builder/AirportDatabaseFile.h"
#include "geo/Geodesy.h"
#include "scope/LabelPlacement.h"
#include "scope/ScopeSnapshot.h"
#include "support/DemoAirportState.h"
#include "support/Golden.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

namespace fs = std::filesystem;

// A few aircraft around the airport's reference point: two close together, one on the ground
// by the terminal, one far out.
TrafficTable TrafficAround(const AirportRecord& airport) {
    TrafficTable traffic;
    const std::tuple<const char*, double, double, int32_t, double> aircraft[] = {
        {"N172SP", 0.004, -0.006, 1250, 90},
        {"DAL1842", 0.006, -0.004, 2300, 180},
        {"UAL913", -0.03, 0.05, 3400, 355},
        {"N35PA", 0.0, 0.001, 1180, 270},
        {"SWA2210", 0.2, -0.25, 11000, 45}};
    for (const auto& [name, north, east, altitude, heading] : aircraft) {
        TrafficRecord& entry = traffic.trafficTable.at(static_cast<size_t>(++traffic.trafficCount));
        entry = {name,        altitude, heading, airport.longitude + east, airport.latitude + north,
                 "Jet Plane", ""};
    }
    return traffic;
}

// The demo airport loaded for a picture from the database built from the demo simulator, with
// its airspaces, and traffic over it: the pictures at a coarse, a fine and the finest level
// are those of tests/data/scope/ (the airspaces below level 13, the parkings, taxiways,
// runways and ILS cones from there, names and aircraft at every level).
TEST(ScopeSnapshotTest, TheDemoAirportWithTrafficLooksAsItsPictures) {
    LoadedAirportData airport = testing::DemoAirportLoaded();
    EXPECT_EQ(airport.currentAirport.name, "Eldorado Intl");
    std::multiset<std::string> types;
    for (const AirspaceRecord& airspace : airport.airspaces) {
        types.insert(airspace.typeName);
    }
    EXPECT_EQ(types,
              (std::multiset<std::string>{
                  "Airspace Class B", "Airspace Class B", "Airspace Class B", "Airspace Class C",
                  "Airspace Class D", "ARTCC/FIR", "TRACON (Departure/Approach)"}));
    const TrafficTable traffic = TrafficAround(airport.currentAirport);
    for (const int16_t level : {9, 13, 16}) {
        const ScopeView view = SnapshotView(airport.currentAirport, 1000, 700, level);
        testing::ExpectImageMatchesGolden(RenderScope({view, airport, traffic, {}, {}}),
                                          "scope/eldorado-level" + std::to_string(level) + ".png");
    }
}

// Every aid on, over the same traffic after half a minute of flying along its headings (the
// aircraft by the terminal stands still): range rings under everything, trails and vectors,
// and labels placed apart; the picture is that of tests/data/scope/. A repaint a second later
// leaves each label where it was.
TEST(ScopeSnapshotTest, EveryControllerAidOnDrawsItsPicture) {
    LoadedAirportData airport = testing::DemoAirportLoaded();
    TrafficTable traffic = TrafficAround(airport.currentAirport);
    TrackHistory history;
    const TrafficTable start = traffic;
    for (int second = 0; second <= 30; ++second) {
        for (int i = 1; i <= traffic.trafficCount; ++i) {
            const TrafficRecord& from = start.trafficTable[static_cast<size_t>(i)];
            const double speedKt = from.altitudeFt < 2000 ? 0.0 : from.altitudeFt / 20.0;
            const GeoPoint at = AdvanceNm({from.latitude, from.longitude}, from.heading,
                                          speedKt * (second - 30) / 3600.0);
            traffic.trafficTable[static_cast<size_t>(i)].latitude = at.latitude;
            traffic.trafficTable[static_cast<size_t>(i)].longitude = at.longitude;
        }
        history.Record(traffic, second);
    }
    const ControllerAids everyAid{true, true, true, true, 2};
    LabelPlacer labels;
    const ScopeAids aids{everyAid, history, labels};
    const ScopeView view = SnapshotView(airport.currentAirport, 1000, 700, 9);
    const QImage first = RenderScope({view, airport, traffic, {}, {}, &aids});
    testing::ExpectImageMatchesGolden(first, "scope/eldorado-every-aid-level9.png");
    EXPECT_EQ(RenderScope({view, airport, traffic, {}, {}, &aids}), first);
}

// Loading stops at missing settings or an index past the database; a simulator folder
// without magdec.bgl is only a note.
TEST(ScopeSnapshotTest, MissingPiecesAreReported) {
    testing::TempDir dir;
    SettingsState settings;
    LoadedAirportData airport;
    const SnapshotLoad nowhere = LoadForSnapshot(dir / "nowhere", 0, settings, airport);
    EXPECT_FALSE(nowhere.ok);
    EXPECT_NE(nowhere.error.find("settings"), std::string::npos);
    ASSERT_TRUE(WriteSettings(dir / kSettingsFileName,
                              {kSettingsHeader, 1, 1, 1, (dir / "sim").string(), ""})
                    .ok);
    ASSERT_FALSE(WriteAirportDatabase(dir / kDatabaseFileName, {AirportRecord{}}));
    EXPECT_EQ(LoadForSnapshot(dir.path(), 99999, settings, airport).error,
              "no airport with index 99999");
    const SnapshotLoad load = LoadForSnapshot(dir.path(), 0, settings, airport);
    EXPECT_TRUE(load.ok) << load.error;
    EXPECT_NE(load.notes.at(0).find("magdec.bgl"), std::string::npos);
}

}  // namespace
}  // namespace scopewatch
