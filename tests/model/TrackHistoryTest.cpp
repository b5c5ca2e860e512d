#include <gtest/gtest.h>

#include "geo/Geodesy.h"
#include "model/TrackHistory.h"

namespace scopewatch {
namespace {

TrafficTable OneAircraft(const std::string& name, GeoPoint at) {
    TrafficTable table;
    table.trafficCount = 1;
    table.trafficTable[1].playerName = name;
    table.trafficTable[1].latitude = at.latitude;
    table.trafficTable[1].longitude = at.longitude;
    return table;
}

// An aircraft flying east at 120 kt, reported once a second for 40 seconds: its motion comes
// out at 120 kt on 090, its trail holds six positions 5 seconds apart (the oldest first), and
// the emptied table of a refresh changes nothing. One standing still, or seen once, has no
// motion; one unseen for long is forgotten.
TEST(TrackHistoryTest, MotionAndTrailFollowTheReportsAndAnAircraftUnseenIsForgotten) {
    TrackHistory history;
    const GeoPoint start{36.4, -97.0};
    for (int second = 0; second <= 40; ++second) {
        history.Record(OneAircraft("N1", AdvanceNm(start, 90.0, 120.0 * second / 3600.0)), second);
        history.Record(OneAircraft("Parked", {36.5, -97.1}), second);
    }
    history.Record(TrafficTable{}, 40);  // the refresh: names only, no positions
    const auto motion = history.MotionOf("N1");
    ASSERT_TRUE(motion.has_value());
    EXPECT_NEAR(motion->speedKt, 120.0, 0.5);
    EXPECT_NEAR(motion->trueTrack, 90.0, 0.5);
    const std::vector<GeoPoint> trail = history.TrailOf("N1");
    ASSERT_EQ(trail.size(), static_cast<size_t>(TrackHistory::kTrailLength));
    for (size_t i = 1; i < trail.size(); ++i) {
        EXPECT_NEAR(GreatCircleNm(trail[i - 1], trail[i]), 120.0 * 5 / 3600.0, 0.001) << i;
    }
    EXPECT_FALSE(history.MotionOf("Parked").has_value());
    EXPECT_NEAR(history.Estimate("Parked")->speedKt, 0.0, 1e-9);

    history.Record(OneAircraft("Once", {36.0, -97.0}), 41);
    EXPECT_FALSE(history.Estimate("Once").has_value());
    history.Record(OneAircraft("Once", {36.0, -97.0}), 41 + TrackHistory::kForgetSeconds + 1);
    EXPECT_EQ(history.tracks().count("N1"), 0u);
    EXPECT_TRUE(history.TrailOf("N1").empty());  // forgotten, trail and all
    EXPECT_EQ(history.tracks().count("Once"), 1u);
}

}  // namespace
}  // namespace scopewatch
