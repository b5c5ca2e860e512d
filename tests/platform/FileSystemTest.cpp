#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

class FileSystemTest : public ::testing::Test {
  protected:
    testing::TempDir dir;
    FileSystem files{dir.path()};
};

TEST_F(FileSystemTest, MatchesEachComponentRegardlessOfCaseAndSeparator) {
    dir.Write("Fs2002/Scenery/World/Scenery/Ap1.BGL", "x");
    const fs::path expected = dir / "Fs2002/Scenery/World/Scenery/Ap1.BGL";
    EXPECT_EQ(files.ToRealPath("fs2002\\scenery\\WORLD\\scenery\\ap1.bgl"), expected);
    EXPECT_EQ(files.ToRealPath("FS2002/Scenery\\world//scenery\\AP1.bgl"), expected);
    EXPECT_EQ(files.ToRealPath((dir.path() / "fs2002\\SCENERY").string()), dir / "Fs2002/Scenery");
    EXPECT_TRUE(files.IsFile("fs2002\\scenery\\world\\scenery\\ap1.bgl"));
    EXPECT_TRUE(files.IsDirectory("FS2002\\scenery"));
    // Components that do not exist are kept as written.
    EXPECT_EQ(files.ToRealPath("fs2002\\Missing\\x.bgl"), dir / "Fs2002/Missing/x.bgl");
}

TEST_F(FileSystemTest, PrefersTheExactNameOverOtherCases) {
    dir.Write("data/abc.txt", "lower");
    dir.Write("data/ABC.txt", "upper");
    EXPECT_EQ(files.ToRealPath("data\\ABC.txt"), dir / "data/ABC.txt");
    EXPECT_EQ(files.ToRealPath("data\\abc.txt"), dir / "data/abc.txt");
}

TEST_F(FileSystemTest, ListsNormalFilesByPatternOrName) {
    dir.Write("scenery/b.BGL", "x");
    dir.Write("scenery/a.bgl", "x");
    dir.Write("scenery/readme.txt", "x");
    dir.Write("scenery/notes.bgl.txt", "x");
    fs::create_directories(dir / "scenery/folder.bgl");
    EXPECT_EQ(files.ListFiles("SCENERY\\*.bgl"), (std::vector<std::string>{"a.bgl", "b.BGL"}));
    EXPECT_EQ(files.ListFiles("scenery\\README.TXT"), std::vector<std::string>{"readme.txt"});
    EXPECT_EQ(files.ListFiles("scenery\\?.bgl").size(), 2U);
    EXPECT_TRUE(files.ListFiles("scenery\\folder.bgl").empty());
    EXPECT_TRUE(files.ListFiles("nowhere\\*.bgl").empty());
    EXPECT_TRUE(files.ListFiles("scenery\\").empty());
}

TEST_F(FileSystemTest, DeletesOnlyTheMatchedFiles) {
    dir.Write("atc_settings.tcs", "x");
    dir.Write("other.tcs", "x");
    files.DeleteFiles("atc_settings.tcs");
    EXPECT_FALSE(fs::exists(dir / "atc_settings.tcs"));
    EXPECT_TRUE(fs::exists(dir / "other.tcs"));
    files.DeleteFiles("missing.dat");  // errors are ignored
}

TEST_F(FileSystemTest, DriveLettersMapOntoTheirMountPoints) {
    dir.Write("volume-d/Games/Fs2002/scenery.cfg", "x");
    files.SetDrives({{"C:\\", DriveType::Fixed, std::string(""), dir / "volume-c"},
                     {"D:\\", DriveType::CdRom, std::string("FS2002_2"), dir / "volume-d"}});
    EXPECT_EQ(files.ToRealPath("d:\\games\\FS2002\\Scenery.cfg"),
              dir / "volume-d/Games/Fs2002/scenery.cfg");
    EXPECT_TRUE(files.IsFile("D:/Games/Fs2002/scenery.cfg"));
    EXPECT_TRUE(files.ToRealPath("Q:\\anything").empty());
    EXPECT_TRUE(files.ListFiles("Q:\\*.bgl").empty());
}

TEST_F(FileSystemTest, WinePrefixDosDevicesTakePrecedence) {
    dir.Write("prefix/drive_c/Program Files/FS2002/scenery.cfg", "x");
    fs::create_directories(dir / "prefix/dosdevices");
    fs::create_directory_symlink("../drive_c", dir / "prefix/dosdevices/c:");
    files.UseWinePrefixOf(dir / "prefix/drive_c/Program Files/FS2002");
    const fs::path real = files.ToRealPath("C:\\PROGRAM FILES\\fs2002\\scenery.cfg");
    EXPECT_EQ(fs::canonical(real),
              fs::canonical(dir / "prefix/drive_c/Program Files/FS2002/scenery.cfg"));
}

TEST(PathTextTest, SplitsJoinsAndMatchesPatterns) {
    EXPECT_EQ(SplitPathText("C:\\a//b\\c\\"), (std::vector<std::string>{"C:", "a", "b", "c"}));
    EXPECT_EQ(JoinPathText("scenery\\world", "x.bgl"), "scenery\\world\\x.bgl");
    EXPECT_EQ(JoinPathText("scenery\\", "x.bgl"), "scenery\\x.bgl");
    EXPECT_TRUE(WildcardMatch("*.BGL", "ap.bgl"));
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXXbYYc"));
    EXPECT_FALSE(WildcardMatch("*.bgl", "ap.bgl.bak"));
    EXPECT_FALSE(WildcardMatch("?.bgl", "ab.bgl"));
}

TEST(MountedVolumesTest, RootIsDriveC) {
    const std::vector<Drive> drives = FileSystem::MountedVolumes();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.front().rootPath, "C:\\");
    EXPECT_EQ(drives.front().mountPoint, fs::path("/"));
}

}  // namespace
}  // namespace scopewatch
