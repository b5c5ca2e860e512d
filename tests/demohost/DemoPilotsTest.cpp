#include <gtest/gtest.h>

#include <set>

#include "demohost/DemoPilots.h"

namespace scopewatch::demo {
namespace {

constexpr double kKnot = 1852.0 / 3600.0;  // metres per second

// The pilots step over the same sphere as the builder places the scenery, so a pilot on a
// runway's centreline is on the runway the scope draws.
TEST(DemoPilots, OffsetIsTheBuildersGreatCircleStepAndDistanceItsInverse) {
    for (const GeoPoint from : {GeoPoint{40.0, -100.0}, GeoPoint{-33.9, 151.2}}) {
        for (const int bearing : {0, 45, 90, 200, 315}) {
            for (const double metres : {300.0, 1852.0, 25 * 1852.0}) {
                const GeoPoint pilot = Offset(from, bearing, metres);
                const GeoPoint builder = DestinationPoint(from.latitude, from.longitude,
                                                          static_cast<int16_t>(bearing), metres);
                EXPECT_NEAR(pilot.latitude, builder.latitude, 6e-7);
                EXPECT_NEAR(pilot.longitude, builder.longitude, 6e-7);
                EXPECT_NEAR(DistanceMetres(from, pilot), metres, metres * 2e-3);
            }
        }
    }
}

// A flyer keeps each leg's speed and climbs evenly along it; after the last point an open
// route starts over, a closed one flies back; routes of one point or of no length do not hang.
TEST(DemoPilots, FlyersFollowTheirRoutesAtLegSpeed) {
    const GeoPoint start{40.0, -100.0};
    RouteFlyer open({{start, 1000.0, 0.0}, {Offset(start, 90.0, 1852.0), 2000.0, 60.0}}, false);
    open.Advance(30.0);  // half the leg at 60 knots
    EXPECT_NEAR(DistanceMetres(start, open.state().position), 926.0, 1.0);
    EXPECT_NEAR(open.state().altitudeFt, 1500.0, 1.0);
    EXPECT_NEAR(open.state().trueHeading, 90.0, 0.01);
    open.Advance(40.0);
    EXPECT_NEAR(DistanceMetres(start, open.state().position), 10 * 60 * kKnot, 1.0);

    const GeoPoint end = Offset(start, 0.0, 1000.0);
    RouteFlyer closed({{start, 0.0, 100.0}, {end, 0.0, 100.0}}, true);
    closed.Advance(1000.0 / (100 * kKnot) + 1.0);  // one second into the way back
    EXPECT_NEAR(closed.state().trueHeading, 180.0, 0.01);
    EXPECT_NEAR(DistanceMetres(end, closed.state().position), 100 * kKnot, 1.0);

    RouteFlyer still({{start, 0.0, 0.0}, {start, 0.0, 0.0}}, true);
    still.Advance(5.0);
    EXPECT_DOUBLE_EQ(still.state().position.latitude, 40.0);
    RouteFlyer single({{start, 100.0, 10.0}}, true);
    single.Advance(5.0);
    EXPECT_DOUBLE_EQ(single.state().altitudeFt, 100.0);
}

// The five pilots cover every kind of traffic; a crowd repeats the kinds under names of its
// own, further along the routes.
TEST(DemoPilots, ProfilesCoverEveryKindOfTrafficAndACrowdRepeatsThem) {
    const DemoAirportPlan plan = FallbackAirportPlan();
    const auto pilots = DemoPilotProfiles(plan);
    ASSERT_EQ(pilots.size(), 5u);
    // The taxiing aircraft stays on the ground near the airport; the overflight stays high.
    RouteFlyer taxi(pilots[0].route, pilots[0].closedRoute);
    RouteFlyer over(pilots[4].route, pilots[4].closedRoute);
    for (int second = 0; second < 600; ++second) {
        taxi.Advance(1.0);
        over.Advance(1.0);
        ASSERT_DOUBLE_EQ(taxi.state().altitudeFt, plan.elevationFt);
        ASSERT_LT(DistanceMetres(plan.reference, taxi.state().position), 3000.0);
        ASSERT_GT(over.state().altitudeFt, 10000.0);
    }
    // The ILS aircraft starts high on the extended centreline and ends on the runway.
    EXPECT_GT(pilots[3].route.front().altitudeFt, plan.elevationFt + 3000.0);
    EXPECT_NEAR(BearingDegrees(pilots[3].route.front().at, plan.ilsThreshold), plan.ilsCourse, 0.5);

    const auto crowd = DemoPilotCrowd(plan, 12);
    ASSERT_EQ(crowd.size(), 12u);
    std::set<std::string> names;
    for (size_t i = 0; i < crowd.size(); ++i) {
        names.insert(crowd[i].name);
        EXPECT_EQ(crowd[i].title, pilots[i % 5].title);
    }
    EXPECT_EQ(names.size(), 12u);
    EXPECT_EQ(crowd[4].name, pilots[4].name);
    EXPECT_EQ(crowd[5].name, "N172SP-2");
    EXPECT_EQ(crowd[11].name, "DAL1842-3");
    EXPECT_EQ(crowd[0].headStartSeconds, 0.0);
    EXPECT_LT(crowd[5].headStartSeconds, crowd[10].headStartSeconds);
    EXPECT_EQ(DemoPilotCrowd(plan, 3).size(), 3u);
}

// A pilot reports in the wire's units: metres, heading words and raw coordinates.
TEST(DemoPilots, ReportCarriesWireUnits) {
    const PositionReport report = ReportOf({GeoPoint{45.0, 90.0}, 180.0, 3280.84});
    EXPECT_EQ(report.altitudeMetres, 1000);
    EXPECT_EQ(report.headingWord, 512 * 4);
    EXPECT_NEAR(LatitudeDegrees(report.latitudeRaw), 45.0, 1e-5);
    EXPECT_NEAR(LongitudeDegrees(report.longitudeRaw), 90.0, 1e-7);
}

}  // namespace
}  // namespace scopewatch::demo
