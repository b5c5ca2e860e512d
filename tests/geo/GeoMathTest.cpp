#include <gtest/gtest.h>

#include <cmath>

#include "geo/GeoMath.h"

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

}  // namespace
}  // namespace scopewatch
