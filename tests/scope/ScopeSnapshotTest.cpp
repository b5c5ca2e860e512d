#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <memory>
#include <set>

#include "builder/AirportDatabaseFile.h"
#include "builder/DatabaseBuild.h"
#include "demo/DemoSimulator.h"
#include "platform/FileSystem.h"
#include "scope/ScopeSnapshot.h"
#include "shared/ProgramState.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

namespace fs = std::filesystem;

// The demo simulator and the database built from it, in a working directory "run".
class ScopeSnapshotTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<testing::TempDir>();
        const std::string sim = (dir_->path() / "sim").string();
        demo::WriteDemoSimulator(sim);
        fs::create_directories(RunDir());
        ProgramState state;
        state.workDir = RunDir();
        state.settings.simVersion = 1;
        state.settings.simFolder = sim;
        ASSERT_TRUE(WriteSettings(state.SettingsFile(), {kSettingsHeader, 1, 1, 0, sim, ""}).ok);
        const FileSystem files(state.workDir, FileSystem::MountedVolumes());
        testing::ScriptedMessageBoxes messages;
        DatabaseBuild build(state, files, messages);
        build.Discover();
        while (build.Step()) {
        }
        ASSERT_TRUE(build.Finish().ok);
        const auto records =
            ReadAirportDatabase(state.DatabaseFile(), state.settings.airportCount).records;
        for (size_t i = 0; i < records.size(); ++i) {
            eldorado_ = records[i].name == "Eldorado Intl" ? static_cast<int64_t>(i) : eldorado_;
        }
    }
    static void TearDownTestSuite() { dir_.reset(); }
    static fs::path RunDir() { return dir_->path() / "run"; }
    // The pictures stay in the build tree for a look.
    static fs::path RenderDir() {
        return fs::path(std::getenv("SCOPEWATCH_BUILD_DIR")) / "tests" / "renders";
    }

    static inline std::unique_ptr<testing::TempDir> dir_;
    static inline int64_t eldorado_ = -1;
    ProgramState state;
};

TEST_F(ScopeSnapshotTest, RendersTheDemoAirportAtCoarseAndFineLevels) {
    const SnapshotLoad load = LoadForSnapshot(RunDir(), eldorado_, state);
    ASSERT_TRUE(load.ok) << load.error;
    EXPECT_TRUE(load.notes.empty());
    EXPECT_EQ(state.airport.currentAirport.name, "Eldorado Intl");
    std::multiset<std::string> types;
    for (const AirspaceRecord& airspace : state.airport.airspaces) {
        types.insert(airspace.typeName);
    }
    EXPECT_EQ(types,
              (std::multiset<std::string>{
                  "Airspace Class B", "Airspace Class B", "Airspace Class B", "Airspace Class C",
                  "Airspace Class D", "ARTCC/FIR", "TRACON (Departure/Approach)"}));

    // Cyan airspaces below level 13; brown parkings, grey taxiways, green runways and
    // yellow ILS cones from there; white names at every level.
    const QRgb cyan = qRgb(0, 255, 255);
    const std::vector<std::pair<int16_t, std::vector<QRgb>>> levels = {
        {9, {cyan}},
        {13, {qRgb(128, 64, 64), qRgb(192, 192, 192), qRgb(0, 192, 0), qRgb(255, 255, 0)}},
        {16, {qRgb(128, 64, 64), qRgb(192, 192, 192)}}};
    const fs::path renders = RenderDir();
    fs::create_directories(renders);
    for (const auto& [level, expected] : levels) {
        const QImage image = RenderScope(state, SnapshotView(state, 1000, 700, level));
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

TEST_F(ScopeSnapshotTest, MissingPiecesAreReported) {
    EXPECT_EQ(LoadForSnapshot(RunDir(), 99999, state).error, "no airport with index 99999");
    const SnapshotLoad load = LoadForSnapshot(dir_->path() / "nowhere", 0, state);
    EXPECT_FALSE(load.ok);
    EXPECT_NE(load.error.find("settings"), std::string::npos);
}

}  // namespace
}  // namespace scopewatch
