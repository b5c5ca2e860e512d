#include <gtest/gtest.h>

#include "multiplayer/TrafficLayer.h"
#include "scope/Geodesy.h"
#include "scope/RecordingSurface.h"

namespace scopewatch {
namespace {

class TrafficLayerTest : public ::testing::Test {
  protected:
    TrafficRecord& Add(const std::string& name, double lat, double lon, double heading,
                       int32_t altitude) {
        traffic.trafficCount += 1;
        TrafficRecord& entry = traffic.trafficTable[static_cast<size_t>(traffic.trafficCount)];
        entry = {name, altitude, heading, lon, lat, "", ""};
        return entry;
    }

    ScopeView view = InitialView(1200, 800, 8.5, 47.5);
    TrafficTable traffic;
    MagVarGrid grid;
    RecordingSurface surface;
};

TEST_F(TrafficLayerTest, EmptyTableDrawsNothingAndKeepsTheState) {
    surface.DrawWidth(4);
    surface.ForeColor(kWhite);
    const DrawingState before = surface.State();
    DrawTraffic(surface, view, traffic, grid);
    EXPECT_TRUE(surface.calls().empty());
    EXPECT_EQ(surface.State(), before);
}

TEST_F(TrafficLayerTest, DotHeadingLineAndLabel) {
    Add("Pilot7", 47.5, 8.5, 270.0, 3500);
    DrawTraffic(surface, view, traffic, grid);
    const ScopePoint p = ProjectToScope(view, 47.5, 8.5);
    const GeoPoint tip = DestinationFt(47.5, 8.5, 270, 500);
    const ScopePoint t = ProjectToScope(view, tip.latitude, tip.longitude);
    const auto& calls = surface.calls();
    ASSERT_EQ(calls.size(), 4U);
    EXPECT_EQ(calls[0].op, DrawOp::Ellipse);
    EXPECT_EQ(calls[0].args, (std::vector<int32_t>{p.x - 12, p.y + 12, p.x + 12, p.y - 12}));
    EXPECT_EQ(calls[0].state.fillStyle, kSolidFill);
    EXPECT_EQ(calls[0].state.fillColor, kScopeGreen);
    EXPECT_EQ(calls[1].args, (std::vector<int32_t>{p.x, p.y}));
    EXPECT_EQ(calls[2].args, (std::vector<int32_t>{t.x, t.y}));
    EXPECT_EQ(calls[3].text, "Pilot7 Hdg: 270 Alt: 3500");
    EXPECT_EQ(calls[3].args, (std::vector<int32_t>{p.x, p.y}));
    EXPECT_EQ(calls[3].state.foreColor, kScopeGreen);
    EXPECT_EQ(surface.State(), DrawingState{});
}

TEST_F(TrafficLayerTest, HeadingLineFollowsTheTrueHeading) {
    // 20 degrees of east variation: magnetic 70 is true 90, due east.
    grid.values[static_cast<size_t>(MagVarGrid::IndexAt(47.5, 8.5))] = 3641;
    Add("A", 47.5, 8.5, 70.0, 0);
    Add("B", 47.5, 8.5, 340.0, 0);
    Add("C", 47.5, 8.5, 0.0, 0);
    while (view.ZoomLevel < 16) {
        ZoomIn(view);
    }
    DrawTraffic(surface, view, traffic, grid);
    const auto lines = surface.CallsOf(DrawOp::LineTo);
    ASSERT_EQ(lines.size(), 3U);
    const ScopePoint p = ProjectToScope(view, 47.5, 8.5);
    EXPECT_GT(lines[0].args[0], p.x + 50);
    EXPECT_NEAR(lines[0].args[1], p.y, 2);
    // Magnetic 340 and 0 read 360 and 20 true; 360 draws like 0, due north.
    EXPECT_NEAR(lines[1].args[0], p.x, 2);
    EXPECT_LT(lines[1].args[1], p.y - 50);
    EXPECT_GT(lines[2].args[0], p.x + 20);
}

TEST_F(TrafficLayerTest, UnpositionedAircraftIsDrawnAtZeroZero) {
    Add("New", 0.0, 0.0, 0.0, 0);
    DrawTraffic(surface, view, traffic, grid);
    const ScopePoint origin = ProjectToScope(view, 0.0, 0.0);
    EXPECT_EQ(surface.Texts(), std::vector<std::string>{"New Hdg: 0 Alt: 0"});
    EXPECT_EQ(surface.CallsOf(DrawOp::TextOutA)[0].args,
              (std::vector<int32_t>{origin.x, origin.y}));
}

TEST_F(TrafficLayerTest, CountBeyondTheTableDrawsOnlyItsTwentyEntries) {
    for (int i = 0; i < TrafficTable::kCapacity; ++i) {
        Add("P" + std::to_string(i), 47.5, 8.5, 90.5, 100);
    }
    traffic.trafficCount = 25;
    DrawTraffic(surface, view, traffic, grid);
    EXPECT_EQ(surface.Texts().size(), 20U);
    EXPECT_EQ(surface.Texts()[0], "P0 Hdg: 90.5 Alt: 100");
}

}  // namespace
}  // namespace scopewatch
