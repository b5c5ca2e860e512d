#include <gtest/gtest.h>

#include <cmath>

#include "shared/NumberText.h"
#include "shared/Rounding.h"
#include "support/CommaDecimalLocale.h"

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

// The shortest forms (15 significant digits for doubles) drop trailing zeros and the point of
// whole values; a leading number reads a sign, digits and one point, and nothing without a
// digit. Both keep their decimal point under a comma-decimal locale (Qt applies the user's at
// start-up).
TEST(NumberTextTest, ShortestFormsDropTrailingZerosAndLeadingNumbersReadOnePoint) {
    const testing::CommaDecimalLocale comma;
    EXPECT_EQ((std::vector{ShortestNumberText(270.0), ShortestNumberText(-0.25),
                           ShortestNumberText(-0.0), ShortestNumberText(118.3333),
                           ShortestNumberText(0.1 + 0.2), ShortestNumberText(1e20),
                           ShortestSingleText(8.549167F), ShortestSingleText(-0.0F),
                           FixedNumberText(0.0149, 2), FixedNumberText(12.0, 2)}),
              (std::vector<std::string>{"270", "-0.25", "0", "118.3333", "0.3", "1e+20", "8.549167",
                                        "0", "0.01", "12.00"}));
    EXPECT_EQ((std::vector{LeadingNumber("3.5abc"), LeadingNumber("+7"), LeadingNumber("-.5"),
                           LeadingNumber("12.5.7"), LeadingNumber("1,5"), LeadingNumber("abc"),
                           LeadingNumber("-."), LeadingNumber("")}),
              (std::vector<std::optional<double>>{3.5, 7.0, -0.5, 12.5, 1.0, std::nullopt,
                                                  std::nullopt, std::nullopt}));
    EXPECT_TRUE(std::isinf(*LeadingNumber("1" + std::string(400, '0'))));
    EXPECT_EQ(LeadingNumber("0." + std::string(400, '0') + "1"), 0.0);
}

}  // namespace
}  // namespace scopewatch
