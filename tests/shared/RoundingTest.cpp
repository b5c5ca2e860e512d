#include <gtest/gtest.h>

#include "shared/Rounding.h"

namespace scopewatch {
namespace {

// Halves go to the even neighbour; decimal places round the same way, by exactly the powers of
// ten pow gives; whole-number conversions saturate instead of overflowing (NaN becomes 0) and
// truncations go toward zero.
TEST(RoundingTest, HalvesGoToTheEvenNeighbourAndConversionsSaturate) {
    EXPECT_EQ((std::vector{RoundHalfEven(2.5), RoundHalfEven(3.5), RoundHalfEven(-2.5),
                           RoundHalfEven(-3.5), RoundHalfEven(0.5), RoundHalfEven(2.5000001),
                           RoundHalfEven(-0.4)}),
              (std::vector{2.0, 4.0, -2.0, -4.0, 0.0, 3.0, 0.0}));
    EXPECT_DOUBLE_EQ(RoundDecimals(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.375, 2), 0.38);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.0166666, 5), 0.01667);
    EXPECT_DOUBLE_EQ(RoundDecimals(-97.1234567, 6), -97.123457);
    for (int places = -2; places < 25; ++places) {
        EXPECT_EQ(PowerOfTen(places), std::pow(10.0, places)) << places;
    }
    EXPECT_EQ((std::vector{RoundToInt16(40000.0), RoundToInt16(-40000.0), RoundToInt16(32766.5)}),
              (std::vector<int16_t>{32767, -32768, 32766}));
    EXPECT_EQ(RoundToInt32(1e12), INT32_MAX);
    EXPECT_EQ(RoundToInt32(std::nan("")), 0);
    EXPECT_EQ(TruncateTo<int>(-0.99976), 0);
    EXPECT_EQ(TruncateTo<int>(-1.5), -1);
    EXPECT_EQ((std::vector{ToFlag16(true), ToFlag16(false)}), (std::vector<Flag16>{-1, 0}));
}

}  // namespace
}  // namespace scopewatch
