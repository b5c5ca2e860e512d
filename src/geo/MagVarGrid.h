#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "geo/GeoPoint.h"

namespace scopewatch {

// Magnetic variation by whole degree: index lon * 181 + (lat + 90), lon 0..359 east,
// lat -90..90. A value v means v * 360 / 65536 degrees, easterly positive.
struct MagVarGrid {
    static constexpr int kLatitudes = 181;
    static constexpr int kLongitudes = 360;
    static constexpr int kFilled = kLatitudes * kLongitudes;  // 65160

    std::array<int16_t, kFilled + 1> values{};

    // Grid index of the whole-degree cell nearest to the position (halves to even).
    static int IndexAt(GeoPoint at);
    // Variation in whole degrees (truncated toward zero) at the position.
    int VariationDegreesAt(GeoPoint at) const;
};

}  // namespace scopewatch
