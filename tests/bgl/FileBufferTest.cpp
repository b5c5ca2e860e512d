#include <gtest/gtest.h>

#include "bgl/FileBuffer.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

// A file loads whole, one zero after it that its reader reads too; a failed load leaves the
// buffer empty.
TEST(FileBufferTest, LoadsWholeFilesWithATrailingZeroAndEmptiesOnFailure) {
    testing::TempDir dir;
    FileBuffer buffer;
    ASSERT_TRUE(buffer.LoadFile(dir.Write("x.bgl", std::vector<uint8_t>{9, 8, 7}).string()));
    EXPECT_EQ(buffer.FileLength(), 3);
    EXPECT_EQ(buffer.reader().Int32At(0), 0x00070809);
    EXPECT_THROW(buffer.reader().UInt8At(4), ReadPastEnd);
    EXPECT_FALSE(buffer.LoadFile((dir / "missing.bgl").string()));
    EXPECT_TRUE(buffer.Empty());
    EXPECT_EQ(buffer.FileLength(), 0);
}

}  // namespace
}  // namespace scopewatch
