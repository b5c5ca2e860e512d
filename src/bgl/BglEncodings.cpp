#include "bgl/BglEncodings.h"

#include <bit>
#include <cmath>

#include "shared/Rounding.h"

namespace scopewatch {

double LatitudeFromRaw(int32_t raw) {
    return raw * 90.0 / 10001750.0;
}

double LongitudeFromRaw(int32_t raw) {
    return raw * 360.0 / 4294967296.0;
}

float DecodeSingle(int32_t word) {
    auto bits = static_cast<uint32_t>(word);
    // With an exponent field of 1 to 254 the word is a normal IEEE single, which the
    // computation below gives exactly (for every such word): take it as it stands.
    const uint32_t exponentField = (bits >> 23) & 0xFFU;
    if (exponentField != 0 && exponentField != 255) {
        return std::bit_cast<float>(bits);
    }
    if (word == 0) {
        return 0.0F;
    }
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
    // 2 to the power exponent - 127, exactly as pow gives it, without pow's cost.
    return static_cast<float>(sign * (mantissa / 8388608.0) * std::ldexp(1.0, exponent - 127));
}

double HeadingFromRaw(int32_t raw) {
    return (raw / 65536.0) * 360.0 / 65536.0;
}

std::string FrequencyText(int32_t word) {
    // Read the hexadecimal digits as decimal ones.
    auto bits = static_cast<uint32_t>(word);
    uint64_t value = 0;
    uint64_t scale = 1;
    for (int digit = 0; digit < 8; ++digit, bits >>= 4, scale *= 10) {
        const uint32_t nibble = bits & 0xFU;
        if (nibble > 9) {
            return {};
        }
        value += nibble * scale;
    }
    // value / 10000 written exactly: whole part, then the fraction without trailing zeros.
    std::string text = std::to_string(value / 10000);
    uint64_t fraction = value % 10000;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction + 10000).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text;
}

}  // namespace scopewatch
