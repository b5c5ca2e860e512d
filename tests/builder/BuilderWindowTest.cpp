#include <gtest/gtest.h>

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

TEST_F(BuilderWindowTest, DiscoversThenBuildsOneFilePerTickAndHandsOver) {
    EXPECT_EQ(window->discoveryTimer().interval(), 1000);
    EXPECT_TRUE(window->discoveryTimer().isActive());
    window->RunDiscoveryTick();
    EXPECT_FALSE(window->discoveryTimer().isActive());
    EXPECT_EQ(window->statusText().text(), "Done");
    const int files = window->build().bglFileCount();
    EXPECT_EQ(window->progressBar().maximum(), files + 1);

    window->createButton().click();
    EXPECT_EQ(window->buildTimer().interval(), 5);
    for (int tick = 0; window->buildTimer().isActive() && tick < 200; ++tick) {
        window->RunBuildTick();
        EXPECT_FALSE(window->createButton().isEnabled() && window->buildTimer().isActive());
    }
    EXPECT_EQ(window->build().filesExamined(), files);
    ASSERT_EQ(messages.shown.size(), 3u);  // the CD, the start and the end of the build
    EXPECT_EQ(messages.shown[2].title, "Scopewatch v1.0");
    EXPECT_EQ(messages.shown[2].text, "The creation process of the database was completed!");
    EXPECT_EQ(flow.shown, std::vector<std::string>{"airport"});
    EXPECT_TRUE(window->isHidden());
    EXPECT_EQ(window->statusText().text(), "");
    EXPECT_TRUE(std::filesystem::exists(state.DatabaseFile()));
}

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
