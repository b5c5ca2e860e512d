#pragma once

#include <cstdint>

namespace scopewatch {

// Pi as every computation of positions, courses and variations uses it, to 14 decimals: the
// values the builder stores and the scope draws follow from this very number.
inline constexpr double kPi = 3.14159265358979;

// Arc sine and arc cosine in radians; 0 for arguments outside -1..1.
double ArcSin(double x);
double ArcCos(double x);

// y - x * floor(y / x), plus x when that is negative.
double FloorMod(double y, double x);

// Whole feet from metres, halves to even.
int32_t FeetFromMetres(double metres);

}  // namespace scopewatch
