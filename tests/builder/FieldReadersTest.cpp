#include <gtest/gtest.h>

#include <cmath>

#include "builder/FieldReaders.h"

namespace scopewatch {
namespace {

// Singles are IEEE for normal numbers; exponent 0 reads as a normal number (so minus zero reads
// as -1.0 * 2^-127), exponent 255 (infinity, NaN) as zero. Arc sine and cosine give 0 outside
// [-1, 1]; the floored modulo is never negative.
TEST(FieldReadersTest, DecodeSingleArcFunctionsAndFloorModGuardTheirEdges) {
    const float tiny = static_cast<float>(std::ldexp(1.0, -127));
    const std::pair<uint32_t, float> singles[] = {
        {0x3F800000, 1.0F},     {0xC0000000, -2.0F},   {0, 0.0F},
        {0x42F6E979, 123.456F}, {0xBE000000, -0.125F}, {0x7F800000, 0.0F},
        {0x7FC00000, 0.0F},     {0x80000000, -tiny},   {1, tiny}};
    for (const auto& [word, value] : singles) {
        EXPECT_FLOAT_EQ(DecodeSingle(static_cast<int32_t>(word)), value) << std::hex << word;
    }
    EXPECT_EQ((std::vector{ArcSin(1.0000001), ArcSin(-1.5), ArcCos(1.0), ArcCos(2.0)}),
              std::vector(4, 0.0));
    EXPECT_NEAR(ArcSin(-1.0), -kPi / 2.0, 1e-12);
    EXPECT_NEAR(ArcCos(-0.5), 2.0 * kPi / 3.0, 1e-12);
    EXPECT_NEAR(ArcCos(-1.0), kPi, 1e-12);
    EXPECT_EQ((std::vector{FloorMod(370.0, 360.0), FloorMod(-1.0, 360.0), FloorMod(-720.0, 360.0)}),
              (std::vector{10.0, 359.0, 0.0}));
    EXPECT_NEAR(FloorMod(-0.5, 2.0 * kPi), 2.0 * kPi - 0.5, 1e-12);
}

}  // namespace
}  // namespace scopewatch
