#include <gtest/gtest.h>

#include <cmath>

#include "demo/DemoLayout.h"

namespace scopewatch::demo {
namespace {

using scenery::BglTaxiSegment;

// A layout whose axis points true north: u is metres north, v metres east.
class DemoLayoutTest : public ::testing::Test {
  protected:
    // The index of the taxi point at metres north and east; -1 when there is none.
    int32_t PointAt(double north, double east) const {
        for (size_t i = 0; i < airport.taxiPoints.size(); ++i) {
            const auto& point = airport.taxiPoints[i];
            if (std::abs(point.northM - north) < 0.01 && std::abs(point.eastM - east) < 0.01) {
                return static_cast<int32_t>(i);
            }
        }
        return -1;
    }
    size_t Count(int32_t kind, const std::string& name) const {
        return std::count_if(airport.taxiSegments.begin(), airport.taxiSegments.end(),
                             [&](const BglTaxiSegment& segment) {
                                 return segment.kind == kind &&
                                        (kind != 0 || airport.taxiwayNames.at(static_cast<size_t>(
                                                          segment.nameIndex)) == name);
                             });
    }

    scenery::BglAirport airport;
    AirportLayout layout{airport, 0.0};
};

// Taxiways, lanes and runways are cut into segments only where another line joins or crosses;
// points on a runway's centreline are runway points.
TEST_F(DemoLayoutTest, LinesAreCutOnlyWhereOthersJoinOrCrossThem) {
    // A 3 km taxiway with a connector ending on it and one crossing it; an unnamed lane with
    // a parking off its middle; a runway that the connector B crosses.
    layout.AddTaxiway("A", {{0, 0}, {3000, 0}});
    layout.AddTaxiway("A1", {{1000, 0}, {1000, 200}});
    layout.AddTaxiway("B", {{2000, -200}, {2000, 1200}});
    layout.AddApronLane({{3000, 0}, {3000, -400}});
    layout.AddParking({3100, -200}, {3000, -200}, 10, 1);
    const size_t runway = layout.AddRunway({2000, 1000}, 0, 4000, 100, 36, 0);
    layout.Finish();

    EXPECT_EQ(Count(0, "A"), 3u);
    EXPECT_EQ(Count(0, "A1"), 1u);
    EXPECT_EQ(Count(0, "B"), 3u);
    EXPECT_EQ(Count(0, ""), 2u);
    EXPECT_EQ(Count(1, ""), 2u);  // the runway, cut only where B crosses it
    EXPECT_EQ(airport.taxiSegments.back().kind, 2);
    EXPECT_EQ(airport.taxiSegments.back().firstIndex, PointAt(3000, -200));
    EXPECT_GE(PointAt(2000, 0), 0);
    // Points on a runway's centreline are runway points, others are not.
    const auto [south, north] = layout.RunwayEnds(runway);
    EXPECT_NEAR(north.u - south.u, 4000 * 0.3048 - 60.0, 1e-6);
    for (const int32_t index : {PointAt(2000, 1000), PointAt(south.u, south.v)}) {
        ASSERT_GE(index, 0);
        EXPECT_EQ(airport.taxiPoints[static_cast<size_t>(index)].pointWord, 1);
    }
    EXPECT_EQ(airport.taxiPoints[static_cast<size_t>(PointAt(2000, 0))].pointWord, 0);
    EXPECT_EQ(airport.taxiwayNames, (std::vector<std::string>{"A", "A1", "B", ""}));
}

// A corner becomes an arc of the given radius, shrunk on a short leg; a line that does not
// turn keeps its point.
TEST_F(DemoLayoutTest, TurnsBecomeShortArcsThatMeetTheStraightsTangentially) {
    // A right-angle corner with a 200 m radius: two 45 degree pieces from (800, 0) round
    // the centre (800, 200) to (1000, 200); the corner point itself is not a taxi point.
    layout.AddTaxiway("G", {{0, 0}, {1000, 0}, {1000, 1000}}, 200.0);
    // On a 100 m leg the arc shrinks to take half of it; a line that does not turn keeps
    // its point.
    layout.AddTaxiway("K", {{3000, 0}, {3100, 0}, {3100, 1000}}, 200.0);
    layout.AddTaxiway("M", {{5000, 0}, {5000, 500}, {5000, 900}}, 200.0);
    layout.Finish();

    EXPECT_EQ(PointAt(1000, 0), -1);
    EXPECT_EQ(Count(0, "G"), 4u);
    for (const auto& point : airport.taxiPoints) {
        if (point.northM > 800.0 && point.northM < 1000.0) {
            EXPECT_NEAR(std::hypot(point.northM - 800, point.eastM - 200), 200.0, 1e-6);
        }
    }
    EXPECT_GE(PointAt(800, 0), 0);
    EXPECT_GE(PointAt(1000, 200), 0);
    EXPECT_GE(PointAt(3050, 0), 0);
    EXPECT_GE(PointAt(3100, 50), 0);
    EXPECT_GE(PointAt(5000, 500), 0);
}

}  // namespace
}  // namespace scopewatch::demo
