#include <gtest/gtest.h>

#include <cmath>

#include "scope/ScopeView.h"
#include "support/CommaDecimalLocale.h"

namespace scopewatch {
namespace {

double LonSpan(const ScopeView& v) {
    return v.East - v.West;
}
double LatSpan(const ScopeView& v) {
    return v.North - v.South;
}

TEST(ScopeViewTest, InitialViewIsLevelNineCentredOnTheAirportAndCentringKeepsTheSpans) {
    ScopeView view = InitialView(800, 600, 8.55, 47.45);
    EXPECT_EQ(view.ZoomLevel, 9);
    EXPECT_NEAR(LonSpan(view), 1.40624921875, 1e-12);
    EXPECT_NEAR(LatSpan(view), 0.70312421875, 1e-12);
    EXPECT_EQ(ProjectToScope(view, 47.45, 8.55), (ScopePoint{400, 300}));
    CentreView(view, -122.375, 37.619);
    EXPECT_EQ(view.ZoomLevel, 9);
    EXPECT_NEAR(LonSpan(view), 1.40624921875, 1e-12);
    EXPECT_EQ(ProjectToScope(view, 37.619, -122.375), (ScopePoint{400, 300}));
}

TEST(ScopeViewTest, EveryLevelHalvesTheSpansUpToTheLimits) {
    ScopeView view = InitialView(800, 600, 10.0, 20.0);
    while (ZoomOut(view)) {
    }
    EXPECT_EQ(view.ZoomLevel, 1);
    const ScopeView world = view;
    EXPECT_FALSE(ZoomOut(view));
    EXPECT_EQ(view, world);
    EXPECT_NEAR(LonSpan(view), 359.9998, 1e-9);
    while (ZoomIn(view)) {
        const double factor = std::pow(2.0, view.ZoomLevel - 1);
        EXPECT_NEAR(LonSpan(view), 359.9998 / factor, 1e-12) << view.ZoomLevel;
        EXPECT_NEAR(LatSpan(view), 179.9998 / factor, 1e-12) << view.ZoomLevel;
        EXPECT_NEAR((view.West + view.East) / 2, 10.0, 1e-9);
    }
    const ScopeView finest = view;
    EXPECT_FALSE(ZoomIn(view));
    EXPECT_EQ(view, finest);
    EXPECT_EQ(view.ZoomLevel, 20);
    EXPECT_EQ(ZoomLabelText(view.ZoomLevel), "x20");
}

TEST(ScopeViewTest, ProjectionRoundsHalvesToEvenWithoutClippingOrWrappingAndInverts) {
    ScopeView view{0.0, 50.0, 100.0, 0.0, 10, 10, 0.0, 0.0, 1};
    EXPECT_EQ(ProjectToScope(view, 37.5, 25.0), (ScopePoint{2, 2}));  // 2.5, 2.5
    EXPECT_EQ(ProjectToScope(view, 32.5, 35.0), (ScopePoint{4, 4}));  // 3.5, 3.5
    EXPECT_EQ(ProjectToScope(view, -50.0, -100.0), (ScopePoint{-10, 20}));
    const ScopeView dateLine = InitialView(1000, 500, -179.9, 0.0);
    EXPECT_GT(ProjectToScope(dateLine, 0.0, 179.9).x, 100 * dateLine.WidthPx);
    // Pointer positions invert it.
    const ScopeView airport = InitialView(1000, 800, -75.0, 40.0);
    const PointerPosition some = PointerAt(airport, 123, 456);
    EXPECT_EQ(ProjectToScope(airport, some.latitude, some.longitude), (ScopePoint{123, 456}));
    EXPECT_FLOAT_EQ(PointerAt(airport, 0, 0).longitude, static_cast<float>(airport.West));
}

// A damaged file can put a position anywhere: its point stays far outside the scope, with
// room left for the dot or text a layer draws around it.
TEST(ScopeViewTest, AbsurdPositionsProjectFarOutsideWithRoomToSpare) {
    const ScopeView view = InitialView(800, 600, -97.0, 36.4);
    constexpr int32_t kFar = 1 << 30;
    EXPECT_EQ(ProjectToScope(view, -1.0e300, 1.0e300), (ScopePoint{kFar, kFar}));
    EXPECT_EQ(ProjectToScope(view, INFINITY, -INFINITY), (ScopePoint{-kFar, -kFar}));
    EXPECT_EQ(ProjectToScope(view, NAN, NAN), (ScopePoint{0, 0}));
    // A whole turn away at the finest level is still told apart from the clamp.
    ScopeView finest = view;
    while (ZoomIn(finest)) {
    }
    EXPECT_LT(ProjectToScope(finest, 36.4, -97.0 + 360.0).x, kFar);
}

TEST(ScopeViewTest, ReadoutNamesTheHemispheresFromTheSigns) {
    const CoordinateReadout southWest = ReadoutFor({-0.25F, -0.5F});
    EXPECT_EQ(southWest.longitudeText, "-0.25");
    EXPECT_EQ(southWest.latitudeText, "-0.5");
    EXPECT_EQ(southWest.eastWest + southWest.northSouth, "WS");
    const CoordinateReadout zero = ReadoutFor({-0.0F, 0.0F});
    EXPECT_EQ(zero.longitudeText, "0");
    EXPECT_EQ(zero.eastWest + zero.northSouth, "EN");
    EXPECT_EQ(ReadoutFor({8.549167F, 47.45833F}).longitudeText, "8.549167");
}

TEST(ScopeViewTest, ReadoutKeepsTheDecimalPointUnderACommaDecimalLocale) {
    const testing::CommaDecimalLocale comma;
    if (!comma.active()) {
        GTEST_SKIP() << testing::CommaDecimalLocale::skipReason();
    }
    EXPECT_EQ(ReadoutFor({8.549167F, 47.45833F}).latitudeText, "47.45833");
}

}  // namespace
}  // namespace scopewatch
