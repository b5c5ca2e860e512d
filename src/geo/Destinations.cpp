#include "geo/Destinations.h"

#include <cmath>

#include "geo/GeoMath.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

constexpr int kBuilderDecimals = 6;
constexpr int kScopeDecimals = 5;
constexpr double kMetresPerNm = 1852.0;
constexpr double kFeetPerNm = 6080.0;

GeoPoint Rounded(GeoPoint point, int decimals) {
    return {RoundDecimals(point.latitude, decimals), RoundDecimals(point.longitude, decimals)};
}

// One nautical mile is one minute of arc.
double ArcOfNm(double nauticalMiles) {
    return nauticalMiles * kPi / 10800.0;
}

}  // namespace

GeoPoint GreatCircleStep(GeoPoint from, double trueBearing, double arcRadians) {
    // The formula works with longitudes west positive.
    const double lat1 = from.latitude * kPi / 180.0;
    const double lon1 = -from.longitude * kPi / 180.0;
    const double theta = trueBearing * kPi / 180.0;
    const double lat2 = ArcSin(std::sin(lat1) * std::cos(arcRadians) +
                               std::cos(lat1) * std::sin(arcRadians) * std::cos(theta));
    double lon2 = lon1;
    if (std::cos(lat2) != 0.0) {  // at a pole the longitude stays
        lon2 =
            FloorMod(lon1 - ArcSin(std::sin(theta) * std::sin(arcRadians) / std::cos(lat2)) + kPi,
                     2.0 * kPi) -
            kPi;
    }
    return {lat2 * 180.0 / kPi, -lon2 * 180.0 / kPi};
}

GeoPoint DestinationPoint(double latitude, double longitude, int16_t trueBearing,
                          double distanceMetres) {
    const double arc = ArcOfNm(std::fabs(distanceMetres) / kMetresPerNm);
    return Rounded(GreatCircleStep({latitude, longitude}, trueBearing, arc), kBuilderDecimals);
}

GeoPoint DestinationNm(double lat, double lon, int16_t trueCourse, int16_t distanceNm) {
    const double distance = distanceNm < 0 ? 0.0 : distanceNm;
    return Rounded(GreatCircleStep({lat, lon}, trueCourse, ArcOfNm(distance)), kScopeDecimals);
}

GeoPoint DestinationFt(double lat, double lon, int16_t trueCourse, int16_t distanceFt) {
    const double distance = distanceFt < 0 ? 0.0 : distanceFt;
    return Rounded(GreatCircleStep({lat, lon}, trueCourse, ArcOfNm(distance / kFeetPerNm)),
                   kScopeDecimals);
}

}  // namespace scopewatch
