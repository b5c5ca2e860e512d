#include <gtest/gtest.h>

#include "airport/ui/AirportWindow.h"
#include "app/AppWindows.h"
#include "builder/ui/BuilderWindow.h"
#include "demo/DemoSimulator.h"
#include "multiplayer/InMemorySession.h"
#include "multiplayer/ui/ConnectionDialog.h"
#include "platform/FileSystem.h"
#include "shared/ProgramState.h"
#include "shared/TimerClock.h"
#include "startup/StartupCheck.h"
#include "startup/ui/SetupDialog.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

// A first run from an empty working directory: setup with the demo simulator folder, the
// database build, the airport window, a search and the take-over of Eldorado Intl.
TEST(AppWindowsFirstRunTest, SetupBuildSearchAndTakeOverFromAnEmptyWorkingDirectory) {
    testing::TempDir dir;
    demo::WriteDemoSimulator(dir / "demo-sim");
    std::filesystem::create_directories(dir / "run");
    ProgramState state;
    state.workDir = dir / "run";
    FileSystem files(state.workDir, {{"C:\\", DriveType::Fixed, std::string("C"), "/"}});
    testing::ScriptedMessageBoxes messages;
    InMemorySession session;
    const TimerClock clock;
    AppWindows windows(state, messages, files, session, clock);

    RunStartupCheck(state, messages, files, windows);
    ASSERT_NE(windows.setupDialog(), nullptr);
    windows.setupDialog()->folderText().setText(
        QString::fromStdString((dir / "demo-sim").string()));
    windows.setupDialog()->nextButton().click();

    BuilderWindow* builder = windows.builderWindow();
    ASSERT_NE(builder, nullptr);
    builder->RunDiscoveryTick();
    builder->createButton().click();
    for (int tick = 0; builder->buildTimer().isActive() && tick < 200; ++tick) {
        builder->RunBuildTick();
    }

    AirportWindow* airport = windows.airportWindow();
    ASSERT_NE(airport, nullptr);
    EXPECT_TRUE(files.IsFile(kDatabaseFileName));
    airport->RunLoadingTick();
    EXPECT_EQ(airport->statusText().text(), "Done");
    airport->searchText().setText("intl");
    airport->searchButton().click();
    const auto found =
        airport->resultList().findItems("Eldorado Intl   Index: ", Qt::MatchStartsWith);
    ASSERT_EQ(found.size(), 1);
    EXPECT_GT(airport->resultList().count(), 1);
    airport->resultList().setCurrentItem(found.front());
    airport->getAirportButton().click();

    EXPECT_EQ(state.airport.currentAirport.name, "Eldorado Intl");
    EXPECT_EQ(state.airport.currentAirport.icaoId, "KELD");
    EXPECT_GT(state.airport.currentAirport.runwayCount(), 1);
    EXPECT_TRUE(state.airport.airportList.empty());
    ASSERT_NE(windows.connectionDialog(), nullptr);
    EXPECT_TRUE(windows.connectionDialog()->isVisible());
    EXPECT_FALSE(windows.ended());
}

}  // namespace
}  // namespace scopewatch
