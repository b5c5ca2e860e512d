#include "demo/DemoTrafficPlan.h"

#include <map>
#include <set>

#include "demo/DemoSimulator.h"

namespace scopewatch::demo {

using namespace scenery;

namespace {
constexpr double kMetresPerFoot = 0.3048;
constexpr size_t kMaxTaxiPoints = 40;

// A walk through the taxi network without revisiting a point: from the first segment's
// start, always on to an unvisited neighbour.
std::vector<GeoPoint> TaxiWalk(const BglAirport& airport) {
    std::map<int32_t, std::vector<int32_t>> next;
    const auto count = static_cast<int32_t>(airport.taxiPoints.size());
    for (const BglTaxiSegment& segment : airport.taxiSegments) {
        const bool valid = segment.kind == 0 && segment.firstIndex >= 0 &&
                           segment.firstIndex < count && segment.secondIndex >= 0 &&
                           segment.secondIndex < count;
        if (valid) {
            next[segment.firstIndex].push_back(segment.secondIndex);
            next[segment.secondIndex].push_back(segment.firstIndex);
        }
    }
    std::vector<GeoPoint> route;
    if (next.empty()) {
        return route;
    }
    std::set<int32_t> visited;
    int32_t at = next.begin()->first;
    while (route.size() < kMaxTaxiPoints) {
        visited.insert(at);
        const BglTaxiPoint& point = airport.taxiPoints[static_cast<size_t>(at)];
        route.push_back(PositionOf(airport, point.eastM, point.northM));
        int32_t chosen = -1;
        for (int32_t candidate : next[at]) {
            if (visited.count(candidate) == 0) {
                chosen = candidate;
                break;
            }
        }
        if (chosen < 0) {
            break;
        }
        at = chosen;
    }
    return route;
}
}  // namespace

DemoAirportPlan TrafficPlanOf(const BglAirport& airport) {
    DemoAirportPlan plan =
        FallbackAirportPlan(GeoPoint{airport.latitude, airport.longitude}, airport.elevationFt);
    plan.name = airport.name;
    if (!airport.runways.empty()) {
        const BglRunway& runway = airport.runways[0];
        const GeoPoint centre{runway.latitude, runway.longitude};
        const double half = runway.lengthFt * kMetresPerFoot / 2.0;
        plan.runwayStart = Offset(centre, runway.trueHeading + 180.0, half);
        plan.runwayEnd = Offset(centre, runway.trueHeading, half);
        plan.ilsThreshold = plan.runwayStart;
        plan.ilsCourse = runway.trueHeading;
    }
    for (const BglRunway& runway : airport.runways) {
        if (!runway.ils.empty()) {
            const double half = runway.lengthFt * kMetresPerFoot / 2.0;
            plan.ilsCourse = runway.ils[0].trueHeading;
            plan.ilsThreshold =
                Offset(GeoPoint{runway.latitude, runway.longitude}, plan.ilsCourse + 180.0, half);
            break;
        }
    }
    std::vector<GeoPoint> taxi = TaxiWalk(airport);
    if (taxi.size() >= 2) {
        plan.taxiRoute = std::move(taxi);
    }
    return plan;
}

DemoAirportPlan DemoLargeAirportPlan() {
    return TrafficPlanOf(DemoLargeAirport());
}

}  // namespace scopewatch::demo
