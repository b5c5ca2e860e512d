#include <gtest/gtest.h>

#include "multiplayer/TrafficFile.h"

namespace scopewatch {
namespace {

// A traffic file has one aircraft a line (blank lines and spaces aside, names to
// Windows-1252); reading stops at the first bad line (fields missing, a number out of range, a
// twenty-first aircraft), keeping those before. Words the number reader takes for infinite or
// undefined values are no numbers here.
TEST(TrafficFileTest, ReadsOneAircraftPerLineAndStopsAtTheFirstBadLine) {
    const TrafficFileResult result = ParseTrafficText(
        "Pilot7;36.45;-97.02;3500;270\r\n\n  Zoë ; 36.3 ; -96.9 ; 1800.4 ; 5.5 \n");
    EXPECT_EQ(result.error, "");
    ASSERT_EQ(result.traffic.trafficCount, 2);
    EXPECT_EQ(result.traffic.trafficTable[1],
              (TrafficRecord{"Pilot7", 3500, 270.0, -97.02, 36.45, "", ""}));
    EXPECT_EQ(result.traffic.trafficTable[2],
              (TrafficRecord{"Zo\xEB", 1800, 5.5, -96.9, 36.3, "", ""}));  // Windows-1252

    EXPECT_EQ(ParseTrafficText("A;1;2;3\n").error,
              "line 1: expected name;latitude;longitude;altitude feet;magnetic heading");
    std::string many;
    for (int i = 0; i < 21; ++i) {
        many += "P" + std::to_string(i) + ";0;0;0;0\n";
    }
    EXPECT_EQ(ParseTrafficText(many).error, "line 21: more than 20 aircraft");
    const TrafficFileResult bad = ParseTrafficText("A;1;2;3;4\nB;1;east;3;4\nC;1;2;3;4\n");
    EXPECT_EQ(bad.error, "line 2: a position, altitude or heading is not a number in range");
    EXPECT_EQ(bad.traffic.trafficCount, 1);
    for (const char* line : {"A;nan;0;0;0", "A;0;nan;0;0", "A;0;0;infinity;0", "A;0;0;-INF;0",
                             "A;0;0;0;NaN", "A;91;0;0;0", "A;0;0;0;361"}) {
        EXPECT_EQ(ParseTrafficText(line).error,
                  "line 1: a position, altitude or heading is not a number in range")
            << line;
    }
}

}  // namespace
}  // namespace scopewatch
