#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

#include "builder/DatabaseBuild.h"
#include "platform/FileSystem.h"
#include "scenerywriter/DemoSimulator.h"
#include "startup/ProgramState.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

// Every point reachable from every other over taxiway and runway segments.
bool Connected(const AirportRecord& airport) {
    std::vector<int> parent(static_cast<size_t>(airport.taxiPointCount()));
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&](int i) {
        while (parent[static_cast<size_t>(i)] != i) {
            i = parent[static_cast<size_t>(i)];
        }
        return i;
    };
    for (const TaxiSegmentRecord& segment : airport.taxiSegments) {
        if (segment.kind != kTaxiToParking) {
            parent[static_cast<size_t>(root(segment.firstIndex))] = root(segment.secondIndex);
        }
    }
    std::set<int> roots;
    for (int i = 0; i < airport.taxiPointCount(); ++i) {
        roots.insert(root(i));
    }
    return roots.size() == 1;
}

// The demo simulator folder run through the database build the way the program runs it.
TEST(DemoSimulatorTest, BuildFindsEveryAirportAndTheLargeOneIsCompleteAndConnected) {
    testing::TempDir dir;
    scenery::WriteDemoSimulator(dir / "Demo Sim");
    const FileSystem files(dir.path(), {{"C:\\", DriveType::Fixed, std::string("C"), "/"}});
    ProgramState state;
    state.settings = {1, 0, (dir / "Demo Sim").string(), ""};
    testing::ScriptedMessageBoxes messages;
    DatabaseBuild build(state, files, messages);
    EXPECT_EQ(build.Discover().bglFileCount, 6);  // four airport files, one without the marker
    while (build.Step()) {
    }
    EXPECT_TRUE(build.problems().empty()) << build.problems()[0];
    const std::vector<AirportRecord>& airports = state.airport.airportList;
    ASSERT_EQ(airports.size(), 15U);
    for (const AirportRecord& airport : airports) {
        EXPECT_NE(airport.name, "Ghost Field");  // its area is not required
        EXPECT_FALSE(airport.icaoId.empty()) << airport.name;
    }
    EXPECT_TRUE(files.IsDirectory(state.settings.facilityDataFolder));

    const AirportRecord& eldorado = airports[0];
    EXPECT_EQ(eldorado.name + " " + eldorado.icaoId + " " + eldorado.towerFreq,
              "Eldorado Intl KELD 118.3");
    std::vector<std::string> names;
    for (const RunwayRecord& runway : eldorado.runways) {
        names.push_back(runway.primaryName + "/" + runway.secondaryName + " " +
                        std::to_string(runway.primaryMagHeading) + "/" +
                        std::to_string(runway.secondaryMagHeading));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"18L/36R 178/358", "18C/36C 178/358",
                                               "18R/36L 178/358", "9/27 88/268"}));
    EXPECT_EQ(eldorado.ilsCount(), 6);
    for (const IlsRecord& ils : eldorado.ilsList) {
        const bool atAnEnd = std::any_of(
            eldorado.runways.begin(), eldorado.runways.end(), [&](const RunwayRecord& r) {
                return (ils.latitude == r.end1Latitude && ils.longitude == r.end1Longitude) ||
                       (ils.latitude == r.end2Latitude && ils.longitude == r.end2Longitude);
            });
        EXPECT_TRUE(atAnEnd) << ils.ident;
    }
    EXPECT_GT(eldorado.taxiPointCount(), 300);
    EXPECT_GT(eldorado.parkingCount(), 60);
    EXPECT_TRUE(Connected(eldorado));
    std::set<std::string> segmentNames;
    std::vector<bool> parked(static_cast<size_t>(eldorado.parkingCount()), false);
    for (const TaxiSegmentRecord& segment : eldorado.taxiSegments) {
        ASSERT_LT(segment.firstIndex, eldorado.taxiPointCount());
        if (segment.kind == kTaxiToParking) {
            ASSERT_LT(segment.secondIndex, eldorado.parkingCount());
            parked[static_cast<size_t>(segment.secondIndex)] = true;
        } else {
            ASSERT_LT(segment.secondIndex, eldorado.taxiPointCount());
            segmentNames.insert(segment.name);
        }
    }
    EXPECT_TRUE(std::all_of(parked.begin(), parked.end(), [](bool p) { return p; }));
    for (const char* name : {"A", "E", "A4", "Runway 18C", "Runway 9"}) {
        EXPECT_TRUE(segmentNames.count(name)) << name;
    }
    for (const char* label : {"GATE A 12", "PARKING 11", "SE PARKING 6"}) {
        EXPECT_TRUE(std::any_of(eldorado.parkings.begin(), eldorado.parkings.end(),
                                [&](const ParkingRecord& p) { return p.label == label; }))
            << label;
    }
}

}  // namespace
}  // namespace scopewatch
