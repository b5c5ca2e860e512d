#include <gtest/gtest.h>

#include "builder/SceneryDiscovery.h"

namespace scopewatch {
namespace {

const std::string kSimFolder = "C:\\Fs2002";

std::vector<Drive> Drives() {
    return {{"C:\\", DriveType::Fixed, std::string("SYSTEM"), "/"},
            {"D:\\", DriveType::CdRom, std::string("FS2002_DISK2"), "/media/cd"},
            {"E:\\", DriveType::CdRom, std::nullopt, "/media/empty"},
            {"F:\\", DriveType::Network, std::string("SHARE"), "/mnt/share"}};
}

std::string ResolvedLocal(const std::string& local) {
    std::vector<SceneryArea> areas(1);
    areas[0].local = local;
    ResolveAreaPaths(areas, kSimFolder, Drives());
    return areas[0].local;
}

TEST(SceneryDiscoveryTest, AreaHeadersInAnyLetterCaseOpenAreasInFileOrder) {
    const std::string cfg =
        "[General]\r\nTitle=FS2002 World Scenery\r\n\r\n"
        "[Area.001]\r\nTitle=Default Terrain\r\nLocal=Scenery\\World\r\n"
        "Required=TRUE\r\n\r\n"
        "[AREA.002]\nTitle=Airport and Facilities Data\nTexture_ID=2\nActive=TRUE\n"
        "Layer=2\nRequired=true\nRemote=D:\\Scenery\nLocal=Scenery\\Afd\n"
        "[area.003]\r\nTitle = Spaced\r\nLocal=Addon\r\n";
    const std::vector<SceneryArea> areas = ParseSceneryCfg(cfg);
    ASSERT_EQ(areas.size(), 3u);
    EXPECT_EQ(areas[0].title, "Default Terrain");
    EXPECT_EQ(areas[0].local, "Scenery\\World");
    EXPECT_EQ(areas[1], (SceneryArea{"Airport and Facilities Data", "2", "TRUE", "2", "true",
                                     "D:\\Scenery", "Scenery\\Afd"}));
    EXPECT_TRUE(IsAirportArea(areas[1]));
    // Spaces around "=" hide the key: the title is empty.
    EXPECT_EQ(areas[2].title, "");
    EXPECT_EQ(areas[2].local, "Addon");
    EXPECT_TRUE(NeedsSimulatorCd(areas));
}

TEST(SceneryDiscoveryTest, KeyValuesKeepTheirTextAndAreFoundInsideLongerKeys) {
    EXPECT_EQ(GetKeyValue("[Area.1]\r\nSubTitle=Sub\r\nTitle=Main\r\n", "Title"), "Sub");
    EXPECT_EQ(GetKeyValue("[Area.1]\r\nTITLE=  Mixed Case  \r\n", "title"), "  Mixed Case  ");
    EXPECT_EQ(GetKeyValue("Local=last line without end", "Local"), "last line without end");
}

TEST(SceneryDiscoveryTest, RelativeAbsoluteSimulatorAndVolumeLabelSceneryFolders) {
    EXPECT_EQ(ResolvedLocal("Scenery\\World"), "C:\\Fs2002\\scenery\\world\\scenery");
    EXPECT_EQ(ResolvedLocal("C:\\Addons\\MyAirport"), "c:\\addons\\myairport\\scenery");
    EXPECT_EQ(ResolvedLocal("c:\\fs2002\\SCENERY"), "c:\\fs2002\\SCENERY");
    EXPECT_EQ(ResolvedLocal(""), "");
    // A network drive is not one of the drives a path may name.
    EXPECT_EQ(ResolvedLocal("F:\\Shared"), "C:\\Fs2002\\f:\\shared\\scenery");
    // A bracketed volume label becomes the drive carrying it.
    EXPECT_EQ(ResolvedLocal("[FS2002_Disk2]\\Scenery\\Cities"), "d:\\scenery\\cities\\scenery");
    // A label no readable drive carries stays as text, inside the simulator folder.
    EXPECT_EQ(ResolvedLocal("[OTHER]\\X"), "C:\\Fs2002\\[other]\\x\\scenery");
}

TEST(SceneryDiscoveryTest, TheLastFacilityDataAreaGivesTheFolder) {
    const std::string cfg =
        "[Area.001]\nTitle=Additional Facility Data\nRequired=TRUE\nLocal=Scenery\\First\n"
        "[Area.002]\nTitle=Additional Facility Data\nRequired=False\nLocal=Scenery\\Skipped\n"
        "[Area.003]\nTitle=ADDITIONAL FACILITY DATA\nRequired=True\nLocal=Scenery\\Second\n";
    std::vector<SceneryArea> areas = ParseSceneryCfg(cfg);
    ResolveAreaPaths(areas, kSimFolder, Drives());
    EXPECT_EQ(FacilityDataFolderOf(areas, ""), "C:\\Fs2002\\scenery\\second\\scenery");
    EXPECT_EQ(FacilityDataFolderOf({}, "kept"), "kept");
}

}  // namespace
}  // namespace scopewatch
