#include <gtest/gtest.h>

#include <cmath>

#include "builder/FieldReaders.h"

namespace scopewatch {
namespace {

// IEEE for normal numbers; exponent 0 reads as a normal number, exponent 255 as zero.
TEST(FieldReadersTest, DecodeSingleReadsExponentZeroAsNormalAnd255AsZero) {
    EXPECT_EQ(DecodeSingle(0x3F800000), 1.0F);
    EXPECT_EQ(DecodeSingle(static_cast<int32_t>(0xC0000000)), -2.0F);
    EXPECT_EQ(DecodeSingle(0), 0.0F);
    EXPECT_FLOAT_EQ(DecodeSingle(0x42F6E979), 123.456F);
    EXPECT_FLOAT_EQ(DecodeSingle(static_cast<int32_t>(0xBE000000)), -0.125F);
    EXPECT_EQ(DecodeSingle(0x7F800000), 0.0F);  // infinity
    EXPECT_EQ(DecodeSingle(0x7FC00000), 0.0F);  // NaN
    // Minus zero is not the zero word: it reads as -1.0 * 2^-127.
    EXPECT_FLOAT_EQ(DecodeSingle(static_cast<int32_t>(0x80000000)),
                    static_cast<float>(-std::ldexp(1.0, -127)));
    EXPECT_FLOAT_EQ(DecodeSingle(0x00000001), static_cast<float>(std::ldexp(1.0, -127)));
}

TEST(FieldReadersTest, ArcFunctionsGuardTheirDomainAndFloorModIsNeverNegative) {
    EXPECT_NEAR(ArcSin(-1.0), -kPi / 2.0, 1e-12);
    EXPECT_EQ(ArcSin(1.0000001), 0.0);
    EXPECT_EQ(ArcSin(-1.5), 0.0);
    EXPECT_NEAR(ArcCos(-0.5), 2.0 * kPi / 3.0, 1e-12);
    EXPECT_NEAR(ArcCos(-1.0), kPi, 1e-12);
    EXPECT_EQ(ArcCos(1.0), 0.0);
    EXPECT_EQ(ArcCos(2.0), 0.0);
    EXPECT_DOUBLE_EQ(FloorMod(370.0, 360.0), 10.0);
    EXPECT_DOUBLE_EQ(FloorMod(-1.0, 360.0), 359.0);
    EXPECT_DOUBLE_EQ(FloorMod(-720.0, 360.0), 0.0);
    EXPECT_NEAR(FloorMod(-0.5, 2.0 * kPi), 2.0 * kPi - 0.5, 1e-12);
}

}  // namespace
}  // namespace scopewatch
