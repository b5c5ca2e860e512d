#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geo/GeoPoint.h"
#include "multiplayer/GameMessages.h"

// Simulated pilots for the demo session host: each flies (or taxies) a route over and over
// and reports what a pilot's simulator reports.
namespace scopewatch::demo {

struct RoutePoint {
    GeoPoint at;
    double altitudeFt = 0.0;
    double speedKt = 0.0;  // speed on the leg that ends here
};

struct PilotState {
    GeoPoint position;
    double trueHeading = 0.0;
    double altitudeFt = 0.0;
};

// Moves along a route at each leg's speed, altitude changing evenly along the leg. After
// the last point it flies on to the first (closed) or jumps back to it (not closed).
class RouteFlyer {
  public:
    RouteFlyer(std::vector<RoutePoint> route, bool closed);
    void Advance(double seconds);
    const PilotState& state() const { return state_; }

  private:
    void StartLeg(size_t to);

    std::vector<RoutePoint> route_;
    bool closed_;
    size_t target_ = 1;
    double legLengthM_ = 0.0;
    double legDoneM_ = 0.0;
    RoutePoint legStart_;
    PilotState state_;
};

struct PilotProfile {
    std::string name;      // the player name, Windows-1252
    int16_t typeCode = 0;  // 0 piston, 1 jet, 2 none, 3 helicopter
    std::string title;     // the aircraft title
    std::vector<RoutePoint> route;
    bool closedRoute = true;
    bool longPositionForm = false;
    double headStartSeconds = 0.0;  // how far along its route the pilot is at the start
};

// What the pilots need to know of the airport.
struct DemoAirportPlan {
    std::string name;
    GeoPoint reference;
    double elevationFt = 0.0;
    GeoPoint runwayStart;  // take-off and circuit runway: the end the take-off roll starts
    GeoPoint runwayEnd;
    GeoPoint ilsThreshold;            // where the ILS approach touches down
    double ilsCourse = 0.0;           // true course of the approach
    std::vector<GeoPoint> taxiRoute;  // along the taxi network
};

// A small made-up airport around a reference point, for when no scenery is at hand.
DemoAirportPlan FallbackAirportPlan(GeoPoint reference = {40.0, -100.0},
                                    double elevationFt = 1500.0);

// Five pilots: taxiing, taking off, flying circuits, flying the ILS, overflying.
std::vector<PilotProfile> DemoPilotProfiles(const DemoAirportPlan& plan);
// A crowd of `count` pilots: the five above, then more of the same kinds, each named after
// its kind's first pilot with a number ("N172SP-2") and started further along the route, so
// that a busy session's aircraft do not fly on top of each other.
std::vector<PilotProfile> DemoPilotCrowd(const DemoAirportPlan& plan, size_t count);

// The point metres away along a true bearing: the builder's great-circle step, unrounded,
// so the pilots move over the scenery as the program placed it.
GeoPoint Offset(GeoPoint from, double trueBearing, double metres);
// Distance and bearing between two points on the same sphere, taken flat (fine within an
// airport's area).
double DistanceMetres(GeoPoint from, GeoPoint to);
double BearingDegrees(GeoPoint from, GeoPoint to);

// The position message a simulator sends for this state.
PositionReport ReportOf(const PilotState& state);

}  // namespace scopewatch::demo
