#include <gtest/gtest.h>

#include <cmath>

#include "platform/NumberText.h"
#include "support/CommaDecimalLocale.h"

namespace scopewatch {
namespace {

TEST(NumberTextTest, ShortestFormsDropTrailingZerosAndThePointOfWholeValues) {
    EXPECT_EQ(ShortestNumberText(270.0), "270");
    EXPECT_EQ(ShortestNumberText(-0.25), "-0.25");
    EXPECT_EQ(ShortestNumberText(-0.0), "0");
    EXPECT_EQ(ShortestNumberText(118.3333), "118.3333");
    EXPECT_EQ(ShortestNumberText(0.1 + 0.2), "0.3");  // 15 significant digits
    EXPECT_EQ(ShortestNumberText(1e20), "1e+20");
    EXPECT_EQ(ShortestSingleText(8.549167F), "8.549167");
    EXPECT_EQ(ShortestSingleText(-0.0F), "0");
    EXPECT_EQ(FixedNumberText(0.0149, 2), "0.01");
    EXPECT_EQ(FixedNumberText(12.0, 2), "12.00");
}

TEST(NumberTextTest, LeadingNumberReadsSignDigitsAndOnePoint) {
    EXPECT_EQ(LeadingNumber("3.5abc"), 3.5);
    EXPECT_EQ(LeadingNumber("+7"), 7.0);
    EXPECT_EQ(LeadingNumber("-.5"), -0.5);
    EXPECT_EQ(LeadingNumber("12.5.7"), 12.5);
    EXPECT_EQ(LeadingNumber("1,5"), 1.0);
    EXPECT_EQ(LeadingNumber("abc"), std::nullopt);
    EXPECT_EQ(LeadingNumber("-."), std::nullopt);
    EXPECT_EQ(LeadingNumber(""), std::nullopt);
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
