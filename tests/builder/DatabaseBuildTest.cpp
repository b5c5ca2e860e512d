#include <gtest/gtest.h>

#include <QString>
#include <csignal>

#include "builder/AirportDatabaseFile.h"
#include "builder/DatabaseBuild.h"
#include "demo/DemoSimulator.h"
#include "scenerywriter/BglWriter.h"
#include "scenerywriter/MagdecWriter.h"
#include "startup/Settings.h"
#include "startup/Setup.h"
#include "startup/StartupCheck.h"
#include "state/ProgramState.h"
#include "support/AirportText.h"
#include "support/DyingWriter.h"
#include "support/Golden.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

scenery::BglAirport Airport(const std::string& name, double latitude) {
    return {name, "K" + name.substr(0, 3), latitude, -92.8, 0.0, {}, {}, {}, {}, {}, {}};
}

// A simulator folder on drive C: (a folder of the temporary directory) and the second CD in
// drive D:, each with their scenery files, and a working directory holding fresh settings.
class DatabaseBuildTest : public ::testing::Test {
  protected:
    DatabaseBuildTest()
        : files(dir / "work", {{"C:\\", DriveType::Fixed, std::string("SYSTEM"), dir / "c"},
                               {"D:\\", DriveType::CdRom, std::string("FS2002_DISK2"), dir / "cd"},
                               {"E:\\", DriveType::CdRom, std::nullopt, dir / "nothing"}}) {
        std::filesystem::create_directories(dir / "work");
        state.workDir = dir / "work";
        state.settings = {1, 0, "C:\\Fs2002", ""};
        WriteSettings(state.SettingsFile(), {kSettingsHeader, 1, 1, 0, "C:\\Fs2002", ""});
        dir.Write("c/FS2002/Scenery/magdec.bgl",
                  scenery::BuildMagdecBgl([](int, int) { return int16_t{910}; }));
    }

    testing::TempDir dir;
    FileSystem files;
    ProgramState state;
    testing::ScriptedMessageBoxes messages;
};

