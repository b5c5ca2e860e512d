// The demo session host's answer to simulators. (Its pilots flying the demo airport, admitting
// the controller, the traffic, the chat, the removal and the silence: the live runs in
// tests/app.)
#include <gtest/gtest.h>

#include "demohost/DemoPilots.h"
#include "demohost/DemoSessionHost.h"
#include "demohost/DemoTrafficPlan.h"
#include "support/DirectPlayTestPorts.h"
#include "support/Golden.h"
#include "support/ScriptedMachine.h"

namespace scopewatch::demo {
namespace {

// A route is flown at each leg's speed, its altitude changing evenly; after the last point an
// open route starts over from the first, a closed one flies on to it.
TEST(DemoPilots, AfterTheLastPointAnOpenRouteStartsOverAndAClosedOneFliesOnToTheFirst) {
    const double nm = 1.0 / 60.0;  // a nautical mile of latitude: a minute at 60 knots
    const std::vector<RoutePoint> route = {{{0.0, 5.0}, 0.0, 60.0}, {{nm, 5.0}, 600.0, 60.0}};
    for (const bool closed : {false, true}) {
        RouteFlyer flyer(route, closed);
        flyer.Advance(30.0);
        EXPECT_NEAR(flyer.state().position.latitude, nm / 2, 1e-7);
        flyer.Advance(45.0);  // a quarter into the next leg
        EXPECT_NEAR(flyer.state().position.latitude, closed ? nm * 0.75 : nm * 0.25, 1e-7);
        EXPECT_NEAR(flyer.state().altitudeFt, closed ? 450.0 : 150.0, 1e-3) << closed;
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

// A session with room for no pilot does not start.
TEST(DemoSessionHost, ASessionWithoutRoomForAnyPilotDoesNotStart) {
    DemoHostOptions options;
    options.ports = testing::DirectPlayTestPorts(47716);
    options.maxPlayers = 0;
    DemoSessionHost host(options, FallbackAirportPlan(), nullptr);
    EXPECT_EQ(host.Start().failure, "The session has no room for any pilot");
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
    ASSERT_TRUE(host.Start().ok());
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

// The log names each game message by its kind, and an unknown kind as such.
TEST(DemoSessionHost, TheLogNamesEveryGameMessageKind) {
    std::string names;
    for (const int32_t kind : {kinds::kJoinRequest, kinds::kPlayerPresent, kinds::kKeepAlive,
                               kinds::kRefused, kinds::kIdentifyRequest, kinds::kJoinNotice,
                               kinds::kAircraftInfo, kinds::kAircraftInfoRequest, kinds::kRemoved,
                               kinds::kPositionShort, kinds::kPositionLong, kinds::kChat, 0x7777}) {
        names += KindName(kind) + "\n";
    }
    testing::ExpectTextMatchesGolden(names, "demohost/kind-names.txt",
                                     "the demo host log's name of each game message kind");
}

}  // namespace
}  // namespace scopewatch::demo
