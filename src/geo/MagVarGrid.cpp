#include "geo/MagVarGrid.h"

#include "shared/Rounding.h"

namespace scopewatch {

int MagVarGrid::IndexAt(GeoPoint at) {
    const int64_t lat = RoundToInt32(at.latitude);
    int64_t lon = RoundToInt32(at.longitude);
    if (lon < 0) {
        lon += 360;
    }
    const int64_t index = lon * kLatitudes + lat + 90;
    // Positions outside -90..90 / -180..359 would land outside the grid: use the spare cell.
    return (index >= 0 && index <= kFilled) ? static_cast<int>(index) : kFilled;
}

int MagVarGrid::VariationDegreesAt(GeoPoint at) const {
    const int value = values[static_cast<size_t>(IndexAt(at))];
    return TruncateTo<int>(value * 360.0 / 65536.0);
}

}  // namespace scopewatch
