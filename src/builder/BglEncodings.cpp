#include "builder/BglEncodings.h"

#include "platform/Rounding.h"

namespace scopewatch {

double LatitudeFromRaw(int32_t raw) {
    return raw * 90.0 / 10001750.0;
}

double LongitudeFromRaw(int32_t raw) {
    return raw * 360.0 / 4294967296.0;
}

int32_t FeetFromMetres(double metres) {
    return RoundToInt32(metres / 0.3048);
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
