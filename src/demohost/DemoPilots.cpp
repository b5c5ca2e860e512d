#include "demohost/DemoPilots.h"

#include <cmath>

#include "geo/Destinations.h"
#include "geo/GeoMath.h"

namespace scopewatch::demo {

namespace {
constexpr double kMetresPerNm = 1852.0;
// One minute of arc to the nautical mile, the sphere the builder and the scope work on.
constexpr double kMetresPerDegree = 60.0 * kMetresPerNm;
constexpr double kKnotsToMetresPerSecond = 1852.0 / 3600.0;
constexpr double kFeetPerMetre = 1.0 / 0.3048;

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}
}  // namespace

GeoPoint Offset(GeoPoint from, double trueBearing, double metres) {
    return GreatCircleStep(from, trueBearing, Radians(metres / kMetresPerDegree));
}

double DistanceMetres(GeoPoint from, GeoPoint to) {
    const double north = (to.latitude - from.latitude) * kMetresPerDegree;
    const double east =
        (to.longitude - from.longitude) * kMetresPerDegree * std::cos(Radians(from.latitude));
    return std::hypot(north, east);
}

double BearingDegrees(GeoPoint from, GeoPoint to) {
    const double north = to.latitude - from.latitude;
    const double east = (to.longitude - from.longitude) * std::cos(Radians(from.latitude));
    const double bearing = std::atan2(east, north) * 180.0 / kPi;
    return bearing < 0 ? bearing + 360.0 : bearing;
}

RouteFlyer::RouteFlyer(std::vector<RoutePoint> route, bool closed)
    : route_(std::move(route)), closed_(closed) {
    if (route_.empty()) {
        route_.push_back(RoutePoint{});
    }
    state_.position = route_[0].at;
    state_.altitudeFt = route_[0].altitudeFt;
    StartLeg(route_.size() > 1 ? 1 : 0);
}

void RouteFlyer::StartLeg(size_t to) {
    legStart_ = RoutePoint{state_.position, state_.altitudeFt, 0.0};
    target_ = to;
    legLengthM_ = DistanceMetres(state_.position, route_[to].at);
    legDoneM_ = 0.0;
    if (legLengthM_ > 0.5) {
        state_.trueHeading = BearingDegrees(state_.position, route_[to].at);
    }
}

void RouteFlyer::Advance(double seconds) {
    if (route_.size() < 2) {
        return;
    }
    // Bounded: legs of zero length or zero speed cannot keep us in here.
    for (size_t guard = 0; guard < 2 * route_.size() + 2 && seconds > 0.0; ++guard) {
        const RoutePoint& to = route_[target_];
        const double speed = to.speedKt * kKnotsToMetresPerSecond;
        const double left = legLengthM_ - legDoneM_;
        if (speed > 0.0 && speed * seconds < left) {
            legDoneM_ += speed * seconds;
            const double fraction = legDoneM_ / legLengthM_;
            state_.position = GeoPoint{
                legStart_.at.latitude + (to.at.latitude - legStart_.at.latitude) * fraction,
                legStart_.at.longitude + (to.at.longitude - legStart_.at.longitude) * fraction};
            state_.altitudeFt =
                legStart_.altitudeFt + (to.altitudeFt - legStart_.altitudeFt) * fraction;
            return;
        }
        seconds -= speed > 0.0 ? left / speed : 0.0;
        state_.position = to.at;
        state_.altitudeFt = to.altitudeFt;
        size_t next = target_ + 1;
        if (next == route_.size()) {
            next = 0;
            if (!closed_) {
                state_.position = route_[0].at;
                state_.altitudeFt = route_[0].altitudeFt;
                next = 1;
            }
        }
        StartLeg(next);
    }
}

DemoAirportPlan FallbackAirportPlan(GeoPoint reference, double elevationFt) {
    DemoAirportPlan plan;
    plan.name = "Demo Field";
    plan.reference = reference;
    plan.elevationFt = elevationFt;
    plan.runwayStart = Offset(plan.reference, 180.0, 1200.0);
    plan.runwayEnd = Offset(plan.reference, 0.0, 1200.0);
    plan.ilsThreshold = plan.runwayStart;
    plan.ilsCourse = 0.0;
    const GeoPoint apron = Offset(plan.reference, 90.0, 300.0);
    plan.taxiRoute = {apron, Offset(apron, 0.0, 900.0), Offset(plan.reference, 0.0, 900.0),
                      Offset(apron, 180.0, 900.0), Offset(plan.reference, 180.0, 900.0)};
    return plan;
}