// Discovery loads the grid, reads every airport area of scenery.cfg (whatever the letter case,
// asking for the CD one needs) and finds the facility data folder; the steps then read each
// scenery file, report a short one, and the end writes the database and completes the settings.
// A later build that finds no airports writes an empty database over it.
TEST_F(DatabaseBuildTest, BuildsTheDatabaseFromEveryAirportAreaThenAnEmptyOneOverIt) {
    dir.Write("c/FS2002/scenery.cfg",
              "[General]\nTitle=FS2002 World\n"
              "[Area.001]\nTitle=Airport and Facilities Data\nLocal=Scenery\\World\nRequired=TRUE\n"
              "[AREA.002]\nTitle=Default Terrain\nLocal=Scenery\\Terrain\nRequired=TRUE\n"
              "[area.003]\nTitle=airport and facilities data\nRemote=[FS2002_DISK2]\\Scenery\\Cd\n"
              "Local=[FS2002_DISK2]\\Scenery\\Cd\nRequired=True\n"
              "[Area.004]\nTitle=Additional Facility Data\nLocal=Scenery\\Afd\nRequired=TRUE\n"
              "[Area.005]\nTitle=Airport and Facilities Data\nLocal=\nRequired=TRUE\n");
    dir.Write("c/FS2002/Scenery/World/scenery/AP1.BGL",
              scenery::BuildAirportBgl({Airport("Camden Intl", 33.5), Airport("Alpha", 34.0)}));
    dir.Write("c/FS2002/Scenery/World/scenery/short.bgl", std::vector<uint8_t>(121, 0));
    dir.Write("c/FS2002/Scenery/World/scenery/terrain.bgl", std::vector<uint8_t>(400, 7));
    dir.Write("c/FS2002/Scenery/Terrain/scenery/ignored.bgl",
              scenery::BuildAirportBgl({Airport("Never", 30.0)}));
    dir.Write("cd/scenery/cd/scenery/cd1.bgl", scenery::BuildAirportBgl({Airport("Ozark", 36.0)}));

    std::vector<std::string> statuses;
    DatabaseBuild build(
        state, state.airport, files, messages,
        [&statuses](const std::string& text) { statuses.push_back(text); }, 8);
    const DiscoveryResult found = build.Discover();
    EXPECT_EQ(found.magVar, MagVarLoadResult::Loaded);
    EXPECT_EQ(state.airport.magVarGrid.values[100], 910);
    EXPECT_EQ(std::pair(found.areaCount, found.bglFileCount), std::pair(5, 4));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kInsertCdText});
    EXPECT_EQ(build.areas()[2].local, "d:\\scenery\\cd\\scenery");
    EXPECT_EQ(statuses, (std::vector<std::string>{"Magdec.bgl File", "Scenery.cfg File",
                                                  "Getting ATC Folder...", "Done"}));

    int steps = 0;
    while (build.Step()) {
        ++steps;
    }
    // Four files, one step past each of the two listings, one step for each other area.
    EXPECT_EQ(steps, 4 + 2 + 3 - 1);
    ASSERT_EQ(build.problems().size(), 1u);
    EXPECT_NE(build.problems()[0].find("short.bgl: shorter than 122 bytes"), std::string::npos);

    ASSERT_TRUE(build.Finish().ok());
    EXPECT_EQ(state.settings.airportCount, 3);
    SettingsRecord record;
    SettingsValues values;
    ASSERT_TRUE(ReadSettings(state.SettingsFile(), record, values).ok());
    EXPECT_EQ(record, (SettingsRecord{kSettingsHeader, 1, 1, 3, "C:\\Fs2002",
                                      "C:\\Fs2002\\scenery\\afd\\scenery"}));
    EXPECT_EQ(state.settings.facilityDataFolder, record.facilityDataFolder);
    const AirportDatabaseContent database = ReadAirportDatabase(state.DatabaseFile(), 3);
    EXPECT_EQ(database.recordsRead, 4);
    EXPECT_EQ(database.records[2].name, "Ozark");
    EXPECT_EQ(database.records[3], AirportRecord{});

    // Another simulator version reads no areas; a build that finds no airports writes an
    // empty database over the older one.
    dir.Write("c/FS2002/scenery.cfg",
              "[Area.001]\nTitle=Airport and Facilities Data\nLocal=Empty\nRequired=TRUE\n");
    state.settings.simVersion = 0;
    DatabaseBuild other(state, state.airport, files, messages);
    EXPECT_EQ(other.Discover().areaCount, 0);
    EXPECT_FALSE(other.HasWork());
    state.settings.simVersion = 1;
    DatabaseBuild empty(state, state.airport, files, messages);
    EXPECT_EQ(empty.Discover().areaCount, 1);
    while (empty.Step()) {
    }
    ASSERT_TRUE(empty.Finish().ok());
    EXPECT_EQ(state.settings.airportCount, 0);
    EXPECT_TRUE(testing::ReadBytes(state.DatabaseFile()).empty());
}

// The demo simulator in folders with accents, one of them a Wine prefix under a user name
// with one, typed into setup as Linux paths: every scenery file is read, by 1, 2 and 8
// workers, into the same database bytes, which hold the demo airports whole.
TEST(DatabaseBuildFoldersTest, SimulatorFoldersWithAccentsFindEveryAirportWithAnyWorkers) {
    testing::TempDir dir;
    std::vector<std::vector<uint8_t>> databases;
    for (const auto& [folder, threads] : std::vector<std::pair<std::string, int>>{
             {"nonascii/Fl\u00fcge/sim", 1},
             {"Biblioth\u00e8que/FS2002", 2},
             {"home/jos\u00e9/.wine/drive_c/Program Files/FS2002", 8}}) {
        SCOPED_TRACE(folder);
        demo::WriteDemoSimulator(dir / folder);
        ProgramState state;
        state.workDir = dir / (folder + "-work");
        std::filesystem::create_directories(state.workDir);
        const FileSystem files(state.workDir, {{"C:\\", DriveType::Fixed, std::string(), "/"}});
        testing::ScriptedMessageBoxes messages;
        ASSERT_TRUE(
            ConfirmTypedSetup(state, messages, QString::fromUtf8((dir / folder).string()), true));
        DatabaseBuild build(state, state.airport, files, messages, {}, threads);
        EXPECT_EQ(build.Discover().magVar, MagVarLoadResult::Loaded);
        while (build.Step()) {
        }
        for (const std::string& problem : build.problems()) {
            EXPECT_EQ(problem.find("cannot be read"), std::string::npos) << problem;
        }
        EXPECT_EQ(state.settings.airportCount, 15);
        ASSERT_TRUE(build.Finish().ok());
        databases.push_back(testing::ReadBytes(state.DatabaseFile()));
        EXPECT_EQ(databases.back(), databases.front());
    }
    std::string text;
    for (const AirportRecord& airport : DecodeAirportDatabase(databases[0], 15).records) {
        text += testing::AirportText(airport);
    }
    testing::ExpectTextMatchesGolden(text, "builder/demo-database.txt",
                                     "the database built from the demo simulator folder");
}

