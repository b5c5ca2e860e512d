#include <gtest/gtest.h>

#include <cmath>

#include "shared/NumberText.h"
#include "support/CommaDecimalLocale.h"

namespace scopewatch {
namespace {

// The shortest forms (15 significant digits for doubles) drop trailing zeros and the point of
// whole values; a leading number reads a sign, digits and one point, and nothing without a
// digit.
TEST(NumberTextTest, ShortestFormsDropTrailingZerosAndLeadingNumbersReadOnePoint) {
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

// Qt applies the user's locale at start-up; the program's texts keep their decimal point.
TEST(NumberTextTest, ACommaDecimalLocaleChangesNothing) {
    const testing::CommaDecimalLocale comma;
    if (!comma.active()) {
        GTEST_SKIP() << testing::CommaDecimalLocale::skipReason();
    }
    EXPECT_EQ(ShortestNumberText(118.5), "118.5");
    EXPECT_EQ(ShortestSingleText(-0.25F), "-0.25");
    EXPECT_EQ(FixedNumberText(0.0149, 2), "0.01");
    EXPECT_EQ(LeadingNumber("13.5"), 13.5);
}

}  // namespace
}  // namespace scopewatch
