#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "demo/DemoSimulator.h"

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

// Every demo airport's taxi network has the shape of a real airport's: one piece, every
// parking joined once, no segment doubled or shorter than 10 m, every junction a shared point,
// straight stretches uncut between junctions, both ends of every runway reached by a taxiway.
TEST(DemoAirports, TaxiNetworksHaveTheShapeOfARealAirport) {
    for (const DemoSceneryFile& file : DemoSceneryFiles()) {
        for (const BglAirport& airport : file.airports) {
            SCOPED_TRACE(airport.name);
            const auto between = [&](int32_t from, int32_t to) {
                const auto& a = airport.taxiPoints.at(static_cast<size_t>(from));
                const auto& b = airport.taxiPoints.at(static_cast<size_t>(to));
                return Vector{b.eastM - a.eastM, b.northM - a.northM};
            };
            // The taxiway and runway segments at each point; parking spurs apart.
            std::map<int32_t, std::vector<const BglTaxiSegment*>> at;
            std::multiset<int32_t> parkingsJoined;
            std::set<int32_t> spurPoints;
            std::set<std::pair<int32_t, int32_t>> joined;
            std::map<int32_t, std::map<int32_t, int>> runwayPointUses;
            for (const BglTaxiSegment& segment : airport.taxiSegments) {
                const auto [first, second] = std::minmax(segment.firstIndex, segment.secondIndex);
                if (segment.kind == kParking) {
                    parkingsJoined.insert(segment.secondIndex);
                    spurPoints.insert(segment.firstIndex);
                    continue;
                }
                at[first].push_back(&segment);
                at[second].push_back(&segment);
                const Vector line = between(first, second);
                EXPECT_GT(std::hypot(line.east, line.north), 10.0) << first;
                EXPECT_TRUE(joined.insert({first, second}).second) << "joined twice at " << first;
                if (segment.kind == kRunway) {
                    ++runwayPointUses[segment.nameIndex][first];
                    ++runwayPointUses[segment.nameIndex][second];
                }
            }
            for (size_t parking = 0; parking < airport.parkings.size(); ++parking) {
                EXPECT_EQ(parkingsJoined.count(static_cast<int32_t>(parking)), 1u) << parking;
            }

            // One piece: every taxi point is reached from the first.
            std::set<int32_t> reached = {0};
            for (std::vector<int32_t> open = {0}; !open.empty();) {
                const int32_t point = open.back();
                open.pop_back();
                for (const BglTaxiSegment* segment : at.at(point)) {
                    for (const int32_t end : {segment->firstIndex, segment->secondIndex}) {
                        if (reached.insert(end).second) {
                            open.push_back(end);
                        }
                    }
                }
            }
            EXPECT_EQ(reached.size(), airport.taxiPoints.size());

            // Where only two segments of one taxiway (or runway) meet in a straight line and no
            // parking joins, the stretch is cut for nothing: the scope would name it once more.
            for (const auto& [point, segments] : at) {
                if (segments.size() != 2 || spurPoints.count(point) != 0 ||
                    segments[0]->kind != segments[1]->kind ||
                    segments[0]->nameIndex != segments[1]->nameIndex) {
                    continue;
                }
                const auto away = [&, from = point](const BglTaxiSegment* s) {
                    const Vector v =
                        between(from, s->firstIndex == from ? s->secondIndex : s->firstIndex);
                    return Vector{v.east / std::hypot(v.east, v.north),
                                  v.north / std::hypot(v.east, v.north)};
                };
                const Vector one = away(segments[0]);
                const Vector other = away(segments[1]);
                EXPECT_GT(one.east * other.east + one.north * other.north, -0.999)
                    << "a straight stretch cut at point " << point;
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
                    const Vector r = between(s.firstIndex, s.secondIndex);
                    const Vector d = between(t.firstIndex, t.secondIndex);
                    const Vector start = between(s.firstIndex, t.firstIndex);
                    const double denominator = Cross(r, d);
                    const double along = Cross(start, d) / denominator;
                    const double across = Cross(start, r) / denominator;
                    EXPECT_FALSE(std::abs(denominator) > 1e-6 && along > 0.01 && along < 0.99 &&
                                 across > 0.01 && across < 0.99)
                        << "segments " << i << " and " << j << " cross without a junction";
                }
            }

            // A runway's ends are the points only one of its segments touches.
            EXPECT_EQ(runwayPointUses.size(), airport.runways.size());
            for (const auto& [runway, uses] : runwayPointUses) {
                int ends = 0;
                for (const auto& [point, count] : uses) {
                    if (count == 1) {
                        ++ends;
                        const auto& there = at.at(point);
                        EXPECT_TRUE(std::any_of(there.begin(), there.end(),
                                                [](const auto* s) { return s->kind == kTaxiway; }))
                            << "runway " << runway;
                    }
                }
                EXPECT_EQ(ends, 2) << "runway " << runway;
            }
        }
    }
}

}  // namespace
}  // namespace scopewatch::demo
