#include <gtest/gtest.h>

#include "platform/AtomicFile.h"
#include "support/DyingWriter.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

using testing::ReadBytes;

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
    ASSERT_EQ(WriteFileAtomically(target, before), std::nullopt);
    ASSERT_EQ(WriteFileAtomically(target, after), std::nullopt);
    EXPECT_EQ(ReadBytes(target), after);
    EXPECT_EQ(ReadWholeFile(target), after);
    ASSERT_EQ(WriteFileAtomically(target, {}), std::nullopt);
    EXPECT_EQ(ReadWholeFile(target), std::vector<uint8_t>{});
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_EQ(ReadWholeFile(dir / "missing.bin"), std::nullopt);

    const auto missing = WriteFileAtomically(dir / "no" / "such" / "file", after);
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->rfind("cannot create", 0), 0U) << *missing;
    fs::create_directories(dir / "taken" / "inside");
    const auto taken = WriteFileAtomically(dir / "taken", after);
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->rfind("cannot replace", 0), 0U) << *taken;
    EXPECT_TRUE(fs::is_directory(dir / "taken" / "inside"));
    EXPECT_FALSE(fs::exists(dir / "taken.partial"));
}

// A full disk or failing sync at any step before the rename: the old file stays whole, the
// temporary file goes, and the error names the file.
TEST_F(AtomicFileTest, AFailureBeforeTheRenameKeepsTheOldFileWhole) {
    for (const AtomicWriteStep failing : testing::kEveryWriteStep) {
        ASSERT_EQ(WriteFileAtomically(target, before), std::nullopt);
        std::vector<AtomicWriteStep> reached;
        const auto error = WriteFileAtomically(target, after, [&](AtomicWriteStep step) {
            reached.push_back(step);
            return step != failing;
        });
        if (failing == AtomicWriteStep::Renamed) {
            EXPECT_EQ(error, std::nullopt);  // the new file was in place already
            EXPECT_EQ(ReadBytes(target), after);
        } else {
            ASSERT_TRUE(error.has_value());
            EXPECT_NE(error->find("data.bin.partial"), std::string::npos) << *error;
            EXPECT_EQ(ReadBytes(target), before);
        }
        EXPECT_EQ(reached.back(), failing);
        EXPECT_FALSE(fs::exists(temporary));
    }
}

}  // namespace
}  // namespace scopewatch
