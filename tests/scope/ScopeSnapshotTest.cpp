#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <set>

#include "builder/AirportDatabaseFile.h"
#include "builder/DatabaseBuild.h"
#include "platform/FileSystem.h"
#include "scenerywriter/DemoSimulator.h"
#include "scope/ScopeSnapshot.h"
#include "startup/ProgramState.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

namespace fs = std::filesystem;

// The demo simulator and the database built from it, made once for every test here.
class ScopeSnapshotTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new testing::TempDir;
        const fs::path sim = dir_->path() / "sim";
        scenery::WriteDemoSimulator(sim);
        fs::create_directories(RunDir());
        ProgramState state;
        state.workDir = RunDir();
        state.settings.simVersion = 1;
        state.settings.simFolder = sim.string();
        ASSERT_TRUE(
            WriteSettings(state.SettingsFile(), {kSettingsHeader, 1, 1, 0, sim.string(), ""}).ok);
        const FileSystem files(state.workDir, FileSystem::MountedVolumes());
        testing::ScriptedMessageBoxes messages;
        DatabaseBuild build(state, files, messages);
        build.Discover();
        while (build.Step()) {
        }
        ASSERT_TRUE(build.Finish().ok);
        const AirportDatabaseContent database =
            ReadAirportDatabase(state.DatabaseFile(), state.settings.airportCount);
        for (size_t i = 0; i < database.records.size(); ++i) {
            if (database.records[i].name == "Eldorado Intl") {
                eldorado_ = static_cast<int64_t>(i);
            }
        }
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    static fs::path RunDir() { return dir_->path() / "run"; }

    // Render tests leave their pictures in the build tree for a look.
    static fs::path RenderDir() {
        const char* build = std::getenv("SCOPEWATCH_BUILD_DIR");
        const fs::path renders = (build != nullptr ? fs::path(build) : dir_->path()) / "renders";
        fs::create_directories(renders);
        return renders;
    }

    static inline testing::TempDir* dir_ = nullptr;
    static inline int64_t eldorado_ = -1;
    ProgramState state;
};

// The scope's colours found in the picture, by name.
std::set<std::string> ColoursIn(const QImage& image) {
    const std::vector<std::pair<QRgb, std::string>> named = {
        {qRgb(0, 255, 255), "cyan"},  {qRgb(255, 255, 0), "yellow"},
        {qRgb(128, 64, 64), "brown"}, {qRgb(192, 192, 192), "grey"},
        {qRgb(0, 192, 0), "green"},   {qRgb(255, 255, 255), "white"}};
    std::set<std::string> found;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            for (const auto& [colour, name] : named) {
                if ((line[x] & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                    found.insert(name);
                }
            }
        }
    }
    return found;
}

TEST_F(ScopeSnapshotTest, LoadsTheAirportWithItsAirspaces) {
    ASSERT_GE(eldorado_, 0);
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
}

TEST_F(ScopeSnapshotTest, RendersCoarseAndFineLevels) {
    ASSERT_TRUE(LoadForSnapshot(RunDir(), eldorado_, state).ok);
    const std::vector<std::pair<int16_t, std::set<std::string>>> levels = {
        {9, {"cyan", "white"}},
        {13, {"brown", "grey", "green", "yellow", "white"}},
        {16, {"brown", "grey", "white"}}};
    for (const auto& [level, colours] : levels) {
        const ScopeView view = SnapshotView(state, 1000, 700, level);
        EXPECT_EQ(view.ZoomLevel, level);
        const QImage image = RenderScope(state, view);
        EXPECT_EQ(image.size(), QSize(1000, 700));
        const std::set<std::string> found = ColoursIn(image);
        for (const std::string& colour : colours) {
            EXPECT_TRUE(found.contains(colour)) << colour << " at level " << level;
        }
        EXPECT_EQ(found.contains("cyan"), level < 13) << level;
        const fs::path file = RenderDir() / ("eldorado-level" + std::to_string(level) + ".png");
        EXPECT_TRUE(image.save(QString::fromStdString(file.string()), "PNG"));
    }
}

TEST_F(ScopeSnapshotTest, SelectedAirspaceTurnsYellow) {
    ASSERT_TRUE(LoadForSnapshot(RunDir(), eldorado_, state).ok);
    const AirspaceRecord& tracon = state.airport.airspaces.back();
    const SelectedAirspace selection{kSelectedAirspaceMarker, tracon.typeName, tracon.latitude,
                                     tracon.longitude};
    const QImage image = RenderScope(state, SnapshotView(state, 800, 600, 10), selection);
    EXPECT_TRUE(ColoursIn(image).contains("yellow"));
    image.save(QString::fromStdString((RenderDir() / "eldorado-selected.png").string()), "PNG");
}

TEST_F(ScopeSnapshotTest, MissingPiecesAreReported) {
    EXPECT_EQ(LoadForSnapshot(RunDir(), 99999, state).error, "no airport with index 99999");
    ProgramState other;
    const SnapshotLoad load = LoadForSnapshot(dir_->path() / "nowhere", 0, other);
    EXPECT_FALSE(load.ok);
    EXPECT_NE(load.error.find("settings"), std::string::npos);
}

}  // namespace
}  // namespace scopewatch
