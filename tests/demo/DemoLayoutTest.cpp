#include <gtest/gtest.h>

#include <cmath>

#include "demo/DemoLayout.h"

namespace scopewatch::demo {
namespace {

using scenery::BglAirport;
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
    std::vector<BglTaxiSegment> SegmentsNamed(const std::string& name) const {
        std::vector<BglTaxiSegment> named;
        for (const BglTaxiSegment& segment : airport.taxiSegments) {
            if (segment.kind == 0 && airport.taxiwayNames.at(segment.nameIndex) == name) {
                named.push_back(segment);
            }
        }
        return named;
    }
    // How many taxiway and runway segments meet at the point.
    int Degree(int32_t point) const {
        int degree = 0;
        for (const BglTaxiSegment& segment : airport.taxiSegments) {
            if (segment.kind != 2) {
                degree += (segment.firstIndex == point) + (segment.secondIndex == point);
            }
        }
        return degree;
    }

    BglAirport airport;
    AirportLayout layout{airport, 0.0};
};

TEST_F(DemoLayoutTest, StraightStretchesRunFromJunctionToJunctionInOnePiece) {
    // A 3 km taxiway with two connectors ending on it and one gate lane off its end.
    layout.AddTaxiway("A", {{0, 0}, {3000, 0}});
    layout.AddTaxiway("A1", {{1000, 0}, {1000, 200}});
    layout.AddTaxiway("A2", {{2000, 200}, {2000, 0}});
    layout.AddApronLane({{3000, 0}, {3000, -400}});
    layout.AddParking({3100, -200}, {3000, -200}, 10, 1);
    layout.Finish();

    EXPECT_EQ(airport.taxiPoints.size(), 8u);
    EXPECT_EQ(SegmentsNamed("A").size(), 3u);
    EXPECT_EQ(SegmentsNamed("A1").size(), 1u);
    EXPECT_EQ(SegmentsNamed("").size(), 2u);  // the lane, cut where its parking joins
    EXPECT_EQ(Degree(PointAt(1000, 0)), 3);
    EXPECT_EQ(Degree(PointAt(2000, 0)), 3);
    const BglTaxiSegment& spur = airport.taxiSegments.back();
    EXPECT_EQ(spur.kind, 2);
    EXPECT_EQ(spur.firstIndex, PointAt(3000, -200));
    EXPECT_EQ(spur.secondIndex, 0);
    EXPECT_EQ(airport.taxiwayNames, (std::vector<std::string>{"A", "A1", "A2", ""}));
}

TEST_F(DemoLayoutTest, LinesThatCrossShareThePointAndRunwayPointsAreMarked) {
    // B crosses A in an X; C crosses the runway, whose ends are runway points.
    layout.AddTaxiway("A", {{-100, 0}, {100, 0}});
    layout.AddTaxiway("B", {{0, -100}, {0, 100}});
    const size_t runway = layout.AddRunway({0, 1000}, 0, 4000, 100, 36, 0);
    layout.AddTaxiway("C", {{0, 900}, {0, 1100}});
    layout.Finish();

    const int32_t middle = PointAt(0, 0);
    ASSERT_GE(middle, 0);
    EXPECT_EQ(Degree(middle), 4);
    EXPECT_EQ(SegmentsNamed("A").size(), 2u);
    EXPECT_EQ(SegmentsNamed("B").size(), 2u);
    const int32_t crossing = PointAt(0, 1000);
    ASSERT_GE(crossing, 0);
    EXPECT_EQ(airport.taxiPoints[static_cast<size_t>(crossing)].pointWord, 1);
    EXPECT_EQ(airport.taxiPoints[static_cast<size_t>(PointAt(0, 900))].pointWord, 0);
    int runwaySegments = 0;
    for (const BglTaxiSegment& segment : airport.taxiSegments) {
        runwaySegments += segment.kind == 1;
        if (segment.kind == 1) {
            EXPECT_EQ(segment.nameIndex, static_cast<int32_t>(runway));
        }
    }
    EXPECT_EQ(runwaySegments, 2);  // the 4000 ft runway is cut only where C crosses it
    const auto [south, north] = layout.RunwayEnds(runway);
    EXPECT_EQ(airport.taxiPoints[static_cast<size_t>(PointAt(south.u, south.v))].pointWord, 1);
    EXPECT_NEAR(north.u - south.u, 4000 * 0.3048 - 60.0, 1e-6);
}

TEST_F(DemoLayoutTest, TurnsBecomeShortArcsThatMeetTheStraightsTangentially) {
    // A right-angle corner with a 200 m radius: two 45 degree pieces from (800, 0) round
    // the centre (800, 200) to (1000, 200); the corner point itself is not a taxi point.
    layout.AddTaxiway("G", {{0, 0}, {1000, 0}, {1000, 1000}}, 200.0);
    // A corner too tight for the radius on a short leg: the arc shrinks to fit half the leg.
    layout.AddTaxiway("K", {{3000, 0}, {3100, 0}, {3100, 1000}}, 200.0);
    // A "corner" that does not turn stays a plain point.
    layout.AddTaxiway("M", {{5000, 0}, {5000, 500}, {5000, 900}}, 200.0);
    layout.Finish();

    EXPECT_EQ(PointAt(0, 1000), -1);
    const std::vector<BglTaxiSegment> g = SegmentsNamed("G");
    ASSERT_EQ(g.size(), 4u);
    EXPECT_GE(PointAt(800, 0), 0);
    EXPECT_GE(PointAt(1000, 200), 0);
    for (const BglTaxiSegment& segment : {g[1], g[2]}) {
        for (const int32_t index : {segment.firstIndex, segment.secondIndex}) {
            const auto& point = airport.taxiPoints[static_cast<size_t>(index)];
            EXPECT_NEAR(std::hypot(point.northM - 800, point.eastM - 200), 200.0, 1e-6);
        }
    }
    EXPECT_GE(PointAt(3050, 0), 0);
    EXPECT_GE(PointAt(3100, 50), 0);
    EXPECT_EQ(SegmentsNamed("M").size(), 2u);
    EXPECT_GE(PointAt(5000, 500), 0);
}

}  // namespace
}  // namespace scopewatch::demo