namespace {

std::vector<RoutePoint> TaxiRoute(const DemoAirportPlan& plan) {
    std::vector<RoutePoint> route;
    for (const GeoPoint& point : plan.taxiRoute) {
        route.push_back(RoutePoint{point, plan.elevationFt, 15.0});
    }
    // Back along the same way, so the route closes on the taxiways.
    for (size_t i = plan.taxiRoute.size(); i-- > 1;) {
        route.push_back(RoutePoint{plan.taxiRoute[i - 1], plan.elevationFt, 15.0});
    }
    return route;
}

std::vector<RoutePoint> CircuitRoute(const DemoAirportPlan& plan) {
    const double ground = plan.elevationFt;
    const double pattern = ground + 1000.0;
    const double heading = BearingDegrees(plan.runwayStart, plan.runwayEnd);
    const double length = DistanceMetres(plan.runwayStart, plan.runwayEnd);
    const double side = heading + 270.0;  // left-hand circuit
    const GeoPoint upwind = Offset(plan.runwayEnd, heading, 2500.0);
    const GeoPoint crosswind = Offset(upwind, side, 2500.0);
    const GeoPoint downwindEnd =
        Offset(Offset(plan.runwayStart, heading + 180.0, 2500.0), side, 2500.0);
    const GeoPoint base = Offset(plan.runwayStart, heading + 180.0, 2500.0);
    return {RoutePoint{plan.runwayStart, ground, 60.0},
            RoutePoint{Offset(plan.runwayStart, heading, length * 0.4), ground, 60.0},
            RoutePoint{upwind, ground + 700.0, 80.0},
            RoutePoint{crosswind, pattern, 90.0},
            RoutePoint{downwindEnd, pattern, 100.0},
            RoutePoint{base, ground + 500.0, 90.0},
            RoutePoint{plan.runwayStart, ground, 70.0}};
}

std::vector<RoutePoint> DepartureRoute(const DemoAirportPlan& plan) {
    const double ground = plan.elevationFt;
    const double heading = BearingDegrees(plan.runwayStart, plan.runwayEnd);
    const GeoPoint climbOut = Offset(plan.runwayEnd, heading, 8 * kMetresPerNm);
    const GeoPoint turn = Offset(climbOut, heading + 90.0, 4 * kMetresPerNm);
    const GeoPoint back = Offset(plan.runwayStart, heading + 180.0, 10 * kMetresPerNm);
    return {RoutePoint{plan.runwayStart, ground, 150.0},
            RoutePoint{Offset(plan.runwayStart, heading,
                              DistanceMetres(plan.runwayStart, plan.runwayEnd) * 0.6),
                       ground, 150.0},
            RoutePoint{climbOut, ground + 5000.0, 220.0},
            RoutePoint{turn, ground + 7000.0, 250.0},
            RoutePoint{Offset(back, heading + 90.0, 4 * kMetresPerNm), ground + 4000.0, 250.0},
            RoutePoint{back, ground + 3000.0, 200.0},
            RoutePoint{plan.runwayStart, ground, 140.0}};
}

std::vector<RoutePoint> IlsRoute(const DemoAirportPlan& plan) {
    const double ground = plan.elevationFt;
    // A 3 degree glide path: about 318 ft per nautical mile.
    const GeoPoint start = Offset(plan.ilsThreshold, plan.ilsCourse + 180.0, 12 * kMetresPerNm);
    const GeoPoint rollOut = Offset(plan.ilsThreshold, plan.ilsCourse, 1500.0);
    return {RoutePoint{start, ground + 3800.0, 0.0},
            RoutePoint{plan.ilsThreshold, ground + 50.0, 150.0}, RoutePoint{rollOut, ground, 60.0}};
}

std::vector<RoutePoint> OverflightRoute(const DemoAirportPlan& plan) {
    const GeoPoint from = Offset(plan.reference, 225.0, 25 * kMetresPerNm);
    const GeoPoint to = Offset(plan.reference, 45.0, 25 * kMetresPerNm);
    return {RoutePoint{from, 11000.0, 0.0}, RoutePoint{to, 11000.0, 420.0}};
}

}  // namespace

std::vector<PilotProfile> DemoPilotProfiles(const DemoAirportPlan& plan) {
    return {
        PilotProfile{"N172SP", 0, "Cessna Skyhawk 172SP", TaxiRoute(plan), true, false},
        PilotProfile{"DAL1842", 1, "Boeing 737-800", DepartureRoute(plan), true, true},
        PilotProfile{"N35PA", 0, "Piper Cherokee", CircuitRoute(plan), true, false},
        PilotProfile{"UAL913", 1, "Airbus A320", IlsRoute(plan), false, true},
        PilotProfile{"SWA2210", 1, "Boeing 747-400", OverflightRoute(plan), false, false},
    };
}

std::vector<PilotProfile> DemoPilotCrowd(const DemoAirportPlan& plan, size_t count) {
    const std::vector<PilotProfile> kinds = DemoPilotProfiles(plan);
    std::vector<PilotProfile> crowd;
    for (size_t i = 0; i < count; ++i) {
        PilotProfile pilot = kinds[i % kinds.size()];
        const size_t copy = i / kinds.size();
        if (copy > 0) {
            pilot.name += "-" + std::to_string(copy + 1);
            pilot.headStartSeconds = 40.0 * static_cast<double>(copy);
        }
        crowd.push_back(std::move(pilot));
    }
    return crowd;
}

PositionReport ReportOf(const PilotState& state) {
    PositionReport report;
    report.headingWord = HeadingWord(state.trueHeading);
    report.latitudeRaw = LatitudeRaw(state.position.latitude);
    report.longitudeRaw = LongitudeRaw(state.position.longitude);
    report.altitudeMetres = static_cast<int32_t>(std::lround(state.altitudeFt / kFeetPerMetre));
    return report;
}

}  // namespace scopewatch::demo
