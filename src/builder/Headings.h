#pragma once

#include <cstdint>

namespace scopewatch {

struct MagVarGrid;

struct GeoPoint {
    double latitude = 0.0;
    double longitude = 0.0;
};

// One correction each way: above 360 subtract 360, then below 0 add 360 (360 stays 360).
int16_t NormaliseHeading(int16_t heading);

// True heading to magnetic with the variation at the position.
int16_t MagneticHeading(int16_t trueHeading, double latitude, double longitude,
                        const MagVarGrid& grid);

// Great-circle step of |distance| metres along a true bearing; rounded to 6 decimals.
GeoPoint DestinationPoint(double latitude, double longitude, int16_t trueBearing,
                          double distanceMetres);

}  // namespace scopewatch
