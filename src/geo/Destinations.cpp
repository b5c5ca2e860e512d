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

// The builder's distance as an arc: the sign is ignored.
double ArcOfMetres(double distanceMetres) {
    return ArcOfNm(std::fabs(distanceMetres) / kMetresPerNm);
}

double DegreesToRadians(double degrees) {
    return degrees * kPi / 180.0;
}

SineCosine SineCosineOf(double radians) {
    return {std::sin(radians), std::cos(radians)};
}

// The two halves of the step (the formula works with longitudes west positive, in radians).
// Every routine here goes through them, so that they all give the very same values.
double StepLatitude(const SineCosine& lat1, const SineCosine& theta, const SineCosine& arc) {
    return ArcSin(lat1.sine * arc.cosine + lat1.cosine * arc.sine * theta.cosine);
}

double StepLongitude(double lon1, double lat2, const SineCosine& theta, const SineCosine& arc) {
    const double cosLat2 = std::cos(lat2);
    if (cosLat2 == 0.0) {  // at a pole the longitude stays
        return lon1;
    }
    return FloorMod(lon1 - ArcSin(theta.sine * arc.sine / cosLat2) + kPi, 2.0 * kPi) - kPi;
}

double Degrees(double radians) {
    return radians * 180.0 / kPi;
}

}  // namespace

GeoPoint GreatCircleStep(GeoPoint from, double trueBearing, double arcRadians) {
    const SineCosine theta = SineCosineOf(DegreesToRadians(trueBearing));
    const SineCosine arc = SineCosineOf(arcRadians);
    const double lat2 = StepLatitude(SineCosineOf(DegreesToRadians(from.latitude)), theta, arc);
    const double lon2 = StepLongitude(-from.longitude * kPi / 180.0, lat2, theta, arc);
    return {Degrees(lat2), -lon2 * 180.0 / kPi};
}

GeoPoint DestinationPoint(GeoPoint from, int16_t trueBearing, double distanceMetres) {
    return Rounded(GreatCircleStep(from, trueBearing, ArcOfMetres(distanceMetres)),
                   kBuilderDecimals);
}

DestinationsFrom::DestinationsFrom(GeoPoint start)
    : latitude_(start.latitude),
      longitude_(start.longitude),
      lon1_(-start.longitude * kPi / 180.0),
      lat1_(SineCosineOf(DegreesToRadians(start.latitude))) {}

SineCosine DestinationsFrom::TermsOf(int16_t trueBearing) {
    for (size_t i = 0; i < bearingCount_; ++i) {
        if (bearings_[i].bearing == trueBearing) {
            return bearings_[i].terms;
        }
    }
    size_t slot = bearingCount_;
    if (bearingCount_ < bearings_.size()) {
        ++bearingCount_;
    } else {
        slot = nextReplaced_;
        nextReplaced_ = (nextReplaced_ + 1) % bearings_.size();
    }
    bearings_[slot] = {trueBearing, SineCosineOf(DegreesToRadians(trueBearing))};
    return bearings_[slot].terms;
}

double DestinationsFrom::LatitudeAt(int16_t trueBearing, double distanceMetres) {
    const double lat2 =
        StepLatitude(lat1_, TermsOf(trueBearing), SineCosineOf(ArcOfMetres(distanceMetres)));
    return RoundDecimals(Degrees(lat2), kBuilderDecimals);
}

double DestinationsFrom::LongitudeAt(int16_t trueBearing, double distanceMetres) {
    const SineCosine theta = TermsOf(trueBearing);
    const SineCosine arc = SineCosineOf(ArcOfMetres(distanceMetres));
    const double lon2 = StepLongitude(lon1_, StepLatitude(lat1_, theta, arc), theta, arc);
    return RoundDecimals(-lon2 * 180.0 / kPi, kBuilderDecimals);
}

GeoPoint DestinationNm(GeoPoint from, int16_t trueCourse, int16_t distanceNm) {
    const double distance = distanceNm < 0 ? 0.0 : distanceNm;
    return Rounded(GreatCircleStep(from, trueCourse, ArcOfNm(distance)), kScopeDecimals);
}

GeoPoint DestinationFt(GeoPoint from, int16_t trueCourse, int16_t distanceFt) {
    const double distance = distanceFt < 0 ? 0.0 : distanceFt;
    return Rounded(GreatCircleStep(from, trueCourse, ArcOfNm(distance / kFeetPerNm)),
                   kScopeDecimals);
}

}  // namespace scopewatch
