#include <gtest/gtest.h>

#include <cmath>

#include "geo/Geodesy.h"
#include "geo/MagVarGrid.h"

namespace scopewatch {
namespace {

// Distances are whole miles (far apart points take the law-of-cosines branch) or feet, 6080
// to the mile and stopping at 32767. Widths in percent of the scope round both steps halves
// to even.
TEST(GeodesyTest, DistancesInWholeMilesAndCappedFeetWidthsRoundHalvesToEven) {
    EXPECT_EQ((std::vector{DistanceNm(45.0, 7.0, 45.0, 7.0), DistanceNm(10.0, 20.0, 11.0, 20.0),
                           DistanceNm(0.0, 0.0, 0.0, 1.0), DistanceNm(0.0, 0.0, 0.0, 90.0),
                           DistanceNm(0.0, -90.0, 0.0, 90.0)}),
              (std::vector<int16_t>{0, 60, 60, 5400, 10800}));
    EXPECT_EQ((std::vector{DistanceFt(0.0, 0.0, 0.01, 0.0), DistanceFt(30.0, 30.0, 30.0, 30.0),
                           DistanceFt(0.0, 0.0, 0.1, 0.0), DistanceFt(0.0, 0.0, 80.0, 0.0)}),
              (std::vector<int16_t>{3648, 0, 32767, 32767}));
    EXPECT_EQ((std::vector{WidthPercentPx(1.5F, 200), WidthPercentPx(2.5F, 100),
                           WidthPercentPx(1.0F, 150), WidthPercentPx(1.0F, 250),
                           WidthPercentPx(3.0F, 350), WidthPercentPx(0.4F, 900)}),
              (std::vector{4, 2, 2, 2, 10, 0}));
}

// The course is floored (due east computes a hair under 270 degrees of the west-positive
// formula and reads 91) with the variation at the start; magnetic to true adds the variation.
TEST(GeodesyTest, MagneticCourseIsFlooredWithTheVariationAtTheStartAndNaNIsNorth) {
    MagVarGrid grid;
    EXPECT_EQ(
        (std::vector{
            MagneticCourse(0.0, 0.0, 1.0, 0.0, grid), MagneticCourse(0.0, 0.0, 0.0, 1.0, grid),
            MagneticCourse(1.0, 0.0, 0.0, 0.0, grid), MagneticCourse(0.0, 1.0, 0.0, 0.0, grid),
            MagneticCourse(5.0, 5.0, 5.0, 5.0, grid)}),
        (std::vector<int16_t>{0, 91, 180, 270, 360}));
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(5.0, 5.0))] = 1820;  // 9 degrees east
    EXPECT_EQ(MagneticCourse(5.0, 5.0, 5.0, 5.0, grid), 351);
    EXPECT_EQ(MagneticCourse(5.0, 5.0, 6.0, 5.0, grid), 352);  // floored course 1
    EXPECT_EQ(MagneticCourse(6.0, 5.0, 5.0, 5.0, grid), 180);  // variation of 6 N is 0
    // Found by fuzzing the database reader: a taxi point at NaN (a damaged database) gave a
    // NaN course that was converted to a whole number. Such a course counts as north.
    EXPECT_EQ(MagneticCourse(NAN, 5.0, 6.0, 5.0, MagVarGrid{}), 360);
    EXPECT_EQ(MagneticCourse(5.0, 5.0, 6.0, NAN, MagVarGrid{}), 360);

    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(40.0, -74.0))] = -2366;  // -12.99 -> -12
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(0.0, 0.0))] = 1820;
    EXPECT_EQ(
        (std::vector{MagneticToTrue(90, 40.0, -74.0, grid), MagneticToTrue(5, 40.0, -74.0, grid),
                     MagneticToTrue(355, 0.0, 0.0, grid), MagneticToTrue(351, 0.0, 0.0, grid)}),
        (std::vector<int16_t>{78, 353, 4, 360}));
}

}  // namespace
}  // namespace scopewatch
