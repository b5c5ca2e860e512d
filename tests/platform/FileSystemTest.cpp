// Files as the program meets them: Windows-style path texts in Windows-1252 over a Linux
// tree, drives and Wine prefixes, and writes that replace a file whole or not at all.

#include <gtest/gtest.h>

#include <QString>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "support/DyingWriter.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

using testing::ReadBytes;

class FileSystemTest : public ::testing::Test {
  protected:
    testing::TempDir dir;
    FileSystem files{dir.path()};
};

// Each component of a path text matches regardless of case and separator, the exact name
// preferred over other cases; components that do not exist are kept as written.
TEST_F(FileSystemTest, MatchesEachComponentRegardlessOfCaseAndSeparatorPreferringTheExactName) {
    dir.Write("Fs2002/Scenery/World/Scenery/Ap1.BGL", "x");
    const fs::path expected = dir / "Fs2002/Scenery/World/Scenery/Ap1.BGL";
    EXPECT_EQ(files.ToRealPath("fs2002\\scenery\\WORLD\\scenery\\ap1.bgl"), expected);
    EXPECT_EQ(files.ToRealPath("FS2002/Scenery\\world//scenery\\AP1.bgl"), expected);
    EXPECT_EQ(files.ToRealPath((dir.path() / "fs2002\\SCENERY").string()), dir / "Fs2002/Scenery");
    EXPECT_TRUE(files.IsFile("fs2002\\scenery\\world\\scenery\\ap1.bgl"));
    EXPECT_TRUE(files.IsDirectory("FS2002\\scenery"));
    EXPECT_EQ(files.ToRealPath("fs2002\\Missing\\x.bgl"), dir / "Fs2002/Missing/x.bgl");

    dir.Write("data/abc.txt", "lower");
    dir.Write("data/ABC.txt", "upper");
    EXPECT_EQ(files.ToRealPath("data\\ABC.txt"), dir / "data/ABC.txt");
    EXPECT_EQ(files.ToRealPath("data\\abc.txt"), dir / "data/abc.txt");

    // Many names in one folder (or none, or on a drive that is not there) resolve as each
    // would alone.
    const std::vector<std::string> names = {"abc.txt", "ABC.txt",    "Abc.TXT",
                                            "new.txt", "sub\\x.txt", "..\\Fs2002"};
    for (const std::string folder : {"DATA", "", "Q:\\data"}) {
        std::vector<fs::path> alone;
        for (const std::string& name : names) {
            alone.push_back(files.ToRealPath(JoinPathText(folder, name)));
        }
        EXPECT_EQ(files.RealPathsIn(folder, names), alone) << folder;
    }
}

// Listing takes normal files by pattern or name (not folders); deleting removes only the
// matched files, names with accents too, and ignores errors.
TEST_F(FileSystemTest, ListsAndDeletesOnlyTheMatchedNormalFiles) {
    for (const char* name : {"b.BGL", "a.bgl", "readme.txt", "notes.bgl.txt"}) {
        dir.Write(std::string("scenery/") + name, "x");
    }
    fs::create_directories(dir / "scenery/folder.bgl");
    EXPECT_EQ(files.ListFiles("SCENERY\\*.bgl"), (std::vector<std::string>{"a.bgl", "b.BGL"}));
    EXPECT_EQ(files.ListFiles("scenery\\README.TXT"), std::vector<std::string>{"readme.txt"});
    EXPECT_EQ(files.ListFiles("scenery\\?.bgl").size(), 2U);
    EXPECT_TRUE(files.ListFiles("scenery\\folder.bgl").empty());
    EXPECT_TRUE(files.ListFiles("nowhere\\*.bgl").empty());
    EXPECT_TRUE(files.ListFiles("scenery\\").empty());

    dir.Write("atc_settings.tcs", "x");
    dir.Write("other.tcs", "x");
    files.DeleteFiles("atc_settings.tcs");
    EXPECT_FALSE(fs::exists(dir / "atc_settings.tcs"));
    EXPECT_TRUE(fs::exists(dir / "other.tcs"));
    files.DeleteFiles("missing.dat");
    dir.Write("d\u00e9j\u00e0/Caf\u00e9.tcs", "x");
    files.DeleteFiles("D\xC9J\xC0\\caf\xE9.TCS");
    EXPECT_FALSE(fs::exists(dir / "d\u00e9j\u00e0/Caf\u00e9.tcs"));
}

