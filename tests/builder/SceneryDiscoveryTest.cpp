#include <gtest/gtest.h>

#include "builder/SceneryDiscovery.h"

namespace scopewatch {
namespace {

const std::vector<Drive> kDrives = {
    {"C:\\", DriveType::Fixed, std::string("SYSTEM"), "/"},
    {"D:\\", DriveType::CdRom, std::string("FS2002_DISK2"), "/media/cd"},
    {"E:\\", DriveType::CdRom, std::nullopt, "/media/empty"},
    {"F:\\", DriveType::Network, std::string("SHARE"), "/mnt/share"}};

// Area headers in any letter case open areas in file order, with either line end; spaces
// around "=" hide a key; a key's value keeps its text and is found inside longer keys too.
// Reading takes time in proportion to the text: twenty thousand areas are read at once.
TEST(SceneryDiscoveryTest, AreaHeadersInAnyLetterCaseOpenAreasAndKeysAreFoundInLongerOnes) {
    const std::vector<SceneryArea> areas = ParseSceneryCfg(
        "[General]\r\nTitle=FS2002 World Scenery\r\n\r\n"
        "[Area.001]\r\nTitle=Default Terrain\r\nLocal=Scenery\\World\r\nRequired=TRUE\r\n\r\n"
        "[AREA.002]\nTitle=Airport and Facilities Data\nTexture_ID=2\nActive=TRUE\n"
        "Layer=2\nRequired=true\nRemote=D:\\Scenery\nLocal=Scenery\\Afd\n"
        "[area.003]\r\nTitle = Spaced\r\nLocal=Addon\r\n");
    ASSERT_EQ(areas.size(), 3u);
    EXPECT_EQ(areas[0].title + "|" + areas[0].local, "Default Terrain|Scenery\\World");
    EXPECT_EQ(areas[1], (SceneryArea{"Airport and Facilities Data", "2", "TRUE", "2", "true",
                                     "D:\\Scenery", "Scenery\\Afd"}));
    EXPECT_TRUE(IsAirportArea(areas[1]));
    EXPECT_EQ(areas[2].title + "|" + areas[2].local, "|Addon");
    EXPECT_TRUE(NeedsSimulatorCd(areas));

    EXPECT_EQ(GetKeyValue("[Area.1]\r\nSubTitle=Sub\r\nTitle=Main\r\n", "Title"), "Sub");
    EXPECT_EQ(GetKeyValue("[Area.1]\r\nTITLE=  Mixed Case  \r\n", "title"), "  Mixed Case  ");
    EXPECT_EQ(GetKeyValue("Local=last line without end", "Local"), "last line without end");

    std::string world = "[General]\r\nTitle=FS2002 World Scenery\r\n";
    for (int i = 1; i <= 20000; ++i) {
        const std::string n = std::to_string(i);
        world += "[Area." + n + "]\r\nTitle=Area " + n + "\r\nLocal=Scenery\\" + n + "\r\n";
    }
    const std::vector<SceneryArea> many = ParseSceneryCfg(world);
    ASSERT_EQ(many.size(), 20000u);
    EXPECT_EQ(many[9999].title + "|" + many.back().local, "Area 10000|Scenery\\20000");
}

// Relative folders lie in the simulator folder, absolute ones on their drive (a network drive
// is not one a path may name); a bracketed volume label becomes the drive carrying it, and one
// no readable drive carries stays as text. The last required facility data area gives the
// facility data folder.
TEST(SceneryDiscoveryTest, SceneryFoldersResolveAndTheLastFacilityDataAreaGivesItsFolder) {
    for (const auto& [local, resolved] : std::vector<std::pair<std::string, std::string>>{
             {"Scenery\\World", "C:\\Fs2002\\scenery\\world\\scenery"},
             {"C:\\Addons\\MyAirport", "c:\\addons\\myairport\\scenery"},
             {"c:\\fs2002\\SCENERY", "c:\\fs2002\\SCENERY"},
             {"", ""},
             {"F:\\Shared", "C:\\Fs2002\\f:\\shared\\scenery"},
             {"[FS2002_Disk2]\\Scenery\\Cities", "d:\\scenery\\cities\\scenery"},
             {"[OTHER]\\X", "C:\\Fs2002\\[other]\\x\\scenery"}}) {
        std::vector<SceneryArea> areas(1);
        areas[0].local = local;
        ResolveAreaPaths(areas, "C:\\Fs2002", kDrives);
        EXPECT_EQ(areas[0].local, resolved) << local;
    }

    std::vector<SceneryArea> areas = ParseSceneryCfg(
        "[Area.001]\nTitle=Additional Facility Data\nRequired=TRUE\nLocal=Scenery\\First\n"
        "[Area.002]\nTitle=Additional Facility Data\nRequired=False\nLocal=Scenery\\Skipped\n"
        "[Area.003]\nTitle=ADDITIONAL FACILITY DATA\nRequired=True\nLocal=Scenery\\Second\n");
    ResolveAreaPaths(areas, "C:\\Fs2002", kDrives);
    EXPECT_EQ(FacilityDataFolderOf(areas, ""), "C:\\Fs2002\\scenery\\second\\scenery");
    EXPECT_EQ(FacilityDataFolderOf({}, "kept"), "kept");
}

}  // namespace
}  // namespace scopewatch
