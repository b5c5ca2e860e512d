#pragma once

#include <cstdint>

namespace scopewatch {

struct GeoPoint {
    double latitude = 0.0;
    double longitude = 0.0;
};

// Every point the program reaches from a start along a true bearing is one step along a
// great circle of the same sphere (one minute of arc to the nautical mile). The routines
// below differ only in the unit of the distance, in what a negative distance means and in
// how the result is rounded, so they stand here side by side over that one step.

// The step itself, unrounded: bearing in degrees, distance as the arc in radians. The demo
// pilots fly with it.
GeoPoint GreatCircleStep(GeoPoint from, double trueBearing, double arcRadians);

// The builder's: |distance| metres (1852 to the nautical mile; the sign is ignored), the
// result rounded to 6 decimals. It places the facilities the database stores.
GeoPoint DestinationPoint(double latitude, double longitude, int16_t trueBearing,
                          double distanceMetres);

// The scope's: whole nautical miles or whole feet (6080 to the nautical mile; a negative
// distance counts as 0), the result rounded to 5 decimals. The scope's layers draw with
// them and the airspace lookup centres airspaces with DestinationNm.
GeoPoint DestinationNm(double lat, double lon, int16_t trueCourse, int16_t distanceNm);
GeoPoint DestinationFt(double lat, double lon, int16_t trueCourse, int16_t distanceFt);

}  // namespace scopewatch
