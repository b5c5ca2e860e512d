#include <gtest/gtest.h>

#include "geo/MagVarGrid.h"

namespace scopewatch {
namespace {

// The cell index rounds halves to even and wraps west longitudes; positions off the grid use
// the spare cell instead of overrunning. A variation truncates toward zero.
TEST(MagVarGridTest, IndexRoundsHalvesToEvenWrapsWestLongitudesAndKeepsOnTheGrid) {
    EXPECT_EQ((std::vector{MagVarGrid::IndexAt(45.5, 10.5), MagVarGrid::IndexAt(0.0, -0.5),
                           MagVarGrid::IndexAt(0.0, -1.5), MagVarGrid::IndexAt(0.0, -179.6),
                           MagVarGrid::IndexAt(-90.0, 359.0), MagVarGrid::IndexAt(90.0, 359.4)}),
              (std::vector{1946, 0 * 181 + 90, 358 * 181 + 90, 180 * 181 + 90, 359 * 181, 65159}));
    EXPECT_EQ(
        (std::vector{MagVarGrid::IndexAt(95.0, 359.6), MagVarGrid::IndexAt(0.0, -400.0),
                     MagVarGrid::IndexAt(0.0, 1.0e9), MagVarGrid::IndexAt(1.0e300, -1.0e300)}),
        std::vector(4, MagVarGrid::kFilled));

    MagVarGrid grid;
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(0, 0))] = 16384;
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(1, 0))] = -182;
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(2, 0))] = -364;
    EXPECT_EQ((std::vector{grid.VariationDegreesAt(0, 0), grid.VariationDegreesAt(1, 0),
                           grid.VariationDegreesAt(2, 0)}),
              (std::vector{90, 0, -1}));
}

}  // namespace
}  // namespace scopewatch
