#include "builder/FieldReaders.h"

#include <cmath>

namespace scopewatch {

float DecodeSingle(int32_t word) {
    if (word == 0) {
        return 0.0F;
    }
    auto bits = static_cast<uint32_t>(word);
    const double sign = (bits & 0x80000000U) != 0 ? -1.0 : 1.0;
    bits &= 0x7FFFFFFFU;
    const uint32_t c0 = bits & 0xFFU;
    const uint32_t c1 = (bits >> 8) & 0xFFU;
    const uint32_t c2 = (bits >> 16) & 0xFFU;
    const uint32_t c3 = (bits >> 24) & 0xFFU;
    const int exponent = static_cast<int>(2 * c3 + (c2 >> 7));
    if (exponent == 255) {
        return 0.0F;
    }
    const double mantissa = static_cast<double>(((c2 | 0x80U) << 16) + 256 * c1 + c0);
    return static_cast<float>(sign * (mantissa / 8388608.0) * std::pow(2.0, exponent - 127));
}

double ArcSin(double x) {
    if (x < -1.0 || x > 1.0) {
        return 0.0;
    }
    return 2.0 * std::atan(x / (1.0 + std::sqrt(1.0 - x * x)));
}

double ArcCos(double x) {
    if (x < -1.0 || x > 1.0) {
        return 0.0;
    }
    if (x >= 0.0) {
        return 2.0 * std::atan(std::sqrt((1.0 - x) / (1.0 + x)));
    }
    return kPi - 2.0 * std::atan(std::sqrt((1.0 + x) / (1.0 - x)));
}

double FloorMod(double y, double x) {
    const double r = y - x * std::floor(y / x);
    return r < 0.0 ? r + x : r;
}

}  // namespace scopewatch