// Drive letters map onto their mount points (an unknown one onto nothing). A Wine prefix's
// dosdevices give the drive letters, also under a user name with an accent, and the same
// folder typed as the Linux path it is reaches the same file.
TEST_F(FileSystemTest, DriveLettersMapOntoTheirMountPointsAndAWinePrefixsDosdevices) {
    dir.Write("volume-d/Games/Fs2002/scenery.cfg", "x");
    files.SetDrives({{"C:\\", DriveType::Fixed, std::string(""), dir / "volume-c"},
                     {"D:\\", DriveType::CdRom, std::string("FS2002_2"), dir / "volume-d"}});
    EXPECT_EQ(files.ToRealPath("d:\\games\\FS2002\\Scenery.cfg"),
              dir / "volume-d/Games/Fs2002/scenery.cfg");
    EXPECT_TRUE(files.IsFile("D:/Games/Fs2002/scenery.cfg"));
    EXPECT_TRUE(files.ToRealPath("Q:\\anything").empty());
    EXPECT_TRUE(files.ListFiles("Q:\\*.bgl").empty());

    const fs::path prefix = dir / "home/jos\u00e9/.wine";
    dir.Write("home/jos\u00e9/.wine/drive_c/users/jos\u00e9/FS2002/scenery.cfg", "x");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    files.UseWinePrefixOf(prefix / "drive_c/users/jos\u00e9/FS2002");
    EXPECT_TRUE(files.IsFile("C:\\Users\\JOS\xC9\\fs2002\\Scenery.cfg"));
    const auto typed = PathTextOf(prefix / "drive_c/users/jos\u00e9/FS2002");
    ASSERT_TRUE(typed.has_value());
    EXPECT_NE(typed->find("jos\xE9"), std::string::npos);
    EXPECT_TRUE(files.IsFile(*typed + "\\scenery.cfg"));
}

// Texts are Windows-1252 ("\xFC" is u-diaeresis, "\xE8" e-grave); names on disk are UTF-8.
// Folders with accents are found in any letter case, by relative or absolute texts; a
// component that does not exist is kept and written in UTF-8 on disk. Names Windows-1252
// cannot hold are listed with question marks and not matched.
TEST_F(FileSystemTest, Windows1252TextsFindFoldersWithAccentsInAnyLetterCase) {
    dir.Write("Fl\u00fcge/sim/Scenery/World/AP1.BGL", "x");
    dir.Write("Biblioth\u00e8que/Sc\u00e8nes/b.bgl", "x");
    const fs::path airportFile = dir / "Fl\u00fcge/sim/Scenery/World/AP1.BGL";
    EXPECT_EQ(files.ToRealPath("fl\xFCge\\SIM\\scenery\\world\\ap1.bgl"), airportFile);
    EXPECT_EQ(files.ToRealPath("FL\xDCGE/sim/Scenery/World/AP1.BGL"), airportFile);
    EXPECT_TRUE(files.ReadFile("biblioth\xE8que\\SC\xC8NES\\B.BGL").has_value());
    EXPECT_EQ(files.ListFiles("BIBLIOTH\xC8QUE\\sc\xE8nes\\*.bgl"),
              std::vector<std::string>{"b.bgl"});
    EXPECT_EQ(files.ListFolders(""), (std::vector<std::string>{"Biblioth\xE8que", "Fl\xFCge"}));
    EXPECT_TRUE(files.IsDirectory(*PathTextOf(dir.path()) + "\\fl\xFCge\\sim"));
    EXPECT_EQ(files.ToRealPath("Fl\xFCge\\n\xE9"
                               "ant"),
              dir / "Fl\u00fcge/n\u00e9ant");

    dir.Write("scenery/\u6771\u4eac.bgl", "x");
    dir.Write("scenery/a.bgl", "x");
    EXPECT_EQ(files.ListFiles("scenery\\*.bgl"), (std::vector<std::string>{"??.bgl", "a.bgl"}));
    EXPECT_FALSE(files.ReadFile("scenery\\??.bgl").has_value());
    files.DeleteFiles("scenery\\*.bgl");
    EXPECT_TRUE(fs::is_empty(dir / "scenery"));
}

