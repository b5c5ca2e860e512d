// Geodesy as the builder and the scope compute it: distances, courses, destinations and the
// magnetic variation grid, with their rounding and the guards at their edges.

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "geo/Destinations.h"
#include "geo/GeoMath.h"
#include "geo/Geodesy.h"
#include "geo/Headings.h"
#include "geo/MagVarGrid.h"

namespace scopewatch {
namespace {

// Arc sine and cosine give 0 outside [-1, 1]; the floored modulo is never negative.
TEST(GeoMathTest, ArcFunctionsAndFloorModGuardTheirEdges) {
    EXPECT_EQ((std::vector{ArcSin(1.0000001), ArcSin(-1.5), ArcCos(1.0), ArcCos(2.0)}),
              std::vector(4, 0.0));
    EXPECT_NEAR(ArcSin(-1.0), -kPi / 2.0, 1e-12);
    EXPECT_NEAR(ArcCos(-0.5), 2.0 * kPi / 3.0, 1e-12);
    EXPECT_NEAR(ArcCos(-1.0), kPi, 1e-12);
    EXPECT_EQ((std::vector{FloorMod(370.0, 360.0), FloorMod(-1.0, 360.0), FloorMod(-720.0, 360.0)}),
              (std::vector{10.0, 359.0, 0.0}));
    EXPECT_NEAR(FloorMod(-0.5, 2.0 * kPi), 2.0 * kPi - 0.5, 1e-12);
}

// Distances are whole miles (far apart points take the law-of-cosines branch) or feet, 6080
// to the mile and stopping at 32767. Widths in percent of the scope round both steps halves
// to even.
TEST(GeodesyTest, DistancesInWholeMilesAndCappedFeetWidthsRoundHalvesToEven) {
    EXPECT_EQ(
        (std::vector{DistanceNm({45.0, 7.0}, {45.0, 7.0}), DistanceNm({10.0, 20.0}, {11.0, 20.0}),
                     DistanceNm({0.0, 0.0}, {0.0, 1.0}), DistanceNm({0.0, 0.0}, {0.0, 90.0}),
                     DistanceNm({0.0, -90.0}, {0.0, 90.0})}),
        (std::vector<int16_t>{0, 60, 60, 5400, 10800}));
    EXPECT_EQ(
        (std::vector{DistanceFt({0.0, 0.0}, {0.01, 0.0}), DistanceFt({30.0, 30.0}, {30.0, 30.0}),
                     DistanceFt({0.0, 0.0}, {0.1, 0.0}), DistanceFt({0.0, 0.0}, {80.0, 0.0})}),
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
    EXPECT_EQ((std::vector{MagneticCourse({0.0, 0.0}, {1.0, 0.0}, grid),
                           MagneticCourse({0.0, 0.0}, {0.0, 1.0}, grid),
                           MagneticCourse({1.0, 0.0}, {0.0, 0.0}, grid),
                           MagneticCourse({0.0, 1.0}, {0.0, 0.0}, grid),
                           MagneticCourse({5.0, 5.0}, {5.0, 5.0}, grid)}),
              (std::vector<int16_t>{0, 91, 180, 270, 360}));
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt({5.0, 5.0}))] = 1820;  // 9 degrees east
    EXPECT_EQ(MagneticCourse({5.0, 5.0}, {5.0, 5.0}, grid), 351);
    EXPECT_EQ(MagneticCourse({5.0, 5.0}, {6.0, 5.0}, grid), 352);  // floored course 1
    EXPECT_EQ(MagneticCourse({6.0, 5.0}, {5.0, 5.0}, grid), 180);  // variation of 6 N is 0
    // Found by fuzzing the database reader: a taxi point at NaN (a damaged database) gave a
    // NaN course that was converted to a whole number. Such a course counts as north.
    EXPECT_EQ(MagneticCourse({NAN, 5.0}, {6.0, 5.0}, MagVarGrid{}), 360);
    EXPECT_EQ(MagneticCourse({5.0, 5.0}, {6.0, NAN}, MagVarGrid{}), 360);

    grid.values[static_cast<size_t>(MagVarGrid::IndexAt({40.0, -74.0}))] = -2366;  // -12.99 -> -12
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt({0.0, 0.0}))] = 1820;
    EXPECT_EQ((std::vector{
                  MagneticToTrue(90, {40.0, -74.0}, grid), MagneticToTrue(5, {40.0, -74.0}, grid),
                  MagneticToTrue(355, {0.0, 0.0}, grid), MagneticToTrue(351, {0.0, 0.0}, grid)}),
              (std::vector<int16_t>{78, 353, 4, 360}));
}

// Normalising corrects once each way; a magnetic heading subtracts the variation of the
// nearest grid cell (halves of latitude round to even) and wraps once.
TEST(HeadingsTest, NormaliseOnceEachWayAndMagneticHeadingsTakeTheNearestCellRoundingToEven) {
    for (const auto& [heading, normal] :
         {std::pair{-10, 350}, {-5, 355}, {360, 360}, {361, 1}, {365, 5}, {725, 365}, {0, 0}}) {
        EXPECT_EQ(NormaliseHeading(heading), normal) << heading;
    }
    MagVarGrid grid;
    grid.values[359 * 181 + 90] = 16384;  // 90 degrees: 1 W, equator
    EXPECT_EQ(MagneticHeading(100, {0.0, -0.6}, grid), 10);
    EXPECT_EQ(MagneticHeading(100, {0.0, -0.4}, grid), 100);  // rounds to longitude 0
    EXPECT_EQ(MagneticHeading(45, {0.0, -0.6}, grid), 315);   // 45 - 90 wraps once
    grid.values[0 * 181 + 90 + 90] = 1820;  // latitude 90: 9.997 degrees, truncated to 9
    grid.values[0 * 181 + 88 + 90] = -16384;
    EXPECT_EQ(MagneticHeading(100, {89.5, 0.0}, grid), 91);
    EXPECT_EQ(MagneticHeading(100, {88.5, 0.0}, grid), 190);
}

