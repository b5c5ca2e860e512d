#include <gtest/gtest.h>

#include "multiplayer/TrafficFile.h"

namespace scopewatch {
namespace {

TEST(TrafficFileTest, ReadsOneAircraftPerLine) {
    const TrafficFileResult result = ParseTrafficText(
        "Pilot7;36.45;-97.02;3500;270\r\n\n  Zoë ; 36.3 ; -96.9 ; 1800.4 ; 5.5 \n");
    EXPECT_EQ(result.error, "");
    ASSERT_EQ(result.traffic.trafficCount, 2);
    const TrafficRecord& first = result.traffic.trafficTable[1];
    EXPECT_EQ(first.playerName, "Pilot7");
    EXPECT_DOUBLE_EQ(first.latitude, 36.45);
    EXPECT_DOUBLE_EQ(first.longitude, -97.02);
    EXPECT_EQ(first.altitudeFt, 3500);
    EXPECT_DOUBLE_EQ(first.heading, 270.0);
    const TrafficRecord& second = result.traffic.trafficTable[2];
    EXPECT_EQ(second.playerName, "Zo\xEB");  // stored in Windows-1252
    EXPECT_EQ(second.altitudeFt, 1800);
    EXPECT_DOUBLE_EQ(second.heading, 5.5);
}

TEST(TrafficFileTest, StopsAtTheFirstBadLine) {
    EXPECT_EQ(ParseTrafficText("A;1;2;3\n").error,
              "line 1: expected name;latitude;longitude;altitude feet;magnetic heading");
    const TrafficFileResult bad = ParseTrafficText("A;1;2;3;4\nB;1;east;3;4\nC;1;2;3;4\n");
    EXPECT_EQ(bad.error, "line 2: a position, altitude or heading is not a number in range");
    EXPECT_EQ(bad.traffic.trafficCount, 1);
    EXPECT_NE(ParseTrafficText("A;91;0;0;0").error, "");
    EXPECT_NE(ParseTrafficText("A;0;0;0;361").error, "");
    EXPECT_NE(ParseTrafficText(";0;0;0;0").error, "");
}

TEST(TrafficFileTest, HoldsAtMostTwentyAircraft) {
    std::string text;
    for (int i = 0; i < 21; ++i) {
        text += "P" + std::to_string(i) + ";0;0;0;0\n";
    }
    const TrafficFileResult result = ParseTrafficText(text);
    EXPECT_EQ(result.error, "line 21: more than 20 aircraft");
    EXPECT_EQ(result.traffic.trafficCount, 20);
}

}  // namespace
}  // namespace scopewatch
