#include "builder/Headings.h"

#include <cmath>

#include "airport/MagVarGrid.h"
#include "builder/FieldReaders.h"
#include "platform/Rounding.h"

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

int16_t MagneticHeading(int16_t trueHeading, double latitude, double longitude,
                        const MagVarGrid& grid) {
    const int variation = grid.VariationDegreesAt(latitude, longitude);
    return NormaliseHeading(RoundToInt16(static_cast<double>(trueHeading) - variation));
}

GeoPoint DestinationPoint(double latitude, double longitude, int16_t trueBearing,
                          double distanceMetres) {
    const double d = std::fabs(distanceMetres) / 1852.0 * kPi / 10800.0;
    const double lat1 = latitude * kPi / 180.0;
    const double lon1 = -longitude * kPi / 180.0;
    const double theta = trueBearing * kPi / 180.0;
    const double lat2 =
        ArcSin(std::sin(lat1) * std::cos(d) + std::cos(lat1) * std::sin(d) * std::cos(theta));
    double lon2 = lon1;
    if (std::cos(lat2) != 0.0) {
        lon2 = FloorMod(lon1 - ArcSin(std::sin(theta) * std::sin(d) / std::cos(lat2)) + kPi,
                        2.0 * kPi) -
               kPi;
    }
    return {RoundDecimals(lat2 * 180.0 / kPi, 6), RoundDecimals(-lon2 * 180.0 / kPi, 6)};
}

}  // namespace scopewatch
