#include <gtest/gtest.h>

#include <cmath>

#include "geo/Geodesy.h"
#include "model/AircraftNotes.h"
#include "model/ConflictAlert.h"

namespace scopewatch {
namespace {

// An aircraft where it is now relative to a point, flying a straight line.
struct Flying {
    double eastNm = 0.0;
    double northNm = 0.0;
    int32_t altitudeFt = 3000;
    double track = 0.0;
    double speedKt = 0.0;
    int climbFpm = 0;
};

// The conflicts of two aircraft reported once a second for the 8 seconds up to now.
std::vector<Conflict> ConflictsOf(const Flying& a, const Flying& b, ConflictLimits limits,
                                  int32_t elevationFt = 0) {
    const GeoPoint origin{36.4, -97.0};
    TrafficTable table;
    TrackHistory history;
    table.trafficCount = 2;
    for (int second = -8; second <= 0; ++second) {
        for (size_t i = 1; i <= 2; ++i) {
            const Flying& f = i == 1 ? a : b;
            const GeoPoint now = AdvanceNm(AdvanceNm(origin, 90.0, f.eastNm), 0.0, f.northNm);
            const GeoPoint at = AdvanceNm(now, f.track, f.speedKt * second / 3600.0);
            table.trafficTable[i] = {i == 1 ? "A" : "B",
                                     f.altitudeFt + f.climbFpm * second / 60,
                                     0.0,
                                     at.longitude,
                                     at.latitude,
                                     "",
                                     ""};
        }
        history.Record(table, second);
    }
    return FindConflicts(table.InUse(), history, limits, elevationFt);
}

// What the rule says of a pair: "none", "now", or "in <seconds to the closest point>".
std::string Verdict(const std::vector<Conflict>& conflicts) {
    if (conflicts.empty()) {
        return "none";
    }
    return conflicts[0].present ? "now"
                                : "in " + std::to_string(std::lround(conflicts[0].closestSeconds));
}

// Each limit from just inside to just outside, now and ahead: 3 nm, 1,000 ft and 60 s by
// default; both aircraft at least 500 ft above the airport. Head-on at 240 kt from 10 nm, the
// pair closes to 3 nm after 52.5 s and is nearest after 75 s (said whether the look-ahead
// reaches it or not); a descent of 1,200 ft a minute from 1,600 ft above closes the 1,000 ft
// after 30 s.
TEST(ConflictAlertTest, EachLimitHoldsFromJustInsideToJustOutsideNowAndAhead) {
    const ConflictLimits standard;
    const Flying still;
    const Flying eastbound{0, 0, 3000, 90, 240};
    const Flying westbound{10, 0, 3000, 270, 240};
    const Flying above{1, 0, 4600, 0, 0, -1200};
    const std::vector<std::tuple<const char*, Flying, Flying, ConflictLimits, int32_t, const char*>>
        cases{
            {"2.98 nm apart", still, {2.98}, standard, 0, "now"},
            {"3.02 nm apart", still, {3.02}, standard, 0, "none"},
            {"990 ft apart", still, {1, 0, 3990}, standard, 0, "now"},
            {"1,010 ft apart", still, {1, 0, 4010}, standard, 0, "none"},
            {"limits set wider", still, {4.9, 0, 5400}, {5, 2500, 0}, 0, "now"},
            {"one 499 ft above the airport", {0, 0, 1499}, {1, 0, 1499}, standard, 1000, "none"},
            {"both 500 ft above the airport", {0, 0, 1500}, {1, 0, 1500}, standard, 1000, "now"},
            {"head-on, 60 s ahead", eastbound, westbound, standard, 0, "in 75"},
            {"head-on, 54 s ahead", eastbound, westbound, {3, 1000, 54}, 0, "in 75"},
            {"head-on, 51 s ahead", eastbound, westbound, {3, 1000, 51}, 0, "none"},
            {"head-on, 180 s ahead", eastbound, westbound, {3, 1000, 180}, 0, "in 75"},
            {"head-on, no look-ahead", eastbound, westbound, {3, 1000, 0}, 0, "none"},
            {"passing 3.1 nm abeam",
             eastbound,
             {10, 3.1, 3000, 270, 240},
             {3, 1000, 180},
             0,
             "none"},
            {"descending, 32 s ahead", still, above, {3, 1000, 32}, 0, "in 30"},
            {"descending, 28 s ahead", still, above, {3, 1000, 28}, 0, "none"},
            {"climbing away", still, {1, 0, 3500, 0, 0, 1200}, standard, 0, "now"},
        };
    for (const auto& [what, a, b, limits, elevation, expected] : cases) {
        EXPECT_EQ(Verdict(ConflictsOf(a, b, limits, elevation)), expected) << what;
    }
    const std::vector<Conflict> now = ConflictsOf(still, {2.5}, standard);
    ASSERT_EQ(now.size(), 1u);
    EXPECT_NEAR(now[0].distanceNm, 2.5, 0.001);
    EXPECT_TRUE(InConflict(now, "B") && !InConflict(now, "C"));
}

// The filter's band holds both its bounds; the aids off, every aircraft is shown and no
// conflict is watched.
TEST(ConflictAlertTest, TheFilterKeepsItsBoundsAndTheAlertOffWatchesNothing) {
    ControllerAids aids;
    aids.altitudeFilter = true;
    aids.altitudeBand = {2000, 5000};
    TrafficTable table;
    for (const int32_t altitude : {1999, 2000, 5000, 5001}) {
        table.trafficTable.at(static_cast<size_t>(++table.trafficCount)) = {
            std::to_string(altitude), altitude, 0, -97.0, 36.4, "", ""};
    }
    const TrafficTable shown = ShownTraffic(table, aids);
    ASSERT_EQ(shown.trafficCount, 2);
    EXPECT_EQ(shown.trafficTable[1].playerName + " " + shown.trafficTable[2].playerName,
              "2000 5000");
    aids.altitudeFilter = false;
    EXPECT_EQ(ShownTraffic(table, aids).trafficCount, 4);
    EXPECT_TRUE(WatchedConflicts(table, TrackHistory{}, aids, 0).empty());
    aids.conflictAlert = true;
    EXPECT_EQ(WatchedConflicts(table, TrackHistory{}, aids, 0).size(), 2u);  // 1 ft apart
}

// A note keeps its first 24 characters without the spaces around them; an empty one goes.
TEST(ConflictAlertTest, ANoteIsCutTo24CharactersAndAnEmptyOneRemovesIt) {
    AircraftNotes notes;
    notes.Set("N1", "  descend to 3000 then direct ELD  ");
    EXPECT_EQ(notes.Of("N1"), "descend to 3000 then dir");
    notes.Set("N1", "   ");
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(notes.Of("N2"), "");
}

}  // namespace
}  // namespace scopewatch
