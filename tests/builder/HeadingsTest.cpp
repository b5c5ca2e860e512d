#include <gtest/gtest.h>

#include "airport/MagVarGrid.h"
#include "builder/Headings.h"

namespace scopewatch {
namespace {

constexpr int16_t kNinetyDegrees = 16384;

TEST(HeadingsTest, NormaliseHeadingCorrectsOnceEachWay) {
    for (const auto& [heading, normal] :
         {std::pair{-10, 350}, {-5, 355}, {360, 360}, {361, 1}, {365, 5}, {725, 365}, {0, 0}}) {
        EXPECT_EQ(NormaliseHeading(heading), normal) << heading;
    }
}

TEST(HeadingsTest, MagneticHeadingSubtractsTheVariationOfTheNearestCellRoundingToEven) {
    MagVarGrid grid;
    grid.values[359 * 181 + 90] = kNinetyDegrees;  // 1 W, equator
    EXPECT_EQ(MagneticHeading(100, 0.0, -0.6, grid), 10);
    EXPECT_EQ(MagneticHeading(100, 0.0, -0.4, grid), 100);  // rounds to longitude 0
    EXPECT_EQ(MagneticHeading(45, 0.0, -0.6, grid), 315);   // 45 - 90 wraps once
    // Latitude halves round to even.
    grid.values[0 * 181 + 90 + 90] = 1820;  // latitude 90: 9.997 degrees, truncated to 9
    grid.values[0 * 181 + 88 + 90] = -kNinetyDegrees;
    EXPECT_EQ(MagneticHeading(100, 89.5, 0.0, grid), 91);
    EXPECT_EQ(MagneticHeading(100, 88.5, 0.0, grid), 190);
}

TEST(HeadingsTest, DestinationPointMovesAlongTheBearing) {
    const GeoPoint start = DestinationPoint(12.3456789, -45.6789012, 90, 0.0);
    EXPECT_DOUBLE_EQ(start.latitude, 12.345679);
    EXPECT_DOUBLE_EQ(start.longitude, -45.678901);

    const GeoPoint north = DestinationPoint(0.0, 0.0, 0, 1852.0 * 60.0);
    EXPECT_NEAR(north.latitude, 1.0, 1e-6);
    EXPECT_NEAR(north.longitude, 0.0, 1e-6);

    const GeoPoint east = DestinationPoint(0.0, 10.0, 90, 1852.0 * 30.0);
    EXPECT_NEAR(east.latitude, 0.0, 1e-6);
    EXPECT_NEAR(east.longitude, 10.5, 1e-6);

    const GeoPoint backwards = DestinationPoint(0.0, 10.0, 90, -1852.0 * 30.0);
    EXPECT_EQ(backwards.latitude, east.latitude);
    EXPECT_EQ(backwards.longitude, east.longitude);
}

}  // namespace
}  // namespace scopewatch
