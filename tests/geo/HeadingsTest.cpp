#include <gtest/gtest.h>

#include "geo/Headings.h"
#include "geo/MagVarGrid.h"

namespace scopewatch {
namespace {

// Normalising corrects once each way; a magnetic heading subtracts the variation of the
// nearest grid cell (halves of latitude round to even) and wraps once.
TEST(HeadingsTest, NormaliseOnceEachWayAndMagneticHeadingsTakeTheNearestCellRoundingToEven) {
    for (const auto& [heading, normal] :
         {std::pair{-10, 350}, {-5, 355}, {360, 360}, {361, 1}, {365, 5}, {725, 365}, {0, 0}}) {
        EXPECT_EQ(NormaliseHeading(heading), normal) << heading;
    }
    MagVarGrid grid;
    grid.values[359 * 181 + 90] = 16384;  // 90 degrees: 1 W, equator
    EXPECT_EQ(MagneticHeading(100, 0.0, -0.6, grid), 10);
    EXPECT_EQ(MagneticHeading(100, 0.0, -0.4, grid), 100);  // rounds to longitude 0
    EXPECT_EQ(MagneticHeading(45, 0.0, -0.6, grid), 315);   // 45 - 90 wraps once
    grid.values[0 * 181 + 90 + 90] = 1820;  // latitude 90: 9.997 degrees, truncated to 9
    grid.values[0 * 181 + 88 + 90] = -16384;
    EXPECT_EQ(MagneticHeading(100, 89.5, 0.0, grid), 91);
    EXPECT_EQ(MagneticHeading(100, 88.5, 0.0, grid), 190);
}

}  // namespace
}  // namespace scopewatch
