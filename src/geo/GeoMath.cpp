#include "geo/GeoMath.h"

#include <cmath>
#include <limits>

#include "shared/Rounding.h"

namespace scopewatch {

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

int32_t FeetFromMetres(double metres) {
    return RoundToInt32(metres / 0.3048);
}

double FloorMod(double y, double x) {
    // Between 0 (not included) and just under x, y / x rounds below 1 and the formula gives
    // y itself, bit for bit: the builder's longitudes mostly land there, and the division is
    // a good part of their cost.
    if (y > 0.0 && x < std::numeric_limits<double>::infinity() && y <= x * 0.999) {
        return y;
    }
    const double r = y - x * std::floor(y / x);
    return r < 0.0 ? r + x : r;
}

}  // namespace scopewatch
