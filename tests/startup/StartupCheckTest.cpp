#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "shared/ProgramState.h"
#include "startup/StartupCheck.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

class StartupCheckTest : public ::testing::Test {
  protected:
    void Run() {
        state.workDir = dir.path();
        RunStartupCheck(state, messages, files, flow);
    }
    void WriteSettingsFile() {
        ASSERT_TRUE(WriteSettings(dir / kSettingsFileName,
                                  {kSettingsHeader, 1, 1, 42, "C:\\FS2002", "C:\\FS2002\\afd"})
                        .ok);
    }

    testing::TempDir dir;
    FileSystem files{dir.path()};
    ProgramState state;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
};

TEST_F(StartupCheckTest, FirstRunOpensSetupSilentlyLookingInTheWorkingDirectoryOnly) {
    dir.Write("elsewhere/atc_settings.tcs", "x");
    dir.Write("elsewhere/world_airports.dat", "x");
    EXPECT_EQ(DetermineStartupCase(FileSystem(dir / "elsewhere")), StartupCase::BothPresent);
    state.isConnected = kTrue16;
    Run();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"setup"});
    EXPECT_EQ(state.isConnected, kFalse16);
}

// Settings without a database delete the settings; a database without settings is deleted.
TEST_F(StartupCheckTest, ALoneFileIsDeletedWithAMessageAndSetupRunsAgain) {
    WriteSettingsFile();
    dir.Write("mine.tcs", "unrelated");
    Run();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].title, "Scopewatch Message");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[0].text,
              "The database file is missing, so this program needs to create a new database "
              "file again.");
    EXPECT_FALSE(fs::exists(dir / kSettingsFileName));
    EXPECT_TRUE(fs::exists(dir / "mine.tcs"));

    dir.Write(kDatabaseFileName, "db");
    Run();
    ASSERT_EQ(messages.shown.size(), 2U);
    EXPECT_EQ(messages.shown[1].text,
              "The settings file is missing, so this program needs to create a new settings file "
              "again.");
    EXPECT_FALSE(fs::exists(dir / kDatabaseFileName));
    EXPECT_EQ(flow.shown, (std::vector<std::string>{"setup", "setup"}));
}

TEST_F(StartupCheckTest, BothFilesReadTheSettingsAndOpenTheAirportWindow) {
    WriteSettingsFile();
    // Found regardless of letter case, and read under the name it was found by.
    fs::rename(dir / kSettingsFileName, dir / "ATC_Settings.TCS");
    dir.Write(kDatabaseFileName, "db");
    Run();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"airport"});
    EXPECT_EQ(state.settings.simFolder, "C:\\FS2002");
    EXPECT_EQ(state.settings.facilityDataFolder, "C:\\FS2002\\afd");
    EXPECT_EQ(state.settings.simVersion, 1);
    EXPECT_EQ(state.settings.airportCount, 42);
}

TEST_F(StartupCheckTest, DamagedSettingsAreReportedAndSetupRunsAgain) {
    dir.Write(kSettingsFileName, std::vector<uint8_t>{22, 0, 'S', 'c'});
    dir.Write(kDatabaseFileName, "db");
    Run();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_NE(messages.shown[0].text.find("The settings file is damaged"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / kSettingsFileName));
    EXPECT_TRUE(fs::exists(dir / kDatabaseFileName));
    EXPECT_EQ(flow.shown, std::vector<std::string>{"setup"});
}

}  // namespace
}  // namespace scopewatch
