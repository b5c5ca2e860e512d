#include "geo/GeoMath.h"

#include <cmath>

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
    const double r = y - x * std::floor(y / x);
    return r < 0.0 ? r + x : r;
}

}  // namespace scopewatch