// The cell index rounds halves to even and wraps west longitudes; positions off the grid use
// the spare cell instead of overrunning. A variation truncates toward zero.
TEST(MagVarGridTest, IndexRoundsHalvesToEvenWrapsWestLongitudesAndKeepsOnTheGrid) {
    EXPECT_EQ(
        (std::vector{MagVarGrid::IndexAt({45.5, 10.5}), MagVarGrid::IndexAt({0.0, -0.5}),
                     MagVarGrid::IndexAt({0.0, -1.5}), MagVarGrid::IndexAt({0.0, -179.6}),
                     MagVarGrid::IndexAt({-90.0, 359.0}), MagVarGrid::IndexAt({90.0, 359.4})}),
        (std::vector{1946, 0 * 181 + 90, 358 * 181 + 90, 180 * 181 + 90, 359 * 181, 65159}));
    EXPECT_EQ(
        (std::vector{MagVarGrid::IndexAt({95.0, 359.6}), MagVarGrid::IndexAt({0.0, -400.0}),
                     MagVarGrid::IndexAt({0.0, 1.0e9}), MagVarGrid::IndexAt({1.0e300, -1.0e300})}),
        std::vector(4, MagVarGrid::kFilled));

    MagVarGrid grid;
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt({0, 0}))] = 16384;
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt({1, 0}))] = -182;
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt({2, 0}))] = -364;
    EXPECT_EQ((std::vector{grid.VariationDegreesAt({0, 0}), grid.VariationDegreesAt({1, 0}),
                           grid.VariationDegreesAt({2, 0})}),
              (std::vector{90, 0, -1}));
}

std::pair<double, double> LatLon(const GeoPoint& point) {
    return {point.latitude, point.longitude};
}

// The builder's and the scope's destinations are one step of a minute of arc to the mile;
// they differ in the unit, in a negative distance (the builder ignores its sign, the scope
// does not move) and in the rounding. The step itself is unrounded and stays at a pole.
TEST(DestinationsTest, BuilderAndScopeRoundTheSameUnroundedStepDifferently) {
    const GeoPoint builder = DestinationPoint({36.5, -97.25}, 45, 5 * 1852.0);
    const GeoPoint scope = DestinationNm({36.5, -97.25}, 45, 5);
    EXPECT_NEAR(builder.latitude, scope.latitude, 5.5e-6);
    EXPECT_NEAR(builder.longitude, scope.longitude, 5.5e-6);
    EXPECT_DOUBLE_EQ(builder.latitude * 1e6, std::round(builder.latitude * 1e6));
    EXPECT_DOUBLE_EQ(scope.latitude * 1e5, std::round(scope.latitude * 1e5));
    EXPECT_EQ(LatLon(DestinationFt({36.5, -97.25}, 45, 6080)),
              LatLon(DestinationNm({36.5, -97.25}, 45, 1)));
    EXPECT_EQ(LatLon(DestinationPoint({12.3456789, -45.6789012}, 90, 0.0)),
              std::pair(12.345679, -45.678901));
    EXPECT_NEAR(DestinationPoint({0.0, 10.0}, 90, 1852.0 * 30.0).longitude, 10.5, 1e-6);
    EXPECT_EQ(LatLon(DestinationNm({10.0, 20.0}, 360, 60)), std::pair(11.0, 20.0));
    EXPECT_NEAR(DestinationNm({0.0, -179.9}, 270, 30).longitude, 179.6,
                1e-9);  // over the date line
    EXPECT_EQ(LatLon(DestinationPoint({0.0, 10.0}, 90, -1852.0)),
              LatLon(DestinationPoint({0.0, 10.0}, 90, 1852.0)));
    EXPECT_EQ(LatLon(DestinationNm({10.123456, 20.654321}, 45, -5)), std::pair(10.12346, 20.65432));

    // From one start, each coordinate on its own gives DestinationPoint's, whatever the order
    // and number of bearings asked for.
    DestinationsFrom from({36.5, -97.25});
    for (const int16_t bearing : {0, 90, 180, 270, 45, 90, 315, 0, 200}) {
        EXPECT_EQ(std::pair(from.LatitudeAt(bearing, 700.0), from.LongitudeAt(bearing, -700.0)),
                  LatLon(DestinationPoint({36.5, -97.25}, bearing, 700.0)))
            << bearing;
    }

    const GeoPoint step = GreatCircleStep({10.0, 20.0}, 33.3, 1e-4);
    EXPECT_NE(step.latitude * 1e6, std::round(step.latitude * 1e6));
    const GeoPoint pole = GreatCircleStep({0.0, 42.0}, 0.0, kPi / 2);
    EXPECT_NEAR(pole.latitude, 90.0, 1e-9);
    EXPECT_EQ(pole.longitude, 42.0);
}

}  // namespace
}  // namespace scopewatch