// The database, the settings file and the program's two data files ending with a write
// killed at every step of it; start-up then runs on what was left.
class InterruptedWriteTest : public ::testing::Test {
  protected:
    // Runs the write in a child process that is killed at the step.
    template <typename Write>
    void KilledAt(AtomicWriteStep step, Write write) {
        EXPECT_EXIT({ write(testing::KillTheWriterAt(step)); }, ::testing::KilledBySignal(SIGKILL),
                    "");
    }
    static std::vector<AirportRecord> Airports(const std::string& name, size_t count) {
        std::vector<AirportRecord> airports(count);
        for (AirportRecord& airport : airports) {
            airport.name = name;
        }
        return airports;
    }

    // Start-up afresh in the working directory.
    void Restart() {
        messages.shown.clear();
        flow.shown.clear();
        state = ProgramState{};
        state.workDir = dir.path();
        RunStartupCheck(state, state, messages, files, flow);
    }
    void WriteSettingsFile() {
        ASSERT_TRUE(WriteSettings(dir / kSettingsFileName,
                                  {kSettingsHeader, 1, 1, 42, "C:\\FS2002", "C:\\FS2002\\afd"})
                        .ok());
    }

    testing::TempDir dir;
    FileSystem files{dir.path()};
    ProgramState state;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
};

// A build ends by replacing the database and rewriting the settings with the new airport
// count. Killed before the rename, start-up reads the old files whole; after it, the new ones.
// Start-up removes the ".partial" files the killed writers left beside them.
TEST_F(InterruptedWriteTest, WritersKilledAtAnyStepLeaveWholeFiles) {
    for (const AtomicWriteStep step : testing::kEveryWriteStep) {
        WriteSettingsFile();
        ASSERT_TRUE(WriteAirportDatabase(dir / kDatabaseFileName, Airports("Old", 2)).ok());
        KilledAt(step, [&](const AtomicWriteHook& dying) {
            WriteAirportDatabase(dir / kDatabaseFileName, Airports("New", 3), dying);
        });
        KilledAt(step, [&](const AtomicWriteHook& dying) {
            UpdateSettings(dir / kSettingsFileName, {1, 57, "C:\\FS2002", ""}, dying);
        });
        const bool renamed = step == AtomicWriteStep::Renamed;
        EXPECT_EQ(files.ListFiles("*.partial").size(), renamed ? 0u : 2u);
        Restart();
        EXPECT_TRUE(files.ListFiles("*.partial").empty());
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(flow.shown, std::vector<std::string>{"airport"});
        EXPECT_EQ(state.settings.airportCount, renamed ? 57 : 42);
        const AirportDatabaseContent read =
            ReadAirportDatabase(dir / kDatabaseFileName, renamed ? 3 : 2);
        EXPECT_EQ(read.problem, "");
        EXPECT_EQ(read.recordsRead, renamed ? 4 : 3);  // the empty last record included
        EXPECT_EQ(read.records[0].name, renamed ? "New" : "Old");
    }
}

}  // namespace
}  // namespace scopewatch
