#pragma once

#include <cstdint>

#include "geo/GeoPoint.h"

namespace scopewatch {

struct MagVarGrid;

// One correction each way: above 360 subtract 360, then below 0 add 360 (360 stays 360).
int16_t NormaliseHeading(int16_t heading);

// True heading to magnetic with the variation at the position.
int16_t MagneticHeading(int16_t trueHeading, GeoPoint at, const MagVarGrid& grid);

}  // namespace scopewatch
