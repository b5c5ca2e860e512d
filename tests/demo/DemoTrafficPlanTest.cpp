#include <gtest/gtest.h>

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
    // The ILS approach ends on a runway end; the taxi route follows joined taxi points.
    EXPECT_LT(DistanceMetres(plan.reference, plan.ilsThreshold), 5000.0);
    ASSERT_GE(plan.taxiRoute.size(), 5u);
    for (size_t i = 1; i < plan.taxiRoute.size(); ++i) {
        EXPECT_LT(DistanceMetres(plan.taxiRoute[i - 1], plan.taxiRoute[i]), 400.0);
    }
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
