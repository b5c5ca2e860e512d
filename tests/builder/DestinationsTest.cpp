#include <gtest/gtest.h>

#include <cmath>

#include "builder/Destinations.h"

namespace scopewatch {
namespace {

// The builder's and the scope's destinations are one step; they differ in the unit, in a
// negative distance and in the rounding.
TEST(DestinationsTest, BuilderAndScopeRoundTheSameStepDifferently) {
    const GeoPoint builder = DestinationPoint(36.5, -97.25, 45, 5 * 1852.0);
    const GeoPoint scope = DestinationNm(36.5, -97.25, 45, 5);
    EXPECT_NEAR(builder.latitude, scope.latitude, 5.5e-6);
    EXPECT_NEAR(builder.longitude, scope.longitude, 5.5e-6);
    EXPECT_DOUBLE_EQ(builder.latitude * 1e6, std::round(builder.latitude * 1e6));
    EXPECT_DOUBLE_EQ(scope.latitude * 1e5, std::round(scope.latitude * 1e5));
    const GeoPoint feet = DestinationFt(36.5, -97.25, 45, 6080);
    const GeoPoint mile = DestinationNm(36.5, -97.25, 45, 1);
    EXPECT_EQ(feet.latitude, mile.latitude);
    EXPECT_EQ(feet.longitude, mile.longitude);

    // The builder ignores the sign of a distance; the scope does not move.
    EXPECT_EQ(DestinationPoint(0.0, 10.0, 90, -1852.0).longitude,
              DestinationPoint(0.0, 10.0, 90, 1852.0).longitude);
    EXPECT_EQ(DestinationNm(36.5, -97.25, 90, -3).longitude, -97.25);
}

TEST(DestinationsTest, TheStepIsUnroundedAndStaysAtAPole) {
    const GeoPoint step = GreatCircleStep({10.0, 20.0}, 33.3, 1e-4);
    EXPECT_NE(step.latitude * 1e6, std::round(step.latitude * 1e6));
    EXPECT_NEAR(GreatCircleStep({0.0, 0.0}, 0.0, 3.14159265358979 / 2).latitude, 90.0, 1e-9);
    EXPECT_EQ(GreatCircleStep({0.0, 42.0}, 0.0, 3.14159265358979 / 2).longitude, 42.0);
}

}  // namespace
}  // namespace scopewatch
