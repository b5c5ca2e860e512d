#include <gtest/gtest.h>

#include "platform/Rounding.h"

namespace scopewatch {
namespace {

TEST(RoundingTest, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-3.5), -4.0);
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3.0);
    EXPECT_EQ(RoundHalfEven(-0.4), 0.0);
}

TEST(RoundingTest, DecimalPlaces) {
    EXPECT_DOUBLE_EQ(RoundDecimals(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.375, 2), 0.38);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.0166666, 5), 0.01667);
    EXPECT_DOUBLE_EQ(RoundDecimals(-97.1234567, 6), -97.123457);
}

TEST(RoundingTest, WholeNumberConversionsSaturateInsteadOfOverflowing) {
    EXPECT_EQ(RoundToInt16(40000.0), 32767);
    EXPECT_EQ(RoundToInt16(-40000.0), -32768);
    EXPECT_EQ(RoundToInt16(32766.5), 32766);
    EXPECT_EQ(RoundToInt32(1e12), INT32_MAX);
    EXPECT_EQ(RoundToInt32(std::nan("")), 0);
    EXPECT_EQ(TruncateTo<int>(-0.99976), 0);
    EXPECT_EQ(TruncateTo<int>(-1.5), -1);
    EXPECT_EQ(ToFlag16(true), -1);
    EXPECT_EQ(ToFlag16(false), 0);
}

}  // namespace
}  // namespace scopewatch
