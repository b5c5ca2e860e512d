// The demo session host's own faults: its pilots stepping over another earth than the
// scenery's, its taxi route, its answer to simulators. (Its pilots flying the demo airport,
// admitting the controller, the traffic, the chat, the removal and the silence: the live runs in
// tests/app.)
#include <gtest/gtest.h>

#include "demohost/DemoSessionHost.h"
#include "demohost/DemoTrafficPlan.h"
#include "support/DirectPlayTestPorts.h"
#include "support/ScriptedMachine.h"

namespace scopewatch::demo {
namespace {

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

// The taxiing pilot starts on the smallest stand, takes the shortest way along the taxiways
// and keeps off runways (a crossing costs more than the way round).
TEST(DemoTrafficPlan, TheTaxiRouteGoesFromTheSmallestStandTheShortestWayOffRunways) {
    // From the small stand by point 0 to point 3, 1200 m south where take-offs start when an
    // airport has no runway: straight on through point 1, not round by point 2, whose larger
    // stand lies nearer ...
    scenery::BglAirport airport;
    airport.latitude = 10.0;
    airport.longitude = 20.0;
    airport.taxiPoints = {{0, 0}, {0, -600}, {300, -100}, {0, -1200}, {-500, -600}};
    airport.parkings = {{300, -50, 0, 40}, {0, 50, 0, 20}};
    airport.taxiSegments = {{0, 0, 2, 0}, {0, 2, 3, 0}, {0, 0, 1, 0},
                            {0, 1, 3, 0}, {2, 0, 1, 0}, {2, 2, 0, 0}};
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

// A simulator looks for sessions of its own application: the demo host answers it, as it
// answers a request for every application, and logs which application was asked for.
TEST(DemoSessionHost, AnswersSimulatorsThatAskForTheirOwnApplicationOnly) {
    DemoHostOptions options;
    options.ports = testing::DirectPlayTestPorts(47714);
    options.chatEverySeconds = 0;
    std::vector<std::string> log;
    DemoSessionHost host(options, FallbackAirportPlan(),
                         [&log](const std::string& line) { log.push_back(line); });
    ASSERT_EQ(host.Start(), std::nullopt);
    testing::ScriptedMachine simulator;
    const auto ask = [&](const directplay::Guid& application) {
        directplay::EnumSessions request;
        request.application = application;
        simulator.SendTo(options.ports.enumPort,
                         directplay::Encode(request, simulator.address(), 11));
        return simulator.Take(directplay::kEnumSessionsReply, 1000);
    };
    const auto reply = ask(kFlightSimulatorApplication);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(std::get<directplay::EnumSessionsReply>(reply->decoded.message).desc.application,
              kFlightSimulatorApplication);
    EXPECT_TRUE(ask(directplay::Guid{}).has_value());
    EXPECT_FALSE(ask(directplay::Guid{1}).has_value());
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
        return line.find(
                   "ENUMSESSIONS flags 0x1 application "
                   "{CC080A27-6D4E-11D0-8E21-00A0C90542EF}") != std::string::npos;
    }));
}

}  // namespace
}  // namespace scopewatch::demo
