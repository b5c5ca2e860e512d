#include <gtest/gtest.h>

#include "builder/AirportDatabaseFile.h"
#include "builder/ui/BuilderWindow.h"
#include "demo/DemoSimulator.h"
#include "platform/FileSystem.h"
#include "startup/Settings.h"
#include "state/ProgramState.h"
#include "support/AirportText.h"
#include "support/Golden.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

// The demo simulator folder, and a working directory holding the settings setup wrote.
class BuilderWindowTest : public ::testing::Test {
  protected:
    BuilderWindowTest() : files(dir / "work", {{"C:\\", DriveType::Fixed, std::string("C"), "/"}}) {
        demo::WriteDemoSimulator(dir / "sim");
        std::filesystem::create_directories(dir / "work");
        state.workDir = dir / "work";
        state.settings = {1, 0, (dir / "sim").string(), ""};
        WriteSettings(state.SettingsFile(), {kSettingsHeader, 1, 1, 0, (dir / "sim").string(), ""});
        window = std::make_unique<BuilderWindow>(state, files, messages, flow);
        window->show();
    }

    testing::TempDir dir;
    FileSystem files;
    ProgramState state;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
    std::unique_ptr<BuilderWindow> window;
};

// Discovery runs a second after opening and enables the button; the build then takes one file
// per tick with the button off, ends with a message, hands over to the airport window and
// leaves every airport of the required areas in the database, whole (as the folder build).
TEST_F(BuilderWindowTest, DiscoversThenBuildsOneFilePerTickAndHandsOver) {
    EXPECT_EQ(window->discoveryTimer().interval(), 1000);
    EXPECT_TRUE(window->discoveryTimer().isActive());
    EXPECT_FALSE(window->createButton().isEnabled());
    window->RunDiscoveryTick();
    EXPECT_FALSE(window->discoveryTimer().isActive());
    EXPECT_TRUE(window->createButton().isEnabled());
    EXPECT_EQ(window->statusText().text(), "Done");
    const int files = window->build().bglFileCount();
    EXPECT_EQ(files, 6);  // five airport files and one without the marker
    EXPECT_EQ(window->progressBar().maximum(), files + 1);

    window->createButton().click();
    EXPECT_EQ(window->buildTimer().interval(), 5);
    for (int tick = 0; window->buildTimer().isActive() && tick < 200; ++tick) {
        window->RunBuildTick();
        EXPECT_FALSE(window->createButton().isEnabled() && window->buildTimer().isActive());
    }
    EXPECT_EQ(window->build().filesExamined(), files);
    EXPECT_TRUE(window->build().problems().empty()) << window->build().problems()[0];
    ASSERT_EQ(messages.shown.size(), 3u);  // the CD, the start and the end of the build
    EXPECT_EQ(messages.shown[2].title + ": " + messages.shown[2].text,
              "Scopewatch v1.0: The creation process of the database was completed!");
    EXPECT_EQ(flow.shown, std::vector<std::string>{"airport"});
    EXPECT_TRUE(window->isHidden());
    EXPECT_EQ(window->statusText().text(), "");

    EXPECT_EQ(state.settings.airportCount, 15);  // Ghost Field's area is not required
    std::string text;
    for (const AirportRecord& airport : ReadAirportDatabase(state.DatabaseFile(), 15).records) {
        text += testing::AirportText(airport);
    }
    testing::ExpectTextMatchesGolden(text, "builder/demo-database.txt",
                                     "the database built from the demo simulator folder");
}

// Closing the window during the build stops it, writes no database and ends the program.
TEST_F(BuilderWindowTest, ClosingBeforeTheEndWritesNothingAndEndsTheProgram) {
    window->RunDiscoveryTick();
    window->createButton().click();
    window->RunBuildTick();
    window->close();
    EXPECT_FALSE(window->buildTimer().isActive());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"end"});
    EXPECT_FALSE(std::filesystem::exists(state.DatabaseFile()));
}

}  // namespace
}  // namespace scopewatch
