#include <gtest/gtest.h>

#include <algorithm>

#include "demo/DemoSimulator.h"
#include "demo/DemoTrafficPlan.h"

namespace scopewatch::demo {
namespace {

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

    // The taxi route starts on one of the smallest stands, follows its spur and then
    // taxiway segments, and ends where take-offs on the first runway start.
    const auto positionOf = [&](const scenery::BglTaxiPoint& point) {
        return PositionOf(airport, point.eastM, point.northM);
    };
    const auto pointAt = [&](GeoPoint at) {
        for (size_t i = 0; i < airport.taxiPoints.size(); ++i) {
            if (DistanceMetres(positionOf(airport.taxiPoints[i]), at) < 0.01) {
                return static_cast<int32_t>(i);
            }
        }
        return int32_t{-1};
    };
    const auto joined = [&](int32_t kind, int32_t first, int32_t second) {
        for (const scenery::BglTaxiSegment& segment : airport.taxiSegments) {
            if (segment.kind == kind &&
                ((segment.firstIndex == first && segment.secondIndex == second) ||
                 (kind == 0 && segment.firstIndex == second && segment.secondIndex == first))) {
                return true;
            }
        }
        return false;
    };
    ASSERT_GE(plan.taxiRoute.size(), 5u);
    double smallest = 1e9;
    for (const scenery::BglParking& parking : airport.parkings) {
        smallest = std::min(smallest, parking.radiusM);
    }
    int32_t stand = -1;
    for (size_t i = 0; i < airport.parkings.size(); ++i) {
        const scenery::BglParking& parking = airport.parkings[i];
        if (DistanceMetres(PositionOf(airport, parking.eastM, parking.northM), plan.taxiRoute[0]) <
            0.01) {
            stand = static_cast<int32_t>(i);
            EXPECT_EQ(parking.radiusM, smallest);
        }
    }
    ASSERT_GE(stand, 0);
    EXPECT_TRUE(joined(2, pointAt(plan.taxiRoute[1]), stand));
    for (size_t i = 2; i < plan.taxiRoute.size(); ++i) {
        EXPECT_TRUE(joined(0, pointAt(plan.taxiRoute[i - 1]), pointAt(plan.taxiRoute[i]))) << i;
    }
    EXPECT_LT(DistanceMetres(plan.taxiRoute.back(), plan.runwayStart), 60.0);
}

TEST(DemoTrafficPlan, TheTaxiRouteTakesTheShortestWayAndKeepsOffRunways) {
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
}

TEST(DemoTrafficPlan, AnAirportWithoutRunwaysOrTaxiwaysFallsBack) {
    scenery::BglAirport bare;
    bare.name = "Bare";
    bare.latitude = 10.0;
    bare.longitude = 20.0;
    bare.taxiSegments = {{0, 0, 99, 0}};  // points to a taxi point that does not exist
    const DemoAirportPlan plan = TrafficPlanOf(bare);
    EXPECT_EQ(plan.name, "Bare");
    ASSERT_FALSE(plan.taxiRoute.empty());
    EXPECT_LT(DistanceMetres(plan.reference, plan.taxiRoute[0]), 2000.0);
    EXPECT_LT(DistanceMetres(plan.reference, plan.runwayStart), 2000.0);
}

}  // namespace
}  // namespace scopewatch::demo
