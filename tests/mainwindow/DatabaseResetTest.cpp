#include <gtest/gtest.h>

#include "mainwindow/DatabaseReset.h"
#include "platform/FileSystem.h"
#include "startup/Settings.h"
#include "startup/StartupCheck.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

// Deleting the database takes both files in any letter case and nothing else, so the next
// start runs set-up; missing files or folders, or a folder by a file's name, are no error.
TEST(DatabaseResetTest, DeletesBothFilesInEveryLetterCaseSoTheNextStartRunsSetupAndNeverFails) {
    testing::TempDir dir;
    dir.Write("ATC_SETTINGS.TCS", "settings");
    dir.Write("World_Airports.DAT", "database");
    dir.Write("world_airports.dat", "database");
    dir.Write("atc_settings.tcs.bak", "kept");
    dir.Write("airports.dat", "kept");
    dir.Write("sub/atc_settings.tcs", "kept");
    ASSERT_EQ(DetermineStartupCase(FileSystem(dir.path())), StartupCase::BothPresent);

    DeleteDatabaseFiles(dir.path());
    EXPECT_EQ(FileSystem(dir.path()).ListFiles("*"),
              (std::vector<std::string>{"airports.dat", "atc_settings.tcs.bak"}));
    EXPECT_TRUE(fs::exists(dir / "sub/atc_settings.tcs"));
    EXPECT_EQ(DetermineStartupCase(FileSystem(dir.path())), StartupCase::FirstRun);

    // One file gone already, no folder at all, or a folder by a file's name: no error.
    dir.Write("world_airports.dat", "database");
    DeleteDatabaseFiles(dir.path());
    EXPECT_FALSE(fs::exists(dir / "world_airports.dat"));
    DeleteDatabaseFiles(dir / "missing");
    fs::create_directory(dir / kSettingsFileName);
    DeleteDatabaseFiles(dir.path());
    EXPECT_TRUE(fs::is_directory(dir / kSettingsFileName));
}

}  // namespace
}  // namespace scopewatch
