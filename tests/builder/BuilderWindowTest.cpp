#include <gtest/gtest.h>

#include <tuple>

#include "builder/AirportDatabaseFile.h"
#include "builder/ui/BuilderWindow.h"
#include "demo/DemoSimulator.h"
#include "platform/FileSystem.h"
#include "state/ProgramState.h"
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
// leaves every airport of the required areas in the database, the large one complete.
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
    const AirportRecord eldorado = ReadAirportDatabase(state.DatabaseFile(), 15).records[0];
    EXPECT_EQ(eldorado.name + " " + eldorado.icaoId + " " + eldorado.towerFreq,
              "Eldorado Intl KELD 118.3");
    std::vector<std::string> runways;
    for (const RunwayRecord& runway : eldorado.runways) {
        runways.push_back(runway.primaryName + "/" + runway.secondaryName + " " +
                          std::to_string(runway.primaryMagHeading) + "/" +
                          std::to_string(runway.secondaryMagHeading));
    }
    EXPECT_EQ(runways, (std::vector<std::string>{"18L/36R 178/358", "18C/36C 178/358",
                                                 "18R/36L 178/358", "9/27 88/268"}));
    const scenery::BglAirport& written = demo::DemoLargeAirport();
    EXPECT_EQ(std::tuple(eldorado.ilsCount(), eldorado.taxiPoints.size(), eldorado.parkings.size(),
                         eldorado.taxiSegments.size()),
              std::tuple(6, written.taxiPoints.size(), written.parkings.size(),
                         written.taxiSegments.size()));
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
