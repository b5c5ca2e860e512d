#include "geo/Headings.h"

#include "geo/MagVarGrid.h"
#include "shared/Rounding.h"

namespace scopewatch {

int16_t NormaliseHeading(int16_t heading) {
    int value = heading;
    if (value > 360) {
        value -= 360;
    }
    if (value < 0) {
        value += 360;
    }
    return static_cast<int16_t>(value);
}

int16_t MagneticHeading(int16_t trueHeading, GeoPoint at, const MagVarGrid& grid) {
    const int variation = grid.VariationDegreesAt(at);
    return NormaliseHeading(RoundToInt16(static_cast<double>(trueHeading) - variation));
}

}  // namespace scopewatch
