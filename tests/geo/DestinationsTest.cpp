#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "geo/Destinations.h"

namespace scopewatch {
namespace {

std::pair<double, double> LatLon(const GeoPoint& point) {
    return {point.latitude, point.longitude};
}

// The builder's and the scope's destinations are one step of a minute of arc to the mile;
// they differ in the unit, in a negative distance (the builder ignores its sign, the scope
// does not move) and in the rounding. The step itself is unrounded and stays at a pole.
TEST(DestinationsTest, BuilderAndScopeRoundTheSameUnroundedStepDifferently) {
    const GeoPoint builder = DestinationPoint(36.5, -97.25, 45, 5 * 1852.0);
    const GeoPoint scope = DestinationNm(36.5, -97.25, 45, 5);
    EXPECT_NEAR(builder.latitude, scope.latitude, 5.5e-6);
    EXPECT_NEAR(builder.longitude, scope.longitude, 5.5e-6);
    EXPECT_DOUBLE_EQ(builder.latitude * 1e6, std::round(builder.latitude * 1e6));
    EXPECT_DOUBLE_EQ(scope.latitude * 1e5, std::round(scope.latitude * 1e5));
    EXPECT_EQ(LatLon(DestinationFt(36.5, -97.25, 45, 6080)),
              LatLon(DestinationNm(36.5, -97.25, 45, 1)));
    EXPECT_EQ(LatLon(DestinationPoint(12.3456789, -45.6789012, 90, 0.0)),
              std::pair(12.345679, -45.678901));
    EXPECT_NEAR(DestinationPoint(0.0, 10.0, 90, 1852.0 * 30.0).longitude, 10.5, 1e-6);
    EXPECT_EQ(LatLon(DestinationNm(10.0, 20.0, 360, 60)), std::pair(11.0, 20.0));
    EXPECT_NEAR(DestinationNm(0.0, -179.9, 270, 30).longitude, 179.6, 1e-9);  // over the date line
    EXPECT_EQ(LatLon(DestinationPoint(0.0, 10.0, 90, -1852.0)),
              LatLon(DestinationPoint(0.0, 10.0, 90, 1852.0)));
    EXPECT_EQ(LatLon(DestinationNm(10.123456, 20.654321, 45, -5)), std::pair(10.12346, 20.65432));

    const GeoPoint step = GreatCircleStep({10.0, 20.0}, 33.3, 1e-4);
    EXPECT_NE(step.latitude * 1e6, std::round(step.latitude * 1e6));
    const GeoPoint pole = GreatCircleStep({0.0, 42.0}, 0.0, 3.14159265358979 / 2);
    EXPECT_NEAR(pole.latitude, 90.0, 1e-9);
    EXPECT_EQ(pole.longitude, 42.0);
}

}  // namespace
}  // namespace scopewatch
