#include "geo/MagVarGrid.h"

#include "shared/Rounding.h"

namespace scopewatch {

int MagVarGrid::IndexAt(double latitude, double longitude) {
    const int64_t lat = RoundToInt32(latitude);
    int64_t lon = RoundToInt32(longitude);
    if (lon < 0) {
        lon += 360;
    }
    const int64_t index = lon * kLatitudes + lat + 90;
    // Positions outside -90..90 / -180..359 would land outside the grid: use the spare cell.
    return (index >= 0 && index <= kFilled) ? static_cast<int>(index) : kFilled;
}

int MagVarGrid::VariationDegreesAt(double latitude, double longitude) const {
    const int value = values[static_cast<size_t>(IndexAt(latitude, longitude))];
    return TruncateTo<int>(value * 360.0 / 65536.0);
}

}  // namespace scopewatch
