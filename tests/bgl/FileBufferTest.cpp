#include <gtest/gtest.h>

#include "bgl/FileBuffer.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

// Little-endian signed values, text without its zero bytes, one trailing zero after the file;
// reads past that throw instead of reading and name the offset.
TEST(FileBufferTest, ReadsLittleEndianValuesAndTheTrailingZeroAndThrowsPastIt) {
    const FileBuffer buffer({0x21, 0x43, 0x65, 0x87, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F});
    EXPECT_EQ(buffer.ReadInt32(0), static_cast<int32_t>(0x87654321));
    EXPECT_EQ((std::vector{buffer.ReadInt16(4), buffer.ReadInt16(6), buffer.ReadInt16(8)}),
              (std::vector<int16_t>{-1, -32768, 32767}));
    EXPECT_EQ(buffer.ReadByte(3), 0x87);
    const FileBuffer text({0x41, 0x42, 0x00, 0x43});
    EXPECT_EQ(text.ReadText(0, 4), "ABC");
    EXPECT_EQ(text.ReadText(0, 0) + text.ReadText(0, -3), "");

    const FileBuffer three({1, 2, 3});
    EXPECT_EQ(three.FileLength(), 3);
    EXPECT_EQ(three.ReadByte(3), 0);
    EXPECT_EQ(three.ReadInt32(0), 0x00030201);
    const FileBuffer four({1, 2, 3, 4});
    EXPECT_NO_THROW(four.ReadInt32(1));  // the last byte read is the trailing zero
    EXPECT_THROW(four.ReadInt32(2), BufferOverrun);
    EXPECT_THROW(four.ReadInt16(-1), BufferOverrun);
    EXPECT_THROW(four.ReadByte(5), BufferOverrun);
    EXPECT_THROW(four.ReadText(3, 100), BufferOverrun);
    EXPECT_THROW(four.ReadInt32(INT64_MAX - 1), BufferOverrun);
    try {
        four.ReadInt32(40);
        ADD_FAILURE() << "no overrun";
    } catch (const BufferOverrun& error) {
        EXPECT_EQ(error.position(), 40);
        EXPECT_NE(std::string(error.what()).find("offset 40"), std::string::npos);
    }
}

// A file loads whole; a failed load leaves the buffer empty.
TEST(FileBufferTest, LoadsWholeFilesAndEmptiesOnFailure) {
    testing::TempDir dir;
    FileBuffer buffer;
    ASSERT_TRUE(buffer.LoadFile(dir.Write("x.bgl", std::vector<uint8_t>{9, 8, 7}).string()));
    EXPECT_EQ(buffer.FileLength(), 3);
    EXPECT_EQ(buffer.ReadByte(0), 9);
    EXPECT_FALSE(buffer.LoadFile((dir / "missing.bgl").string()));
    EXPECT_TRUE(buffer.Empty());
    EXPECT_EQ(buffer.FileLength(), 0);
}

}  // namespace
}  // namespace scopewatch
