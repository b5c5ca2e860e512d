#include <gtest/gtest.h>

#include "builder/AirportDatabaseFile.h"
#include "platform/FileSystem.h"
#include "shared/ProgramState.h"
#include "startup/StartupCheck.h"
#include "support/DyingWriter.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

const std::string kNoDatabase =
    "The database file is missing, so this program needs to create a new database file again.";
const std::string kNoSettings =
    "The settings file is missing, so this program needs to create a new settings file again.";

class StartupCheckTest : public ::testing::Test {
  protected:
    // Start-up afresh in the working directory.
    void Restart() {
        messages.shown.clear();
        flow.shown.clear();
        state = ProgramState{};
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

// The database, the settings file and the program's two data files ending with a write
// killed at every step of it; start-up then runs on what was left.
class InterruptedWriteTest : public StartupCheckTest {
  protected:
    // Runs the write in a child process that is killed at the step.
    template <typename Write>
    void KilledAt(AtomicWriteStep step, Write write) {
        EXPECT_EXIT(
            {
                testing::KillTheWriterAt(step);
                write();
            },
            ::testing::KilledBySignal(SIGKILL), "");
    }
    static std::vector<AirportRecord> Airports(const std::string& name, size_t count) {
        std::vector<AirportRecord> airports(count);
        for (AirportRecord& airport : airports) {
            airport.name = name;
        }
        return airports;
    }

    testing::WriteHookReset resetHook;
};

// A build ends by replacing the database and rewriting the settings with the new airport
// count. Killed before the rename, start-up reads the old files whole; after it, the new ones.
// Each round writes again over what the killed writers left beside the files.
TEST_F(InterruptedWriteTest, WritersKilledAtAnyStepLeaveWholeFiles) {
    for (const AtomicWriteStep step : testing::kEveryWriteStep) {
        WriteSettingsFile();
        ASSERT_EQ(WriteAirportDatabase(dir / kDatabaseFileName, Airports("Old", 2)), std::nullopt);
        KilledAt(step, [&] { WriteAirportDatabase(dir / kDatabaseFileName, Airports("New", 3)); });
        KilledAt(step, [&] { UpdateSettings(dir / kSettingsFileName, {1, 57, "C:\\FS2002", ""}); });
        Restart();
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(flow.shown, std::vector<std::string>{"airport"});
        const bool renamed = step == AtomicWriteStep::Renamed;
        EXPECT_EQ(state.settings.airportCount, renamed ? 57 : 42);
        const AirportDatabaseContent read =
            ReadAirportDatabase(dir / kDatabaseFileName, renamed ? 3 : 2);
        EXPECT_EQ(read.problem, "");
        EXPECT_EQ(read.recordsRead, renamed ? 4 : 3);  // the empty last record included
        EXPECT_EQ(read.records[0].name, renamed ? "New" : "Old");
    }
}

// The first write of either file killed before the rename leaves no file: start-up says so
// beside the other file and runs setup.
TEST_F(InterruptedWriteTest, AFirstWriteKilledIsAMissingFile) {
    dir.Write(kDatabaseFileName, "db");
    KilledAt(AtomicWriteStep::Synced, [&] {
        WriteSettings(dir / kSettingsFileName, {kSettingsHeader, 1, 1, 0, "C:\\FS2002", ""});
    });
    Restart();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kNoSettings});
    EXPECT_EQ(flow.shown, std::vector<std::string>{"setup"});

    WriteSettingsFile();
    KilledAt(AtomicWriteStep::HalfWritten,
             [&] { WriteAirportDatabase(dir / kDatabaseFileName, Airports("New", 3)); });
    Restart();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kNoDatabase});
    EXPECT_EQ(flow.shown, std::vector<std::string>{"setup"});
}

// A first run opens setup silently, looking in the working directory only, and is not
// connected. Settings without a database are deleted with a message, and so is a database
// without settings (the user's own files stay); setup runs again.
TEST_F(StartupCheckTest, FirstRunOrALoneFileOpensSetupDeletingTheLoneFileWithAMessage) {
    dir.Write("elsewhere/atc_settings.tcs", "x");
    dir.Write("elsewhere/world_airports.dat", "x");
    EXPECT_EQ(DetermineStartupCase(FileSystem(dir / "elsewhere")), StartupCase::BothPresent);
    state.isConnected = kTrue16;
    state.workDir = dir.path();
    RunStartupCheck(state, messages, files, flow);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"setup"});
    EXPECT_EQ(state.isConnected, kFalse16);

    WriteSettingsFile();
    dir.Write("mine.tcs", "unrelated");
    Restart();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].title, "Scopewatch Message");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[0].text, kNoDatabase);
    EXPECT_FALSE(fs::exists(dir / kSettingsFileName));
    EXPECT_TRUE(fs::exists(dir / "mine.tcs"));
    EXPECT_EQ(flow.shown, std::vector<std::string>{"setup"});

    dir.Write(kDatabaseFileName, "db");
    Restart();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kNoSettings});
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
