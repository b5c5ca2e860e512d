#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "demo/DemoSimulator.h"

// Every demo airport's taxi network has the shape of a real airport's: one piece, every
// junction a shared point, straight stretches uncut between junctions, runway ends reachable.
namespace scopewatch::demo {
namespace {

using scenery::BglAirport;
using scenery::BglTaxiSegment;

constexpr int32_t kTaxiway = 0;
constexpr int32_t kRunway = 1;
constexpr int32_t kParking = 2;

struct Vector {
    double east = 0.0;
    double north = 0.0;
};

double Cross(Vector a, Vector b) {
    return a.east * b.north - a.north * b.east;
}

// Each demo airport with the taxiway and runway segments (not parking spurs) at each point.
struct Network {
    const BglAirport* airport = nullptr;
    std::map<int32_t, std::vector<const BglTaxiSegment*>> at;

    Vector Between(int32_t from, int32_t to) const {
        const auto& a = airport->taxiPoints.at(static_cast<size_t>(from));
        const auto& b = airport->taxiPoints.at(static_cast<size_t>(to));
        return {b.eastM - a.eastM, b.northM - a.northM};
    }
};

std::vector<Network> AllNetworks() {
    std::vector<Network> networks;
    for (const DemoSceneryFile& file : DemoSceneryFiles()) {
        for (const BglAirport& airport : file.airports) {
            Network network{&airport, {}};
            for (const BglTaxiSegment& segment : airport.taxiSegments) {
                if (segment.kind != kParking) {
                    network.at[segment.firstIndex].push_back(&segment);
                    network.at[segment.secondIndex].push_back(&segment);
                }
            }
            networks.push_back(network);
        }
    }
    return networks;
}

TEST(DemoAirports, NetworksAreOnePieceWithEveryParkingJoined) {
    for (const Network& network : AllNetworks()) {
        const BglAirport& airport = *network.airport;
        SCOPED_TRACE(airport.name);
        std::multiset<int32_t> spurs;
        std::set<std::pair<int32_t, int32_t>> joined;
        for (const BglTaxiSegment& segment : airport.taxiSegments) {
            if (segment.kind == kParking) {
                spurs.insert(segment.secondIndex);
                continue;
            }
            const Vector line = network.Between(segment.firstIndex, segment.secondIndex);
            EXPECT_GT(std::hypot(line.east, line.north), 10.0) << segment.firstIndex;
            EXPECT_TRUE(joined.insert(std::minmax(segment.firstIndex, segment.secondIndex)).second)
                << "joined twice at " << segment.firstIndex;
        }
        for (size_t parking = 0; parking < airport.parkings.size(); ++parking) {
            EXPECT_EQ(spurs.count(static_cast<int32_t>(parking)), 1u) << "parking " << parking;
        }
        std::set<int32_t> reached = {0};
        for (std::vector<int32_t> open = {0}; !open.empty();) {
            const int32_t point = open.back();
            open.pop_back();
            for (const BglTaxiSegment* segment : network.at.at(point)) {
                for (const int32_t end : {segment->firstIndex, segment->secondIndex}) {
                    if (reached.insert(end).second) {
                        open.push_back(end);
                    }
                }
            }
        }
        EXPECT_EQ(reached.size(), airport.taxiPoints.size());
    }
}

TEST(DemoAirports, StraightStretchesAreNotCutAndCrossingsAreJunctions) {
    for (const Network& network : AllNetworks()) {
        const BglAirport& airport = *network.airport;
        SCOPED_TRACE(airport.name);
        std::set<int32_t> spurPoints;
        for (const BglTaxiSegment& segment : airport.taxiSegments) {
            if (segment.kind == kParking) {
                spurPoints.insert(segment.firstIndex);
            }
        }
        // Where only two segments of one taxiway (or runway) meet in a straight line and no
        // parking joins, the stretch is cut for nothing: the scope would name it once more.
        for (const auto& [point, segments] : network.at) {
            if (segments.size() != 2 || spurPoints.count(point) != 0 ||
                segments[0]->kind != segments[1]->kind ||
                segments[0]->nameIndex != segments[1]->nameIndex) {
                continue;
            }
            const auto away = [&](const BglTaxiSegment& segment) {
                return network.Between(
                    point, segment.firstIndex == point ? segment.secondIndex : segment.firstIndex);
            };
            const Vector one = away(*segments[0]);
            const Vector other = away(*segments[1]);
            const double cosine = (one.east * other.east + one.north * other.north) /
                                  std::hypot(one.east, one.north) /
                                  std::hypot(other.east, other.north);
            EXPECT_GT(cosine, -0.999) << "a straight stretch cut at point " << point;
        }
        // Segments whose insides cross must meet at a shared point instead.
        const auto& segments = airport.taxiSegments;
        for (size_t i = 0; i < segments.size(); ++i) {
            for (size_t j = i + 1; j < segments.size(); ++j) {
                const BglTaxiSegment& s = segments[i];
                const BglTaxiSegment& t = segments[j];
                if (s.kind == kParking || t.kind == kParking) {
                    continue;
                }
                const Vector r = network.Between(s.firstIndex, s.secondIndex);
                const Vector d = network.Between(t.firstIndex, t.secondIndex);
                const Vector start = network.Between(s.firstIndex, t.firstIndex);
                const double denominator = Cross(r, d);
                const double along = Cross(start, d) / denominator;
                const double across = Cross(start, r) / denominator;
                EXPECT_FALSE(std::abs(denominator) > 1e-6 && along > 0.01 && along < 0.99 &&
                             across > 0.01 && across < 0.99)
                    << "segments " << i << " and " << j << " cross without a junction";
            }
        }
    }
}

TEST(DemoAirports, EveryRunwayEndIsReachedByATaxiway) {
    for (const Network& network : AllNetworks()) {
        SCOPED_TRACE(network.airport->name);
        // A runway's ends are the points only one of its segments touches.
        std::map<int32_t, std::map<int32_t, int>> runwayPointUses;
        for (const BglTaxiSegment& segment : network.airport->taxiSegments) {
            if (segment.kind == kRunway) {
                ++runwayPointUses[segment.nameIndex][segment.firstIndex];
                ++runwayPointUses[segment.nameIndex][segment.secondIndex];
            }
        }
        EXPECT_EQ(runwayPointUses.size(), network.airport->runways.size());
        for (const auto& [runway, uses] : runwayPointUses) {
            int ends = 0;
            for (const auto& [point, count] : uses) {
                if (count == 1) {
                    ++ends;
                    const auto& there = network.at.at(point);
                    EXPECT_TRUE(
                        std::any_of(there.begin(), there.end(),
                                    [](const auto* segment) { return segment->kind == kTaxiway; }))
                        << "runway " << runway;
                }
            }
            EXPECT_EQ(ends, 2) << "runway " << runway;
        }
    }
}

}  // namespace
}  // namespace scopewatch::demo
