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
using scenery::BglTaxiPoint;
using scenery::BglTaxiSegment;

constexpr int32_t kTaxiway = 0;
constexpr int32_t kRunway = 1;
constexpr int32_t kParking = 2;

struct Vector {
    double east = 0.0;
    double north = 0.0;
};

Vector Between(const BglTaxiPoint& from, const BglTaxiPoint& to) {
    return {to.eastM - from.eastM, to.northM - from.northM};
}

double Cross(Vector a, Vector b) {
    return a.east * b.north - a.north * b.east;
}

double Length(Vector a) {
    return std::hypot(a.east, a.north);
}

std::vector<const BglAirport*> AllAirports() {
    std::vector<const BglAirport*> airports;
    for (const DemoSceneryFile& file : DemoSceneryFiles()) {
        for (const BglAirport& airport : file.airports) {
            airports.push_back(&airport);
        }
    }
    return airports;
}

// The segments of taxiways and runways (not parking spurs) at each taxi point.
std::map<int32_t, std::vector<const BglTaxiSegment*>> SegmentsAtPoints(const BglAirport& airport) {
    std::map<int32_t, std::vector<const BglTaxiSegment*>> at;
    for (const BglTaxiSegment& segment : airport.taxiSegments) {
        if (segment.kind != kParking) {
            at[segment.firstIndex].push_back(&segment);
            at[segment.secondIndex].push_back(&segment);
        }
    }
    return at;
}

const BglTaxiPoint& Point(const BglAirport& airport, int32_t index) {
    return airport.taxiPoints.at(static_cast<size_t>(index));
}

// The direction of the segment pointing away from the point.
Vector AwayFrom(const BglAirport& airport, const BglTaxiSegment& segment, int32_t point) {
    const int32_t other = segment.firstIndex == point ? segment.secondIndex : segment.firstIndex;
    return Between(Point(airport, point), Point(airport, other));
}

TEST(DemoAirports, SegmentsAreWholeAndEveryPointAndParkingIsReachable) {
    for (const BglAirport* airport : AllAirports()) {
        SCOPED_TRACE(airport->name);
        const auto points = static_cast<int32_t>(airport->taxiPoints.size());
        std::multiset<int32_t> spurs;
        std::set<std::pair<int32_t, int32_t>> joined;
        for (const BglTaxiSegment& segment : airport->taxiSegments) {
            ASSERT_TRUE(segment.kind == kTaxiway || segment.kind == kRunway ||
                        segment.kind == kParking);
            ASSERT_TRUE(segment.firstIndex >= 0 && segment.firstIndex < points);
            if (segment.kind == kParking) {
                spurs.insert(segment.secondIndex);
                continue;
            }
            ASSERT_TRUE(segment.secondIndex >= 0 && segment.secondIndex < points);
            const double metres = Length(
                Between(Point(*airport, segment.firstIndex), Point(*airport, segment.secondIndex)));
            EXPECT_GT(metres, 10.0) << segment.firstIndex << "-" << segment.secondIndex;
            const auto ends = std::minmax(segment.firstIndex, segment.secondIndex);
            EXPECT_TRUE(joined.insert(ends).second) << "twice " << ends.first << "-" << ends.second;
        }
        for (size_t parking = 0; parking < airport->parkings.size(); ++parking) {
            EXPECT_EQ(spurs.count(static_cast<int32_t>(parking)), 1u) << "parking " << parking;
        }
        // One piece: every taxi point reached from the first over taxiways and runways.
        const auto at = SegmentsAtPoints(*airport);
        std::set<int32_t> reached = {0};
        std::vector<int32_t> open = {0};
        while (!open.empty()) {
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
        EXPECT_EQ(reached.size(), airport->taxiPoints.size());
    }
}

TEST(DemoAirports, StraightStretchesAreNotCutAndCrossingsAreJunctions) {
    for (const BglAirport* airport : AllAirports()) {
        SCOPED_TRACE(airport->name);
        std::set<int32_t> spurPoints;
        for (const BglTaxiSegment& segment : airport->taxiSegments) {
            if (segment.kind == kParking) {
                spurPoints.insert(segment.firstIndex);
            }
        }
        // A point where only two segments of one taxiway (or runway) meet in a straight
        // line, with no parking there, cuts a stretch for nothing: the scope would write the
        // taxiway's name once more.
        for (const auto& [point, segments] : SegmentsAtPoints(*airport)) {
            if (segments.size() != 2 || spurPoints.count(point) != 0) {
                continue;
            }
            const BglTaxiSegment& a = *segments[0];
            const BglTaxiSegment& b = *segments[1];
            if (a.kind != b.kind || a.nameIndex != b.nameIndex) {
                continue;
            }
            const Vector one = AwayFrom(*airport, a, point);
            const Vector other = AwayFrom(*airport, b, point);
            const double sine = Cross(one, other) / (Length(one) * Length(other));
            const bool straight =
                std::abs(sine) < 0.02 && one.east * other.east + one.north * other.north < 0;
            EXPECT_FALSE(straight) << "a straight stretch cut at point " << point;
        }
        // Two segments whose insides cross must meet at a shared point instead.
        const auto& segments = airport->taxiSegments;
        for (size_t i = 0; i < segments.size(); ++i) {
            for (size_t j = i + 1; j < segments.size(); ++j) {
                const BglTaxiSegment& s = segments[i];
                const BglTaxiSegment& t = segments[j];
                if (s.kind == kParking || t.kind == kParking) {
                    continue;
                }
                const BglTaxiPoint& p = Point(*airport, s.firstIndex);
                const BglTaxiPoint& q = Point(*airport, t.firstIndex);
                const Vector r = Between(p, Point(*airport, s.secondIndex));
                const Vector d = Between(q, Point(*airport, t.secondIndex));
                const double denominator = Cross(r, d);
                if (std::abs(denominator) < 1e-6) {
                    continue;
                }
                const Vector pq = Between(p, q);
                const double along = Cross(pq, d) / denominator;
                const double across = Cross(pq, r) / denominator;
                EXPECT_FALSE(along > 0.01 && along < 0.99 && across > 0.01 && across < 0.99)
                    << "segments " << i << " and " << j << " cross without a junction";
            }
        }
    }
}

TEST(DemoAirports, EveryRunwayEndIsReachedByATaxiway) {
    for (const BglAirport* airport : AllAirports()) {
        SCOPED_TRACE(airport->name);
        // A runway's ends are the points only one of its segments touches.
        std::map<int32_t, std::map<int32_t, int>> runwayPointUses;
        std::set<int32_t> onTaxiways;
        for (const BglTaxiSegment& segment : airport->taxiSegments) {
            for (const int32_t end : {segment.firstIndex, segment.secondIndex}) {
                if (segment.kind == kRunway) {
                    ++runwayPointUses[segment.nameIndex][end];
                } else if (segment.kind == kTaxiway) {
                    onTaxiways.insert(end);
                }
            }
        }
        EXPECT_EQ(runwayPointUses.size(), airport->runways.size());
        for (const auto& [runway, uses] : runwayPointUses) {
            int ends = 0;
            for (const auto& [point, count] : uses) {
                if (count == 1) {
                    ++ends;
                    EXPECT_EQ(onTaxiways.count(point), 1u) << "runway " << runway;
                }
            }
            EXPECT_EQ(ends, 2) << "runway " << runway;
        }
    }
}

}  // namespace
}  // namespace scopewatch::demo
