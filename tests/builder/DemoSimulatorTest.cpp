#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

#include "builder/BglWalker.h"
#include "builder/SceneryDiscovery.h"
#include "platform/FileSystem.h"
#include "scenerywriter/DemoSimulator.h"
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

class DemoSimulatorTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        directory_ = std::make_unique<testing::TempDir>();
        scenery::WriteDemoSimulator(directory_->path() / "Demo Sim");
    }
    static void TearDownTestSuite() { directory_.reset(); }

    static std::filesystem::path Root() { return directory_->path() / "Demo Sim"; }

    // Discovers the areas the way the builder does and scans every file of the airport areas.
    static std::vector<AirportRecord> ScanAirportAreas(int& files) {
        const FileSystem fileSystem(Root(), FileSystem::MountedVolumes());
        const std::string simFolder = Root().string();
        const std::vector<uint8_t> cfg = fileSystem.ReadFile(simFolder + "\\scenery.cfg").value();
        std::vector<SceneryArea> areas = ParseSceneryCfg(std::string(cfg.begin(), cfg.end()));
        ResolveAreaPaths(areas, simFolder, fileSystem.drives());
        std::vector<AirportRecord> airports;
        MagVarGrid grid;
        FileBuffer buffer;
        LoadMagVarGrid(fileSystem.ToRealPath(simFolder + "\\scenery\\magdec.bgl").string(), buffer,
                       grid);
        files = 0;
        for (const SceneryArea& area : areas) {
            if (!IsAirportArea(area)) {
                continue;
            }
            for (const std::string& name : fileSystem.ListFiles(area.local + "\\*.bgl")) {
                ++files;
                buffer.LoadFile(fileSystem.ToRealPath(area.local + "\\" + name).string());
                if (buffer.FileLength() > 122 && buffer.ReadInt32(118) == bgl::kMarker) {
                    const SceneryScanResult result = ScanSceneryFile(buffer, grid, airports);
                    EXPECT_TRUE(result.complete) << name << ": " << result.problem;
                }
            }
        }
        return airports;
    }

    static std::unique_ptr<testing::TempDir> directory_;
};

std::unique_ptr<testing::TempDir> DemoSimulatorTest::directory_;

TEST_F(DemoSimulatorTest, BuilderFindsEveryAirportOfTheScannedAreas) {
    int files = 0;
    const std::vector<AirportRecord> airports = ScanAirportAreas(files);
    EXPECT_EQ(files, 6);  // four airport files and one without the marker in World
    ASSERT_EQ(airports.size(), 15U);
    int intl = 0;
    int field = 0;
    for (const AirportRecord& airport : airports) {
        EXPECT_NE(airport.name, "Ghost Field");  // its area is not required
        EXPECT_FALSE(airport.icaoId.empty()) << airport.name;
        intl += airport.name.find("Intl") != std::string::npos;
        field += airport.name.find("Field") != std::string::npos;
    }
    EXPECT_EQ(intl, 5);
    EXPECT_EQ(field, 8);
    const FileSystem fileSystem(Root(), FileSystem::MountedVolumes());
    EXPECT_TRUE(fileSystem.IsDirectory(Root().string() + "\\scenery\\afd\\scenery"));
}

TEST_F(DemoSimulatorTest, LargeAirportIsCompleteAndConnected) {
    int files = 0;
    const std::vector<AirportRecord> airports = ScanAirportAreas(files);
    ASSERT_FALSE(airports.empty());
    const AirportRecord& eldorado = airports[0];
    EXPECT_EQ(eldorado.name, "Eldorado Intl");
    EXPECT_EQ(eldorado.icaoId, "KELD");
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
    for (const std::string* frequency :
         {&eldorado.clearanceFreq, &eldorado.groundFreq, &eldorado.towerFreq,
          &eldorado.departureFreq, &eldorado.approachFreq, &eldorado.centerFreq,
          &eldorado.atisFreq}) {
        EXPECT_FALSE(frequency->empty());
    }
    EXPECT_EQ(eldorado.towerFreq, "118.3");
    EXPECT_GT(eldorado.taxiPointCount(), 300);
    EXPECT_GT(eldorado.taxiSegmentCount(), 300);
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
    for (const char* name : {"A", "C", "E", "T", "A4", "Runway 18C", "Runway 9"}) {
        EXPECT_TRUE(segmentNames.count(name)) << name;
    }
    const auto label = [&](const std::string& text) {
        return std::any_of(eldorado.parkings.begin(), eldorado.parkings.end(),
                           [&](const ParkingRecord& p) { return p.label == text; });
    };
    EXPECT_TRUE(label("GATE A 12"));
    EXPECT_TRUE(label("GATE D 10"));
    EXPECT_TRUE(label("PARKING 11"));
    EXPECT_TRUE(label("SE PARKING 6"));
}

TEST_F(DemoSimulatorTest, DescriptionMatchesTheWrittenAirport) {
    const scenery::BglAirport& airport = scenery::DemoLargeAirport();
    EXPECT_EQ(airport.name, "Eldorado Intl");
    EXPECT_EQ(scenery::DemoSceneryFiles()[0].airports[0].taxiPoints.size(),
              airport.taxiPoints.size());
    std::string absolute = "Local=C:" + Root().generic_string() + "/Addon Scenery/Nordic\r\n";
    std::replace(absolute.begin(), absolute.end(), '/', '\\');
    EXPECT_NE(scenery::DemoSceneryCfg(Root()).find(absolute), std::string::npos);
}

}  // namespace
}  // namespace scopewatch
