#include "demohost/DemoTrafficPlan.h"

#include <functional>
#include <map>
#include <optional>
#include <queue>
#include <set>

#include "demo/DemoSimulator.h"

namespace scopewatch::demo {

using namespace scenery;

namespace {
constexpr double kMetresPerFoot = 0.3048;
constexpr int32_t kTaxiwaySegment = 0;
constexpr int32_t kRunwaySegment = 1;
constexpr int32_t kParkingSegment = 2;
// What crossing a runway costs a way, in metres of taxiing: ways keep off runways where
// the taxiways allow it.
constexpr double kRunwayCrossingM = 2000.0;

// Each taxi point's neighbours over taxiway segments, with the distance to them (runway
// segments are left out, so a way may cross a runway but never runs along one), and the
// points that lie on runways.
struct TaxiNetwork {
    std::map<int32_t, std::vector<std::pair<int32_t, double>>> next;
    std::set<int32_t> onRunways;
};

bool IsTaxiPoint(const BglAirport& airport, int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < airport.taxiPoints.size();
}

GeoPoint PointAt(const BglAirport& airport, int32_t index) {
    const BglTaxiPoint& point = airport.taxiPoints[static_cast<size_t>(index)];
    return PositionOf(airport, point.eastM, point.northM);
}

TaxiNetwork NetworkOf(const BglAirport& airport) {
    TaxiNetwork network;
    for (const BglTaxiSegment& segment : airport.taxiSegments) {
        if (!IsTaxiPoint(airport, segment.firstIndex) ||
            !IsTaxiPoint(airport, segment.secondIndex)) {
            continue;
        }
        if (segment.kind == kRunwaySegment) {
            network.onRunways.insert({segment.firstIndex, segment.secondIndex});
        } else if (segment.kind == kTaxiwaySegment) {
            const double metres = DistanceMetres(PointAt(airport, segment.firstIndex),
                                                 PointAt(airport, segment.secondIndex));
            network.next[segment.firstIndex].emplace_back(segment.secondIndex, metres);
            network.next[segment.secondIndex].emplace_back(segment.firstIndex, metres);
        }
    }
    return network;
}

// Where the taxiing aircraft stands: the smallest parking joined to the network (light
// aircraft use the small stands), with its taxi point; the network's first point when no
// parking is joined to it.
std::pair<std::optional<GeoPoint>, int32_t> StandOf(const BglAirport& airport,
                                                    const TaxiNetwork& network) {
    std::pair<std::optional<GeoPoint>, int32_t> stand{std::nullopt, network.next.begin()->first};
    double smallest = 0.0;
    for (const BglTaxiSegment& segment : airport.taxiSegments) {
        const bool joined = segment.kind == kParkingSegment &&
                            network.next.count(segment.firstIndex) != 0 &&
                            segment.secondIndex >= 0 &&
                            static_cast<size_t>(segment.secondIndex) < airport.parkings.size();
        if (!joined) {
            continue;
        }
        const BglParking& parking = airport.parkings[static_cast<size_t>(segment.secondIndex)];
        if (!stand.first || parking.radiusM < smallest) {
            smallest = parking.radiusM;
            stand = {PositionOf(airport, parking.eastM, parking.northM), segment.firstIndex};
        }
    }
    return stand;
}

int32_t NearestPoint(const BglAirport& airport, const TaxiNetwork& network, GeoPoint target) {
    int32_t nearest = network.next.begin()->first;
    for (const auto& [index, neighbours] : network.next) {
        if (DistanceMetres(PointAt(airport, index), target) <
            DistanceMetres(PointAt(airport, nearest), target)) {
            nearest = index;
        }
    }
    return nearest;
}

// The taxi points of the shortest way from one point to another, runway crossings counted
// at their cost; empty when there is none.
std::vector<int32_t> ShortestWay(const TaxiNetwork& network, int32_t from, int32_t to) {
    std::map<int32_t, double> distance = {{from, 0.0}};
    std::map<int32_t, int32_t> previous;
    using Entry = std::pair<double, int32_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    open.emplace(0.0, from);
    while (!open.empty()) {
        const auto [metres, at] = open.top();
        open.pop();
        if (metres > distance[at]) {
            continue;
        }
        for (const auto& [neighbour, length] : network.next.at(at)) {
            const bool crossing = neighbour != to && network.onRunways.count(neighbour) != 0;
            const double reached = metres + length + (crossing ? kRunwayCrossingM : 0.0);
            const auto known = distance.find(neighbour);
            if (known == distance.end() || reached < known->second) {
                distance[neighbour] = reached;
                previous[neighbour] = at;
                open.emplace(reached, neighbour);
            }
        }
    }
    if (!distance.count(to)) {
        return {};
    }
    std::vector<int32_t> way = {to};
    while (way.back() != from) {
        way.push_back(previous.at(way.back()));
    }
    return {way.rbegin(), way.rend()};
}

// The taxiing aircraft's way: from its stand along the shortest way over the taxiways to
// the taxi point nearest the runway end where take-offs start.
std::vector<GeoPoint> TaxiWay(const BglAirport& airport, GeoPoint runwayStart) {
    const TaxiNetwork network = NetworkOf(airport);
    if (network.next.empty()) {
        return {};
    }
    const auto [stand, standPoint] = StandOf(airport, network);
    std::vector<GeoPoint> route;
    if (stand) {
        route.push_back(*stand);
    }
    for (const int32_t index :
         ShortestWay(network, standPoint, NearestPoint(airport, network, runwayStart))) {
        route.push_back(PointAt(airport, index));
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
    std::vector<GeoPoint> taxi = TaxiWay(airport, plan.runwayStart);
    if (taxi.size() >= 2) {
        plan.taxiRoute = std::move(taxi);
    }
    return plan;
}

DemoAirportPlan DemoLargeAirportPlan() {
    return TrafficPlanOf(DemoLargeAirport());
}

}  // namespace scopewatch::demo
