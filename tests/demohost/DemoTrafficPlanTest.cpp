#include <gtest/gtest.h>

#include <algorithm>

#include "demo/DemoSimulator.h"
#include "demohost/DemoTrafficPlan.h"

namespace scopewatch::demo {
namespace {

// The pilots of the large demo airport take off along its first runway, fly its ILS and taxi
// from a small stand along taxiways to the take-off point.
TEST(DemoTrafficPlan, PilotsUseTheDemoAirportsRunwaysAndTaxiways) {
    const scenery::BglAirport& airport = DemoLargeAirport();
    const DemoAirportPlan plan = DemoLargeAirportPlan();
    EXPECT_EQ(plan.name, "Eldorado Intl");
    const scenery::BglRunway& runway = airport.runways.at(0);
    const double lengthM = runway.lengthFt * 0.3048;
    EXPECT_NEAR(DistanceMetres(plan.runwayStart, plan.runwayEnd), lengthM, 5.0);
    EXPECT_NEAR(demo::BearingDegrees(plan.runwayStart, plan.runwayEnd), runway.trueHeading, 0.5);
    // The ILS approach ends on a runway end.
    EXPECT_LT(DistanceMetres(plan.reference, plan.ilsThreshold), 5000.0);

    // The taxi route: from one of the smallest stands over its spur, then along taxiway
    // segments that keep off the runways, to where take-offs on the first runway start.
    const auto near = [&](const auto& point, GeoPoint at) {
        return DistanceMetres(PositionOf(airport, point.eastM, point.northM), at) < 0.01;
    };
    const auto joined = [&](int32_t kind, int32_t first, int32_t second) {
        return std::any_of(airport.taxiSegments.begin(), airport.taxiSegments.end(),
                           [&](const scenery::BglTaxiSegment& segment) {
                               return segment.kind == kind &&
                                      std::minmax(segment.firstIndex, segment.secondIndex) ==
                                          std::minmax(first, second);
                           });
    };
    std::vector<int32_t> passed;
    for (size_t i = 1; i < plan.taxiRoute.size(); ++i) {
        for (size_t point = 0; point < airport.taxiPoints.size(); ++point) {
            if (near(airport.taxiPoints[point], plan.taxiRoute[i])) {
                passed.push_back(static_cast<int32_t>(point));
            }
        }
    }
    ASSERT_GE(passed.size(), 5u);
    ASSERT_EQ(passed.size() + 1, plan.taxiRoute.size());
    const auto smallest =
        std::min_element(airport.parkings.begin(), airport.parkings.end(),
                         [](const auto& a, const auto& b) { return a.radiusM < b.radiusM; });
    bool fromSmallStand = false;
    for (size_t stand = 0; stand < airport.parkings.size(); ++stand) {
        fromSmallStand |= airport.parkings[stand].radiusM == smallest->radiusM &&
                          near(airport.parkings[stand], plan.taxiRoute[0]) &&
                          joined(2, passed[0], static_cast<int32_t>(stand));
    }
    EXPECT_TRUE(fromSmallStand);
    for (size_t i = 1; i < passed.size(); ++i) {
        EXPECT_TRUE(joined(0, passed[i - 1], passed[i])) << i;
        EXPECT_EQ(airport.taxiPoints[static_cast<size_t>(passed[i - 1])].pointWord, 0) << i;
    }
    EXPECT_LT(DistanceMetres(plan.taxiRoute.back(), plan.runwayStart), 60.0);
}

// The taxi route takes the shortest way and keeps off runways; an airport without runways or
// taxiways falls back to a plan around its reference point.
TEST(DemoTrafficPlan, TheTaxiRouteTakesTheShortestWayAndKeepsOffRunwaysOrFallsBack) {
    // From the stand by point 0 to point 3, 1200 m south where take-offs start when an
    // airport has no runway: straight on through point 1, not round by point 2 ...
    scenery::BglAirport airport;
    airport.latitude = 10.0;
    airport.longitude = 20.0;
    airport.taxiPoints = {{0, 0}, {0, -600}, {300, -100}, {0, -1200}, {-500, -600}};
    airport.parkings = {{0, 50}};
    airport.taxiSegments = {{0, 0, 2, 0}, {0, 2, 3, 0}, {0, 0, 1, 0}, {0, 1, 3, 0}, {2, 0, 0, 0}};
    const auto expectRoute = [&](const std::vector<std::pair<double, double>>& expected) {
        const DemoAirportPlan plan = TrafficPlanOf(airport);
        ASSERT_EQ(plan.taxiRoute.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const GeoPoint at = PositionOf(airport, expected[i].first, expected[i].second);
            EXPECT_LT(DistanceMetres(plan.taxiRoute[i], at), 0.01) << i;
        }
    };
    expectRoute({{0, 50}, {0, 0}, {0, -600}, {0, -1200}});
    // ... unless point 1 lies on a runway: crossing it costs more than the way round.
    airport.taxiSegments.push_back({1, 1, 4, 0});
    expectRoute({{0, 50}, {0, 0}, {300, -100}, {0, -1200}});

    // Without taxi points (a segment points to one that does not exist) the plan falls back.
    airport.name = "Bare";
    airport.taxiPoints.clear();
    airport.taxiSegments = {{0, 0, 99, 0}};
    const DemoAirportPlan plan = TrafficPlanOf(airport);
    EXPECT_EQ(plan.name, "Bare");
    ASSERT_FALSE(plan.taxiRoute.empty());
    EXPECT_LT(DistanceMetres(plan.reference, plan.taxiRoute[0]), 2000.0);
    EXPECT_LT(DistanceMetres(plan.reference, plan.runwayStart), 2000.0);
}

}  // namespace
}  // namespace scopewatch::demo
