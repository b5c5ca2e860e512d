#include <gtest/gtest.h>

#include "mainwindow/DatabaseReset.h"
#include "platform/FileSystem.h"
#include "startup/Settings.h"
#include "startup/StartupCheck.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

std::vector<std::string> Names(const fs::path& folder) {
    return FileSystem(folder).ListFiles("*");
}

TEST(DatabaseResetTest, DeletesBothFilesInEveryLetterCaseSoTheNextStartRunsSetup) {
    testing::TempDir dir;
    dir.Write("ATC_SETTINGS.TCS", "settings");
    dir.Write("World_Airports.DAT", "database");
    dir.Write("world_airports.dat", "database");
    dir.Write("atc_settings.tcs.bak", "kept");
    dir.Write("airports.dat", "kept");
    dir.Write("sub/atc_settings.tcs", "kept");
    ASSERT_EQ(DetermineStartupCase(FileSystem(dir.path())), StartupCase::BothPresent);

    DeleteDatabaseFiles(dir.path());
    EXPECT_EQ(Names(dir.path()),
              (std::vector<std::string>{"airports.dat", "atc_settings.tcs.bak"}));
    EXPECT_TRUE(fs::exists(dir / "sub/atc_settings.tcs"));
    EXPECT_EQ(DetermineStartupCase(FileSystem(dir.path())), StartupCase::FirstRun);
}

TEST(DatabaseResetTest, FilesAlreadyGoneOrNoFolderAtAllAreNoError) {
    testing::TempDir dir;
    dir.Write("world_airports.dat", "database");  // the settings file is gone already
    DeleteDatabaseFiles(dir.path());
    EXPECT_TRUE(Names(dir.path()).empty());

    DeleteDatabaseFiles(dir.path());
    DeleteDatabaseFiles(dir / "missing");
    fs::create_directory(dir / kSettingsFileName);  // not a file: left alone, no error
    DeleteDatabaseFiles(dir.path());
    EXPECT_TRUE(fs::is_directory(dir / kSettingsFileName));
}

}  // namespace
}  // namespace scopewatch