// A typed path becomes Windows-1252 or is refused with a reason naming the character; path
// texts split, join and match patterns (accents in any case); the root of the mounted volumes
// is drive C:.
TEST(PathTextTest, EnteredPathsSplitsJoinsPatternsAndDriveC) {
    EXPECT_EQ(PathTextOfEntered(QString::fromUtf8("/tmp/nonascii/Fl\u00fcge/sim")).value,
              "/tmp/nonascii/Fl\xFCge/sim");
    EXPECT_EQ(PathTextOfEntered(QString::fromUtf8("C:\\Biblioth\u00e8que")).value,
              "C:\\Biblioth\xE8que");
    const Outcome<std::string> tokyo =
        PathTextOfEntered(QString::fromUtf8("/home/\u6771\u4eac/fs"));
    EXPECT_FALSE(tokyo.ok());
    EXPECT_NE(tokyo.failure.find("/home/?"
                                 "?/fs"),
              std::string::npos);
    EXPECT_NE(tokyo.failure.find("U+6771"), std::string::npos);
    EXPECT_EQ(PathTextOf(fs::path("/tmp/\u6771")), std::nullopt);
    EXPECT_EQ(PathTextOf(fs::path("/tmp/Fl\u00fcge")), "/tmp/Fl\xFCge");

    EXPECT_EQ(SplitPathText("C:\\a//b\\c\\"), (std::vector<std::string>{"C:", "a", "b", "c"}));
    EXPECT_EQ(JoinPathText("scenery\\world", "x.bgl"), "scenery\\world\\x.bgl");
    EXPECT_EQ(JoinPathText("scenery\\", "x.bgl"), "scenery\\x.bgl");
    EXPECT_TRUE(WildcardMatch("*.BGL", "ap.bgl") && WildcardMatch("*", "") &&
                WildcardMatch("a*b*c", "aXXbYYc") && WildcardMatch("\xC9T\xC9*", "\xE9t\xE9.bgl"));
    EXPECT_FALSE(WildcardMatch("*.bgl", "ap.bgl.bak") || WildcardMatch("?.bgl", "ab.bgl"));

    const std::vector<Drive> drives = FileSystem::MountedVolumes();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.front().rootPath, "C:\\");
    EXPECT_EQ(drives.front().mountPoint, fs::path("/"));
}

class AtomicFileTest : public ::testing::Test {
  protected:
    testing::TempDir dir;
    const fs::path target = dir / "data.bin";
    const fs::path temporary = dir / "data.bin.partial";
    const std::vector<uint8_t> before = {1, 2, 3};
    const std::vector<uint8_t> after = {9, 8, 7, 6, 5, 4, 3, 2, 1};
};

// A write replaces the whole file (an empty one too) and leaves nothing beside it. A folder
// that cannot take the file is reported: a missing one, or a folder where the file should be
// (the rename fails, the folder stays, nothing is left).
TEST_F(AtomicFileTest, ReplacesTheWholeFileAndLeavesNothingBesideOrReportsTheFolder) {
    ASSERT_TRUE(WriteFileAtomically(target, before).ok());
    ASSERT_TRUE(WriteFileAtomically(target, after).ok());
    EXPECT_EQ(ReadBytes(target), after);
    EXPECT_EQ(ReadWholeFile(target), after);
    const std::vector<uint8_t> large(5 << 20, 0x5A);  // megabytes that go to the disk on the way
    ASSERT_TRUE(WriteFileAtomically(target, large).ok());
    EXPECT_EQ(ReadWholeFile(target), large);
    ASSERT_TRUE(WriteFileAtomically(target, {}).ok());
    EXPECT_EQ(ReadWholeFile(target), std::vector<uint8_t>{});
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_EQ(ReadWholeFile(dir / "missing.bin"), std::nullopt);

    const auto missing = WriteFileAtomically(dir / "no" / "such" / "file", after);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure.rfind("cannot create", 0), 0U) << missing.failure;
    fs::create_directories(dir / "taken" / "inside");
    const auto taken = WriteFileAtomically(dir / "taken", after);
    ASSERT_FALSE(taken.ok());
    EXPECT_EQ(taken.failure.rfind("cannot replace", 0), 0U) << taken.failure;
    EXPECT_TRUE(fs::is_directory(dir / "taken" / "inside"));
    EXPECT_FALSE(fs::exists(dir / "taken.partial"));
}

// A full disk or failing sync at any step before the rename: the old file stays whole (a first
// write leaves none), the temporary file goes, and the error names the file.
TEST_F(AtomicFileTest, AFailureBeforeTheRenameKeepsTheOldFileWhole) {
    EXPECT_FALSE(WriteFileAtomically(target, after, [](AtomicWriteStep) { return false; }).ok());
    EXPECT_FALSE(fs::exists(target) || fs::exists(temporary));
    for (const AtomicWriteStep failing : testing::kEveryWriteStep) {
        ASSERT_TRUE(WriteFileAtomically(target, before).ok());
        std::vector<AtomicWriteStep> reached;
        const auto error = WriteFileAtomically(target, after, [&](AtomicWriteStep step) {
            reached.push_back(step);
            return step != failing;
        });
        if (failing == AtomicWriteStep::Renamed) {
            EXPECT_TRUE(error.ok());  // the new file was in place already
            EXPECT_EQ(ReadBytes(target), after);
        } else {
            ASSERT_FALSE(error.ok());
            EXPECT_NE(error.failure.find("data.bin.partial"), std::string::npos) << error.failure;
            EXPECT_EQ(ReadBytes(target), before);
        }
        EXPECT_EQ(reached.back(), failing);
        EXPECT_FALSE(fs::exists(temporary));
    }
}

}  // namespace
}  // namespace scopewatch
