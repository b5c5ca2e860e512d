#include "shared/NumberText.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace scopewatch {
namespace {

std::string CharsText(double value, std::chars_format format, int precision) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, format, precision);
    return error == std::errc{} ? std::string(text, end) : std::string{};
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string ShortestNumberText(double value) {
    if (value == 0.0) {
        return "0";  // negative zero included
    }
    return CharsText(value, std::chars_format::general, 15);
}

std::string ShortestSingleText(float value) {
    if (value == 0.0F) {
        return "0";  // negative zero included
    }
    return CharsText(static_cast<double>(value), std::chars_format::general, 7);
}

std::string FixedNumberText(double value, int decimals) {
    return CharsText(value, std::chars_format::fixed, decimals);
}

std::optional<double> LeadingNumber(const std::string& text) {
    size_t end = 0;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
        ++end;
    }
    bool digits = false;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
        digits = true;
    }
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && IsDigit(text[end])) {
            ++end;
            digits = true;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    // from_chars takes no leading "+".
    const size_t start = text[0] == '+' ? 1 : 0;
    double value = 0.0;
    const auto [last, error] = std::from_chars(text.data() + start, text.data() + end, value);
    if (error == std::errc::result_out_of_range) {
        // Too large for a double (a whole part of some 309 digits) or too small: as strtod.
        const bool large = text.find_first_of("123456789", start) < text.find('.', start);
        const double magnitude = large ? std::numeric_limits<double>::infinity() : 0.0;
        return text[0] == '-' ? -magnitude : magnitude;
    }
    if (error != std::errc{} || last != text.data() + end) {
        return std::nullopt;
    }
    return value;
}

std::string HexText(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace scopewatch
