#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace scopewatch {

// Round to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
inline double RoundHalfEven(double value) {
    const double floored = std::floor(value);
    const double difference = value - floored;
    if (difference > 0.5) {
        return floored + 1.0;
    }
    if (difference < 0.5) {
        return floored;
    }
    return std::fmod(floored, 2.0) == 0.0 ? floored : floored + 1.0;
}

// 10 to the power of 0 to 22: each one exactly a double, as std::pow(10.0, n) gives it, but
// without the cost of pow (which took a seventh of the database build).
inline constexpr std::array<double, 23> kPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// 10 to the power of places: from the table where it holds them exactly.
inline double PowerOfTen(int places) {
    if (places >= 0 && places < static_cast<int>(kPowersOfTen.size())) {
        return kPowersOfTen[static_cast<size_t>(places)];
    }
    return std::pow(10.0, places);
}

// Round to a number of decimal places, halves to even on the scaled value.
inline double RoundDecimals(double value, int places) {
    const double scale = PowerOfTen(places);
    return RoundHalfEven(value * scale) / scale;
}

// Convert a real to a whole number of type T, halves to even, saturating at T's limits
// (and giving 0 for NaN) instead of overflowing.
template <typename T>
T RoundTo(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = RoundHalfEven(value);
    if (rounded <= static_cast<double>(std::numeric_limits<T>::min())) {
        return std::numeric_limits<T>::min();
    }
    if (rounded >= static_cast<double>(std::numeric_limits<T>::max())) {
        return std::numeric_limits<T>::max();
    }
    return static_cast<T>(rounded);
}

inline int16_t RoundToInt16(double value) {
    return RoundTo<int16_t>(value);
}
inline int32_t RoundToInt32(double value) {
    return RoundTo<int32_t>(value);
}

// Truncate toward zero to a whole number of type T, saturating like RoundTo.
template <typename T>
T TruncateTo(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double truncated = std::trunc(value);
    if (truncated <= static_cast<double>(std::numeric_limits<T>::min())) {
        return std::numeric_limits<T>::min();
    }
    if (truncated >= static_cast<double>(std::numeric_limits<T>::max())) {
        return std::numeric_limits<T>::max();
    }
    return static_cast<T>(truncated);
}

// Booleans that files and records keep as 16-bit values.
using Flag16 = int16_t;
inline constexpr Flag16 kTrue16 = -1;
inline constexpr Flag16 kFalse16 = 0;
inline constexpr Flag16 ToFlag16(bool value) {
    return value ? kTrue16 : kFalse16;
}

}  // namespace scopewatch
