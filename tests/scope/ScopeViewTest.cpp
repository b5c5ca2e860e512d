#include <gtest/gtest.h>

#include <cmath>

#include "scope/ScopeView.h"
#include "support/CommaDecimalLocale.h"

namespace scopewatch {
namespace {

// The initial view is level 9 centred on the airport; centring keeps the level and spans.
// Every level halves the spans about the centre, from the whole world at 1 to level 20; a
// zoom past either limit changes nothing.
TEST(ScopeViewTest, InitialViewIsLevelNineAndEveryLevelHalvesTheSpansUpToTheLimits) {
    ScopeView view = InitialView(800, 600, 8.55, 47.45);
    EXPECT_EQ(view.ZoomLevel, 9);
    EXPECT_NEAR(view.North - view.South, 0.70312421875, 1e-12);
    EXPECT_EQ(ProjectToScope(view, 47.45, 8.55), (ScopePoint{400, 300}));
    CentreView(view, 10.0, 20.0);
    EXPECT_EQ(view.ZoomLevel, 9);
    EXPECT_NEAR(view.East - view.West, 1.40624921875, 1e-12);
    EXPECT_EQ(ProjectToScope(view, 20.0, 10.0), (ScopePoint{400, 300}));

    while (ZoomOut(view)) {
    }
    const ScopeView world = view;
    EXPECT_FALSE(ZoomOut(view));
    EXPECT_EQ(view, world);
    EXPECT_EQ(view.ZoomLevel, 1);
    EXPECT_NEAR(view.East - view.West, 359.9998, 1e-9);
    while (ZoomIn(view)) {
        const double factor = std::pow(2.0, view.ZoomLevel - 1);
        EXPECT_NEAR(view.East - view.West, 359.9998 / factor, 1e-12) << view.ZoomLevel;
        EXPECT_NEAR(view.North - view.South, 179.9998 / factor, 1e-12) << view.ZoomLevel;
        EXPECT_NEAR((view.West + view.East) / 2, 10.0, 1e-9);
    }
    const ScopeView finest = view;
    EXPECT_FALSE(ZoomIn(view));
    EXPECT_EQ(view, finest);
    EXPECT_EQ(ZoomLabelText(view.ZoomLevel), "x20");
}

// Projection rounds halves to even, neither clips nor wraps, and pointer positions invert it.
// Found by fuzzing: a damaged file can put a position anywhere; its point stays far outside
// the scope, with room left for the dot or text a layer draws around it, and a whole turn
// away at the finest level is still told apart from that clamp.
TEST(ScopeViewTest, ProjectionRoundsHalvesToEvenInvertsAndKeepsAbsurdPositionsFarOutside) {
    ScopeView view{0.0, 50.0, 100.0, 0.0, 10, 10, 0.0, 0.0, 1};
    EXPECT_EQ(ProjectToScope(view, 37.5, 25.0), (ScopePoint{2, 2}));  // 2.5, 2.5
    EXPECT_EQ(ProjectToScope(view, 32.5, 35.0), (ScopePoint{4, 4}));  // 3.5, 3.5
    EXPECT_EQ(ProjectToScope(view, -50.0, -100.0), (ScopePoint{-10, 20}));
    const ScopeView dateLine = InitialView(1000, 500, -179.9, 0.0);
    EXPECT_GT(ProjectToScope(dateLine, 0.0, 179.9).x, 100 * dateLine.WidthPx);
    const ScopeView airport = InitialView(1000, 800, -75.0, 40.0);
    const PointerPosition some = PointerAt(airport, 123, 456);
    EXPECT_EQ(ProjectToScope(airport, some.latitude, some.longitude), (ScopePoint{123, 456}));
    EXPECT_FLOAT_EQ(PointerAt(airport, 0, 0).longitude, static_cast<float>(airport.West));

    constexpr int32_t kFar = 1 << 30;
    EXPECT_EQ(ProjectToScope(airport, -1.0e300, 1.0e300), (ScopePoint{kFar, kFar}));
    EXPECT_EQ(ProjectToScope(airport, INFINITY, -INFINITY), (ScopePoint{-kFar, -kFar}));
    EXPECT_EQ(ProjectToScope(airport, NAN, NAN), (ScopePoint{0, 0}));
    ScopeView finest = airport;
    while (ZoomIn(finest)) {
    }
    EXPECT_LT(ProjectToScope(finest, 40.0, -75.0 + 360.0).x, kFar);
}

// The readout names the hemispheres from the signs (minus zero is east) in shortest form.
TEST(ScopeViewTest, ReadoutNamesTheHemispheresFromTheSigns) {
    const CoordinateReadout southWest = ReadoutFor({-0.25F, -0.5F});
    EXPECT_EQ(southWest.longitudeText + " " + southWest.latitudeText, "-0.25 -0.5");
    EXPECT_EQ(southWest.eastWest + southWest.northSouth, "WS");
    const CoordinateReadout zero = ReadoutFor({-0.0F, 0.0F});
    EXPECT_EQ(zero.longitudeText + " " + zero.eastWest + zero.northSouth, "0 EN");
    EXPECT_EQ(ReadoutFor({8.549167F, 47.45833F}).longitudeText, "8.549167");
}

// Qt applies the user's locale at start-up; the readout keeps its decimal point.
TEST(ScopeViewTest, ReadoutKeepsTheDecimalPointUnderACommaDecimalLocale) {
    const testing::CommaDecimalLocale comma;
    if (!comma.active()) {
        GTEST_SKIP() << testing::CommaDecimalLocale::skipReason();
    }
    EXPECT_EQ(ReadoutFor({8.549167F, 47.45833F}).latitudeText, "47.45833");
}

}  // namespace
}  // namespace scopewatch
