#include <gtest/gtest.h>

#include "builder/AirportDatabaseFile.h"
#include "builder/ui/BuilderWindow.h"
#include "platform/FileSystem.h"
#include "scenerywriter/DemoSimulator.h"
#include "startup/ProgramState.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

// The demo simulator folder, and a working directory holding the settings setup wrote.
class BuilderWindowTest : public ::testing::Test {
  protected:
    BuilderWindowTest() : files(dir / "work", {{"C:\\", DriveType::Fixed, std::string("C"), "/"}}) {
        scenery::WriteDemoSimulator(dir / "sim");
        std::filesystem::create_directories(dir / "work");
        state.workDir = dir / "work";
        state.settings.simVersion = 1;
        state.settings.simFolder = (dir / "sim").string();
        WriteSettings(state.SettingsFile(),
                      {kSettingsHeader, 1, 1, 0, state.settings.simFolder, ""});
    }

    testing::TempDir dir;
    FileSystem files;
    ProgramState state;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
};

TEST_F(BuilderWindowTest, DiscoversThenBuildsOneFilePerTickAndHandsOverToTheAirportWindow) {
    BuilderWindow window(state, files, messages, flow);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Creating Database");
    EXPECT_EQ(window.statusText().text(), "-None-");
    EXPECT_EQ(window.discoveryTimer().interval(), 1000);
    EXPECT_TRUE(window.discoveryTimer().isActive());
    EXPECT_EQ(window.createButton().text(), "CREATE ATC DATABASE FILE");

    window.RunDiscoveryTick();
    EXPECT_FALSE(window.discoveryTimer().isActive());
    EXPECT_EQ(window.statusText().text(), "Done");
    EXPECT_TRUE(window.createButton().isEnabled());
    const int files = window.build().bglFileCount();
    EXPECT_GT(files, 0);
    EXPECT_EQ(window.progressBar().maximum(), files + 1);
    EXPECT_EQ(window.progressBar().value(), 0);

    window.createButton().click();
    EXPECT_TRUE(window.buildTimer().isActive());
    EXPECT_EQ(window.buildTimer().interval(), 5);
    window.RunBuildTick();
    EXPECT_FALSE(window.createButton().isEnabled());
    int ticks = 1;
    while (window.buildTimer().isActive()) {
        window.RunBuildTick();
        ASSERT_LT(++ticks, 200);
    }
    EXPECT_EQ(window.build().filesExamined(), files);

    ASSERT_EQ(messages.shown.size(), 3u);  // the CD, the start and the end of the build
    EXPECT_EQ(messages.shown[1].text,
              "Now the create database file process will begin, this can take a few minutes, "
              "please wait");
    EXPECT_EQ(messages.shown[2].title, "Scopewatch v1.0");
    EXPECT_EQ(messages.shown[2].text, "The creation process of the database was completed!");
    EXPECT_EQ(flow.shown, std::vector<std::string>{"airport"});
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(window.statusText().text(), "");

    SettingsRecord record;
    SettingsValues values;
    ASSERT_TRUE(ReadSettings(state.SettingsFile(), record, values).ok);
    EXPECT_GT(record.airportCount, 1);
    EXPECT_NE(record.facilityDataFolder, "");
    const AirportDatabaseContent database =
        ReadAirportDatabase(state.DatabaseFile(), record.airportCount);
    EXPECT_EQ(database.recordsRead, record.airportCount + 1);
    EXPECT_EQ(database.problem, "");
}

TEST_F(BuilderWindowTest, ClosingBeforeTheEndWritesNothingAndEndsTheProgram) {
    BuilderWindow window(state, files, messages, flow);
    window.show();
    window.RunDiscoveryTick();
    window.createButton().click();
    window.RunBuildTick();
    window.close();
    EXPECT_FALSE(window.buildTimer().isActive());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"end"});
    EXPECT_FALSE(std::filesystem::exists(state.DatabaseFile()));
}

}  // namespace
}  // namespace scopewatch
