// The scope's controls without a window: a click against a drag, the wheel's notches and the
// point it keeps under the pointer, the arrows' quarter steps and the aircraft a click picks.

#include <gtest/gtest.h>

#include "geo/Geodesy.h"
#include "scope/LabelPlacement.h"
#include "scope/PointerGestures.h"
#include "scope/PointerInfo.h"
#include "scope/TrafficLayer.h"

namespace scopewatch {
namespace {

// Released within 4 pixels of the press it is a click, even after a wander back; a release
// without a press is none.
TEST(ScopeControls, APressReleasedWithinAFewPixelsIsAClickAndAWanderIsADrag) {
    ClickOrDrag button;
    button.Press(100, 100);
    button.Move(102, 103);
    EXPECT_FALSE(button.dragging());
    EXPECT_TRUE(button.ReleaseIsClick(103, 102));
    button.Press(100, 100);
    button.Move(104, 103);  // 5 pixels away
    EXPECT_TRUE(button.dragging());
    EXPECT_FALSE(button.ReleaseIsClick(100, 100));
    EXPECT_FALSE(button.ReleaseIsClick(100, 100));
    button.Press(10, 10);
    EXPECT_FALSE(button.ReleaseIsClick(10, 15));
}

// A notch is 120; finer turns add up, and a turn back takes them away first.
TEST(ScopeControls, TheWheelTurnsInWholeNotches) {
    WheelNotches wheel;
    EXPECT_EQ(wheel.Turn(240), 2);
    EXPECT_EQ(wheel.Turn(60), 0);
    EXPECT_EQ(wheel.Turn(60), 1);
    EXPECT_EQ(wheel.Turn(-90), 0);
    EXPECT_EQ(wheel.Turn(-60), -1);
}

// At several levels, each notch in or out leaves the position under the pointer on its pixel
// and steps one level, as the buttons do; the ends of the levels stop it. An arrow moves the
// view by a quarter of the scope.
TEST(ScopeControls, TheWheelKeepsThePointUnderThePointerAndTheArrowsMoveAQuarter) {
    for (const int16_t level : {2, 9, 13, 19}) {
        ScopeView view = InitialView(1000, 700, {36.4, -97.0});
        while (view.ZoomLevel != level) {
            view.ZoomLevel < level ? ZoomIn(view) : ZoomOut(view);
        }
        for (const bool in : {true, false}) {
            const GeoPoint under{view.North - 0.87 * (view.North - view.South),
                                 view.West + 0.16 * (view.East - view.West)};  // at 160, 609
            const double width = view.East - view.West;
            ASSERT_TRUE(ZoomAbout(view, in, 160, 609));
            EXPECT_EQ(ProjectToScope(view, under), (ScopePoint{160, 609})) << level;
            EXPECT_NEAR(view.East - view.West, in ? width / 2 : width * 2, width * 1e-9);
        }
    }
    ScopeView finest = InitialView(1000, 700, {36.4, -97.0});
    while (ZoomIn(finest)) {
    }
    EXPECT_FALSE(ZoomAbout(finest, true, 10, 10));
    const ScopeView before = finest;
    PanView(finest, 1, -1);
    const double width = before.East - before.West;
    EXPECT_NEAR(finest.West - before.West, width / 4, width * 1e-9);
    EXPECT_NEAR(finest.North - before.North, (before.North - before.South) / 4, width * 1e-9);
}

// A click picks the nearest dot within its radius and 3 pixels more; the altitude filter's
// hidden aircraft cannot be picked.
TEST(ScopeControls, AClickPicksTheNearestShownDot) {
    LoadedAirportData airport;
    const ScopeView view = InitialView(1000, 700, {36.4, -97.0});
    TrafficTable traffic;
    traffic.trafficCount = 2;
    traffic.trafficTable[1] = {"LOW", 1000, 0, -97.0, 36.4, "", ""};
    traffic.trafficTable[2] = {"HIGH", 9000, 0, -97.0, 36.4, "", ""};
    const ScopePoint dot = ProjectToScope(view, {36.4, -97.0});
    ControllerAids choices;
    TrackHistory history;
    LabelPlacer labels;
    const ScopeAids aids{choices, history, labels};
    const ScopeScene scene{view, airport, traffic, {}, {}, &aids};
    const int32_t reach = AircraftDotRadius(view) + 3;
    EXPECT_EQ(AircraftAt(scene, dot.x + reach, dot.y), "HIGH");
    EXPECT_EQ(AircraftAt(scene, dot.x, dot.y - reach - 1), "");
    choices.altitudeFilter = true;
    choices.altitudeBand = {0, 5000};
    EXPECT_EQ(AircraftAt(scene, dot.x, dot.y + 1), "LOW");
}

}  // namespace
}  // namespace scopewatch
