#include <gtest/gtest.h>

#include <cmath>

#include "airport/MagVarGrid.h"
#include "scope/Geodesy.h"

namespace scopewatch {
namespace {

TEST(GeodesyTest, DistancesInWholeMilesAndCappedFeet) {
    EXPECT_EQ(DistanceNm(45.0, 7.0, 45.0, 7.0), 0);
    EXPECT_EQ(DistanceNm(10.0, 20.0, 11.0, 20.0), 60);
    EXPECT_EQ(DistanceNm(0.0, 0.0, 0.0, 1.0), 60);
    // Far apart points take the law-of-cosines branch: a quarter of the equator.
    EXPECT_EQ(DistanceNm(0.0, 0.0, 0.0, 90.0), 5400);
    EXPECT_EQ(DistanceNm(0.0, -90.0, 0.0, 90.0), 10800);
    // Feet are 6080 to the mile and stop at 32767.
    EXPECT_EQ(DistanceFt(0.0, 0.0, 0.01, 0.0), 3648);
    EXPECT_EQ(DistanceFt(30.0, 30.0, 30.0, 30.0), 0);
    EXPECT_EQ(DistanceFt(0.0, 0.0, 0.1, 0.0), 32767);
    EXPECT_EQ(DistanceFt(0.0, 0.0, 80.0, 0.0), 32767);
}

TEST(GeodesyTest, MagneticCourseIsFlooredWithTheVariationAtTheStartAndNaNIsNorth) {
    MagVarGrid grid;
    EXPECT_EQ(MagneticCourse(0.0, 0.0, 1.0, 0.0, grid), 0);
    // The course is floored: due east computes a hair under 270 degrees of the
    // west-positive formula and reads 91.
    EXPECT_EQ(MagneticCourse(0.0, 0.0, 0.0, 1.0, grid), 91);
    EXPECT_EQ(MagneticCourse(1.0, 0.0, 0.0, 0.0, grid), 180);
    EXPECT_EQ(MagneticCourse(0.0, 1.0, 0.0, 0.0, grid), 270);
    EXPECT_EQ(MagneticCourse(5.0, 5.0, 5.0, 5.0, grid), 360);
    // The variation at the start applies.
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(5.0, 5.0))] = 1820;  // 9 degrees east
    EXPECT_EQ(MagneticCourse(5.0, 5.0, 5.0, 5.0, grid), 351);
    EXPECT_EQ(MagneticCourse(5.0, 5.0, 6.0, 5.0, grid), 352);  // floored course 1
    EXPECT_EQ(MagneticCourse(6.0, 5.0, 5.0, 5.0, grid), 180);  // variation of 6 N is 0
    // Found by fuzzing the database reader: a taxi point at NaN (a damaged database) gave a
    // NaN course that was converted to a whole number. Such a course counts as north.
    EXPECT_EQ(MagneticCourse(NAN, 5.0, 6.0, 5.0, MagVarGrid{}), 360);
    EXPECT_EQ(MagneticCourse(5.0, 5.0, 6.0, NAN, MagVarGrid{}), 360);
}

TEST(GeodesyTest, MagneticToTrueAddsTheVariation) {
    MagVarGrid grid;
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(40.0, -74.0))] = -2366;  // -12.99 -> -12
    EXPECT_EQ(MagneticToTrue(90, 40.0, -74.0, grid), 78);
    EXPECT_EQ(MagneticToTrue(5, 40.0, -74.0, grid), 353);
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(0.0, 0.0))] = 1820;
    EXPECT_EQ(MagneticToTrue(355, 0.0, 0.0, grid), 4);
    EXPECT_EQ(MagneticToTrue(351, 0.0, 0.0, grid), 360);
}

TEST(GeodesyTest, WidthPercentPxRoundsBothStepsHalvesToEven) {
    EXPECT_EQ(WidthPercentPx(1.5F, 200), 4);
    EXPECT_EQ(WidthPercentPx(2.5F, 100), 2);
    EXPECT_EQ(WidthPercentPx(1.0F, 150), 2);
    EXPECT_EQ(WidthPercentPx(1.0F, 250), 2);
    EXPECT_EQ(WidthPercentPx(3.0F, 350), 10);
    EXPECT_EQ(WidthPercentPx(0.4F, 900), 0);
}

}  // namespace
}  // namespace scopewatch
