#include <gtest/gtest.h>

#include <cmath>

#include "scope/ScopeView.h"

namespace scopewatch {
namespace {

double LonSpan(const ScopeView& v) {
    return v.East - v.West;
}
double LatSpan(const ScopeView& v) {
    return v.North - v.South;
}

TEST(ScopeViewTest, InitialViewIsLevelNineCentredOnTheAirport) {
    const ScopeView view = InitialView(800, 600, 8.55, 47.45);
    EXPECT_EQ(view.ZoomLevel, 9);
    EXPECT_EQ(view.WidthPx, 800);
    EXPECT_EQ(view.HeightPx, 600);
    EXPECT_NEAR(LonSpan(view), 1.40624921875, 1e-12);
    EXPECT_NEAR(LatSpan(view), 0.70312421875, 1e-12);
    EXPECT_NEAR((view.West + view.East) / 2, 8.55, 1e-12);
    EXPECT_NEAR((view.North + view.South) / 2, 47.45, 1e-12);
    EXPECT_EQ(ProjectToScope(view, 47.45, 8.55), (ScopePoint{400, 300}));
}

TEST(ScopeViewTest, EveryLevelHalvesTheSpans) {
    ScopeView view = InitialView(800, 600, 0.0, 0.0);
    while (view.ZoomLevel > 1) {
        ZoomOut(view);
    }
    EXPECT_NEAR(LonSpan(view), 359.9998, 1e-9);
    EXPECT_NEAR(LatSpan(view), 179.9998, 1e-9);
    while (ZoomIn(view)) {
        const double factor = std::pow(2.0, view.ZoomLevel - 1);
        EXPECT_NEAR(LonSpan(view), 359.9998 / factor, 1e-12) << view.ZoomLevel;
        EXPECT_NEAR(LatSpan(view), 179.9998 / factor, 1e-12) << view.ZoomLevel;
    }
    EXPECT_EQ(view.ZoomLevel, 20);
    EXPECT_NEAR(LonSpan(view), 0.0006866451263427734, 1e-15);
    EXPECT_NEAR(LatSpan(view), 0.0003433223724365234, 1e-15);
}

TEST(ScopeViewTest, ZoomStopsAtTheLimitsWithoutChangingTheView) {
    ScopeView view = InitialView(800, 600, 10.0, 20.0);
    while (ZoomIn(view)) {
    }
    const ScopeView finest = view;
    EXPECT_FALSE(ZoomIn(view));
    EXPECT_EQ(view, finest);

    while (ZoomOut(view)) {
    }
    EXPECT_EQ(view.ZoomLevel, 1);
    const ScopeView world = view;
    EXPECT_FALSE(ZoomOut(view));
    EXPECT_EQ(view, world);
    EXPECT_EQ(ZoomLabelText(view.ZoomLevel), "x1");
    EXPECT_EQ(ZoomLabelText(13), "x13");
}

TEST(ScopeViewTest, CentreViewKeepsTheSpansAndTheLevel) {
    ScopeView view = InitialView(640, 480, 0.0, 0.0);
    ZoomIn(view);
    const double lonSpan = LonSpan(view);
    const double latSpan = LatSpan(view);
    CentreView(view, -122.375, 37.619);
    EXPECT_EQ(view.ZoomLevel, 10);
    EXPECT_NEAR(LonSpan(view), lonSpan, 1e-12);
    EXPECT_NEAR(LatSpan(view), latSpan, 1e-12);
    EXPECT_EQ(ProjectToScope(view, 37.619, -122.375), (ScopePoint{320, 240}));
}

TEST(ScopeViewTest, ProjectionRoundsHalvesToEvenAndDoesNotClip) {
    ScopeView view;
    view.West = 0.0;
    view.East = 100.0;
    view.North = 50.0;
    view.South = 0.0;
    view.WidthPx = 10;
    view.HeightPx = 10;
    EXPECT_EQ(ProjectToScope(view, 50.0, 25.0).x, 2);  // 2.5
    EXPECT_EQ(ProjectToScope(view, 50.0, 35.0).x, 4);  // 3.5
    EXPECT_EQ(ProjectToScope(view, 37.5, 0.0).y, 2);   // 2.5
    EXPECT_EQ(ProjectToScope(view, 32.5, 0.0).y, 4);   // 3.5
    EXPECT_EQ(ProjectToScope(view, -50.0, -100.0), (ScopePoint{-10, 20}));
}

TEST(ScopeViewTest, NoWrappingAtTheDateLine) {
    ScopeView view = InitialView(1000, 500, -179.9, 0.0);
    const ScopePoint east = ProjectToScope(view, 0.0, 179.9);
    EXPECT_GT(east.x, 100 * view.WidthPx);
}

TEST(ScopeViewTest, PointerPositionsInvertTheProjection) {
    const ScopeView view = InitialView(1000, 800, -75.0, 40.0);
    const PointerPosition centre = PointerAt(view, 500, 400);
    EXPECT_NEAR(centre.longitude, -75.0, 1e-4);
    EXPECT_NEAR(centre.latitude, 40.0, 1e-4);
    const PointerPosition corner = PointerAt(view, 0, 0);
    EXPECT_FLOAT_EQ(corner.longitude, static_cast<float>(view.West));
    EXPECT_FLOAT_EQ(corner.latitude, static_cast<float>(view.North));
    const PointerPosition some = PointerAt(view, 123, 456);
    EXPECT_EQ(ProjectToScope(view, some.latitude, some.longitude), (ScopePoint{123, 456}));
}

TEST(ScopeViewTest, ReadoutNamesTheHemispheresFromTheSigns) {
    const CoordinateReadout southWest = ReadoutFor({-0.25F, -0.5F});
    EXPECT_EQ(southWest.longitudeText, "-0.25");
    EXPECT_EQ(southWest.latitudeText, "-0.5");
    EXPECT_EQ(southWest.eastWest, "W");
    EXPECT_EQ(southWest.northSouth, "S");

    const CoordinateReadout zero = ReadoutFor({-0.0F, 0.0F});
    EXPECT_EQ(zero.longitudeText, "0");
    EXPECT_EQ(zero.eastWest, "E");
    EXPECT_EQ(zero.northSouth, "N");

    EXPECT_EQ(ReadoutFor({8.549167F, 47.45833F}).longitudeText, "8.549167");
    EXPECT_EQ(ReadoutFor({-122.375F, 37.61899F}).latitudeText, "37.61899");
}

}  // namespace
}  // namespace scopewatch
