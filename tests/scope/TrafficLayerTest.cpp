#include <gtest/gtest.h>

#include "geo/Geodesy.h"
#include "scope/TrafficLayer.h"
#include "support/RecordingSurface.h"

namespace scopewatch {
namespace {

using Args = std::vector<int32_t>;

class TrafficLayerTest : public ::testing::Test {
  protected:
    void Add(const std::string& name, double lat, double lon, double heading, int32_t altitude) {
        traffic.trafficCount += 1;
        traffic.trafficTable[static_cast<size_t>(traffic.trafficCount)] = {
            name, altitude, heading, lon, lat, "", ""};
    }
    Args At(double lat, double lon) const {
        const ScopePoint p = ProjectToScope(view, lat, lon);
        return {p.x, p.y};
    }

    ScopeView view = InitialView(1200, 800, 8.5, 47.5);
    TrafficTable traffic;
    MagVarGrid grid;
    RecordingSurface surface;
};

// An empty table draws nothing and leaves the state; an aircraft is a filled dot, a heading
// line 500 ft long and a label, and the state is the default again afterwards.
TEST_F(TrafficLayerTest, DotHeadingLineAndLabel) {
    surface.DrawWidth(4);
    const DrawingState before = surface.State();
    DrawTraffic(surface, view, traffic, grid);
    EXPECT_TRUE(surface.calls().empty());
    EXPECT_EQ(surface.State(), before);

    surface.DrawWidth(1);
    Add("Pilot7", 47.5, 8.5, 270.0, 3500);
    DrawTraffic(surface, view, traffic, grid);
    const Args p = At(47.5, 8.5);
    const GeoPoint tip = DestinationFt(47.5, 8.5, 270, 500);
    const auto& calls = surface.calls();
    ASSERT_EQ(calls.size(), 4U);
    EXPECT_EQ(calls[0].args, (Args{p[0] - 12, p[1] + 12, p[0] + 12, p[1] - 12}));
    EXPECT_EQ(calls[0].state.fillStyle, kSolidFill);
    EXPECT_EQ(calls[0].state.fillColor, kScopeGreen);
    EXPECT_EQ(calls[1].args, p);
    EXPECT_EQ(calls[2].args, At(tip.latitude, tip.longitude));
    EXPECT_EQ(calls[3].text, "Pilot7 Hdg: 270 Alt: 3500");
    EXPECT_EQ(calls[3].args, p);
    EXPECT_EQ(surface.State(), DrawingState{});
}

// Positions at the ends of the wire's fields, at the finest zoom, put the aircraft far outside
// the scope, where its dot's corners still fit the drawing calls' coordinates.
TEST_F(TrafficLayerTest, AnAircraftThousandsOfDegreesAwayIsDrawnFarOutsideTheScope) {
    while (ZoomIn(view)) {
    }
    const double far = INT32_MIN * 360.0 / 40007000.0;  // about -19327 degrees
    Add("Far", far, far, 0.0, 0);
    Add("Away", -far, -far, 0.0, 0);
    DrawTraffic(surface, view, traffic, grid);
    const auto& calls = surface.calls();
    ASSERT_EQ(calls.size(), 8U);
    constexpr int32_t kFar = 1 << 30;
    const int32_t r = WidthPercentPx(0.8F, view.WidthPx);
    EXPECT_EQ(calls[0].args, (Args{-kFar - r, kFar + r, -kFar + r, kFar - r}));
    EXPECT_EQ(calls[4].args, (Args{kFar - r, -kFar + r, kFar + r, -kFar - r}));
}

// The heading line points along the true heading: the magnetic one plus the variation.
TEST_F(TrafficLayerTest, HeadingLineFollowsTheTrueHeading) {
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(47.5, 8.5))] = 3641;  // 20 degrees east
    Add("A", 47.5, 8.5, 70.0, 0);                                             // true 90
    Add("B", 47.5, 8.5, 340.0, 0);                                            // true 360
    Add("C", 47.5, 8.5, 0.0, 0);                                              // true 20
    Add("D", 47.5, 8.5, 360.0, 0);                                            // the same as 0
    while (view.ZoomLevel < 16) {
        ZoomIn(view);
    }
    DrawTraffic(surface, view, traffic, grid);
    const auto lines = surface.CallsOf(DrawOp::LineTo);
    const Args p = At(47.5, 8.5);
    EXPECT_GT(lines[0].args[0], p[0] + 50);
    EXPECT_NEAR(lines[0].args[1], p[1], 2);
    EXPECT_NEAR(lines[1].args[0], p[0], 2);
    EXPECT_LT(lines[1].args[1], p[1] - 50);
    EXPECT_GT(lines[2].args[0], p[0] + 20);
    EXPECT_EQ(lines[3].args, lines[2].args);
}

// Every entry in use is drawn, at most twenty whatever the count says, one not yet positioned
// at 0/0.
TEST_F(TrafficLayerTest, EveryEntryUpToTwentyIsDrawnWherePositioned) {
    Add("New", 0.0, 0.0, 0.0, 0);  // announced, not yet positioned
    for (int i = 1; i < TrafficTable::kCapacity; ++i) {
        Add("P" + std::to_string(i), 47.5, 8.5, 90.5, 100);
    }
    traffic.trafficCount = 25;
    DrawTraffic(surface, view, traffic, grid);
    const auto labels = surface.CallsOf(DrawOp::TextOutA);
    ASSERT_EQ(labels.size(), 20U);
    EXPECT_EQ(labels[0].text, "New Hdg: 0 Alt: 0");
    EXPECT_EQ(labels[0].args, At(0.0, 0.0));
    EXPECT_EQ(labels[1].text, "P1 Hdg: 90.5 Alt: 100");
}

}  // namespace
}  // namespace scopewatch
