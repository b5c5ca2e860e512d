#pragma once

#include <cstdint>

namespace scopewatch {

inline constexpr double kPi = 3.14159265358979;

// A 32-bit word read as an IEEE single, decoded by hand: an exponent field of 0 is read
// as a normal number and an exponent field of 255 gives 0.
float DecodeSingle(int32_t word);

// Arc sine and arc cosine in radians; 0 for arguments outside -1..1.
double ArcSin(double x);
double ArcCos(double x);

// y - x * floor(y / x), plus x when that is negative.
double FloorMod(double y, double x);

}  // namespace scopewatch
