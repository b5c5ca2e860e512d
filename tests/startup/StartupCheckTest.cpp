#include <gtest/gtest.h>

#include "model/SessionState.h"
#include "platform/FileSystem.h"
#include "startup/Settings.h"
#include "startup/StartupCheck.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

class StartupCheckTest : public ::testing::Test {
  protected:
    // Start-up afresh in the working directory.
    void Restart() {
        messages.shown.clear();
        flow.shown.clear();
        state = {};
        session = {};
        state.workDir = dir.path();
        RunStartupCheck(state, session, messages, files, flow);
    }
    void WriteSettingsFile() {
        ASSERT_TRUE(WriteSettings(dir / kSettingsFileName,
                                  {kSettingsHeader, 1, 1, 42, "C:\\FS2002", "C:\\FS2002\\afd"})
                        .ok());
    }

    testing::TempDir dir;
    FileSystem files{dir.path()};
    SettingsState state;
    SessionState session;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
};

// A first run opens setup silently, looking in the working directory only, and is not
// connected. Settings without a database are deleted with a message, and so is a database
// without settings (the user's own files stay); setup runs again.
TEST_F(StartupCheckTest, FirstRunOrALoneFileOpensSetupDeletingTheLoneFileWithAMessage) {
    dir.Write("elsewhere/atc_settings.tcs", "x");
    dir.Write("elsewhere/world_airports.dat", "x");
    EXPECT_EQ(DetermineStartupCase(FileSystem(dir / "elsewhere")), StartupCase::BothPresent);
    session.isConnected = kTrue16;
    state.workDir = dir.path();
    RunStartupCheck(state, session, messages, files, flow);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"setup"});
    EXPECT_EQ(session.isConnected, kFalse16);

    WriteSettingsFile();
    dir.Write("mine.tcs", "unrelated");
    Restart();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].title, "Scopewatch Message");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[0].text, kDatabaseMissingText);
    EXPECT_FALSE(fs::exists(dir / kSettingsFileName));
    EXPECT_TRUE(fs::exists(dir / "mine.tcs"));
    EXPECT_EQ(flow.shown, std::vector<std::string>{"setup"});

    dir.Write(kDatabaseFileName, "db");
    Restart();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kSettingsMissingText});
    EXPECT_FALSE(fs::exists(dir / kDatabaseFileName));
    EXPECT_EQ(flow.shown, std::vector<std::string>{"setup"});
}

// With both files the settings are read (found regardless of letter case, and read under the
// name they were found by) and the airport window opens. Damaged settings are reported and
// deleted, the database kept, and setup runs again.
TEST_F(StartupCheckTest, BothFilesReadTheSettingsOrReportDamagedOnes) {
    WriteSettingsFile();
    fs::rename(dir / kSettingsFileName, dir / "ATC_Settings.TCS");
    dir.Write(kDatabaseFileName, "db");
    Restart();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"airport"});
    EXPECT_EQ(std::tuple(state.settings.simFolder, state.settings.facilityDataFolder,
                         state.settings.simVersion, state.settings.airportCount),
              std::tuple("C:\\FS2002", "C:\\FS2002\\afd", uint8_t{1}, 42));

    fs::remove(dir / "ATC_Settings.TCS");
    dir.Write(kSettingsFileName, std::vector<uint8_t>{22, 0, 'S', 'c'});
    Restart();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_NE(messages.shown[0].text.find("The settings file is damaged"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / kSettingsFileName));
    EXPECT_TRUE(fs::exists(dir / kDatabaseFileName));
    EXPECT_EQ(flow.shown, std::vector<std::string>{"setup"});
}

}  // namespace
}  // namespace scopewatch
