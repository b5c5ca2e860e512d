#include <gtest/gtest.h>

#include "bgl/FileBuffer.h"
#include "bgl/MagdecFile.h"
#include "scenerywriter/MagdecWriter.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

int16_t CellCode(int latitude, int longitude) {
    return static_cast<int16_t>(longitude * 100 + latitude);
}

// magdec.bgl's table loads longitude-major; missing, short or table-less files (a huge table
// offset must not overflow into a valid-looking position) leave the grid as it was.
TEST(MagdecFileTest, LoadsTheTableLongitudeMajorAndBadFilesLeaveTheGridAsItWas) {
    testing::TempDir dir;
    MagVarGrid grid;
    FileBuffer buffer;
    const auto load = [&](const std::vector<uint8_t>& bytes) {
        return LoadMagVarGrid(dir.Write("magdec.bgl", bytes).string(), buffer, grid);
    };
    ASSERT_EQ(load(scenery::BuildMagdecBgl(CellCode, 200)), MagVarLoadResult::Loaded);
    EXPECT_EQ(
        (std::vector{grid.values[0], grid.values[1946], grid.values[65159], grid.values[65160]}),
        (std::vector{CellCode(-90, 0), CellCode(46, 10), CellCode(90, 359), int16_t{0}}));

    grid.values[1946] = 77;
    EXPECT_EQ(LoadMagVarGrid((dir / "none.bgl").string(), buffer, grid),
              MagVarLoadResult::FileMissing);
    auto bytes = scenery::BuildMagdecBgl(CellCode);
    bytes.pop_back();
    EXPECT_EQ(load(bytes), MagVarLoadResult::FileTooShort);
    EXPECT_EQ(load(std::vector<uint8_t>(60, 0)), MagVarLoadResult::FileTooShort);
    bytes = scenery::BuildMagdecBgl(CellCode);
    bytes[110] = bytes[111] = bytes[112] = bytes[113] = 0;
    EXPECT_EQ(load(bytes), MagVarLoadResult::NoTable);
    bytes[110] = bytes[111] = bytes[112] = 0xFF;
    bytes[113] = 0x7F;
    EXPECT_EQ(load(bytes), MagVarLoadResult::FileTooShort);
    EXPECT_EQ(grid.values[1946], 77);
}

}  // namespace
}  // namespace scopewatch
