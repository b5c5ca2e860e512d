#include "geo/Geodesy.h"

#include <cmath>

#include "geo/GeoMath.h"
#include "geo/MagVarGrid.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

constexpr double kTwoPi = 2.0 * kPi;

struct Radians {
    double lat1, lon1, lat2, lon2;
};

Radians ToRadians(GeoPoint from, GeoPoint to) {
    return {from.latitude * kPi / 180.0, from.longitude * kPi / 180.0, to.latitude * kPi / 180.0,
            to.longitude * kPi / 180.0};
}

// Haversine while both differences are under one radian, else the law of cosines.
double CentralAngle(const Radians& r) {
    if (std::trunc(r.lat1 - r.lat2) == 0.0 && std::trunc(r.lon2 - r.lon1) == 0.0) {
        const double sinLat = std::sin((r.lat1 - r.lat2) / 2.0);
        const double sinLon = std::sin((r.lon1 - r.lon2) / 2.0);
        return 2.0 * ArcSin(std::sqrt(sinLat * sinLat +
                                      std::cos(r.lat1) * std::cos(r.lat2) * sinLon * sinLon));
    }
    return ArcCos(std::sin(r.lat1) * std::sin(r.lat2) +
                  std::cos(r.lat1) * std::cos(r.lat2) * std::cos(r.lon1 - r.lon2));
}

}  // namespace

int16_t DistanceNm(GeoPoint from, GeoPoint to) {
    double nm = CentralAngle(ToRadians(from, to)) * 10800.0 / kPi;
    if (nm > 32767.0) {
        nm = 32767.0;
    }
    return RoundToInt16(nm);
}

int16_t DistanceFt(GeoPoint from, GeoPoint to) {
    const double nm = RoundDecimals(CentralAngle(ToRadians(from, to)) * 10800.0 / kPi, 5);
    double ft = RoundDecimals(nm * 6080.0, 5);
    if (ft > 32767.0) {
        ft = 32767.0;
    }
    return RoundToInt16(ft);
}

int16_t MagneticCourse(GeoPoint from, GeoPoint to, const MagVarGrid& grid) {
    const Radians r = ToRadians(from, to);
    const double d = CentralAngle(r);
    double tc = 0.0;
    if (d != 0.0) {
        const double c = ArcCos((std::sin(r.lat2) - std::sin(r.lat1) * std::cos(d)) /
                                (std::sin(d) * std::cos(r.lat1)));
        tc = std::sin(r.lon2 - r.lon1) < 0.0 ? c : kTwoPi - c;
    }
    // Positions from a damaged file can be NaN: their course counts as north.
    const auto course = static_cast<int16_t>(360 - TruncateTo<int>(std::floor(tc * 180.0 / kPi)));
    return MagneticHeading(NormaliseHeading(course), from, grid);
}

int16_t MagneticToTrue(int16_t magneticHeading, GeoPoint at, const MagVarGrid& grid) {
    const int variation = grid.VariationDegreesAt(at);
    return NormaliseHeading(RoundToInt16(static_cast<double>(magneticHeading) + variation));
}

double GreatCircleNm(GeoPoint from, GeoPoint to) {
    return CentralAngle(ToRadians(from, to)) * 10800.0 / kPi;
}

double TrueCourseDegrees(GeoPoint from, GeoPoint to) {
    const Radians r = ToRadians(from, to);
    const double y = std::sin(r.lon2 - r.lon1) * std::cos(r.lat2);
    const double x = std::cos(r.lat1) * std::sin(r.lat2) -
                     std::sin(r.lat1) * std::cos(r.lat2) * std::cos(r.lon2 - r.lon1);
    return FloorMod(std::atan2(y, x) * 180.0 / kPi, 360.0);
}

GeoPoint AdvanceNm(GeoPoint from, double trueCourse, double distanceNm) {
    return GreatCircleStep(from, trueCourse, distanceNm * kPi / 10800.0);
}

int32_t WidthPercentPx(float percent, int32_t widthPx) {
    const double factor = RoundHalfEven(percent);
    return RoundToInt32(factor * widthPx / 100.0);
}

}  // namespace scopewatch
