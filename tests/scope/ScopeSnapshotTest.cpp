#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <set>

#include "builder/AirportDatabaseFile.h"
#include "scope/ScopeSnapshot.h"
#include "support/DemoAirportState.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

namespace fs = std::filesystem;

// The demo airport loaded for a picture from the database built from the demo simulator, with
// its airspaces; the scope shows cyan airspaces below level 13, brown parkings, grey taxiways,
// green runways and yellow ILS cones from there, white names at every level. The pictures stay
// in the build tree for a look.
TEST(ScopeSnapshotTest, RendersTheDemoAirportAtCoarseAndFineLevels) {
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

    const QRgb cyan = qRgb(0, 255, 255);
    const std::vector<std::pair<int16_t, std::vector<QRgb>>> levels = {
        {9, {cyan}},
        {13, {qRgb(128, 64, 64), qRgb(192, 192, 192), qRgb(0, 192, 0), qRgb(255, 255, 0)}},
        {16, {qRgb(128, 64, 64), qRgb(192, 192, 192)}}};
    const fs::path renders = fs::path(std::getenv("SCOPEWATCH_BUILD_DIR")) / "tests" / "renders";
    fs::create_directories(renders);
    for (const auto& [level, expected] : levels) {
        const ScopeView view = SnapshotView(airport.currentAirport, 1000, 700, level);
        const QImage image = RenderScope({view, airport, {}, {}, {}});
        ASSERT_EQ(image.format(), QImage::Format_RGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
        const std::set<QRgb> colours(pixels, pixels + image.width() * image.height());
        for (const QRgb colour : expected) {
            EXPECT_TRUE(colours.contains(colour)) << std::hex << colour << " at level " << level;
        }
        EXPECT_TRUE(colours.contains(qRgb(255, 255, 255))) << level;
        EXPECT_EQ(colours.contains(cyan), level < 13) << level;
        const fs::path file = renders / ("eldorado-level" + std::to_string(level) + ".png");
        EXPECT_TRUE(image.save(QString::fromStdString(file.string()), "PNG"));
    }
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
