#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "geo/GeoPoint.h"

namespace scopewatch {

// Every point the program reaches from a start along a true bearing is one step along a
// great circle of the same sphere (one minute of arc to the nautical mile). The routines
// below differ only in the unit of the distance, in what a negative distance means and in
// how the result is rounded, so they stand here side by side over that one step.

// The step itself, unrounded: bearing in degrees, distance as the arc in radians. The demo
// pilots fly with it.
GeoPoint GreatCircleStep(GeoPoint from, double trueBearing, double arcRadians);

// The builder's: |distance| metres (1852 to the nautical mile; the sign is ignored), the
// result rounded to 6 decimals. It places the facilities the database stores.
GeoPoint DestinationPoint(GeoPoint from, int16_t trueBearing, double distanceMetres);

// A sine and a cosine of one angle, computed together.
struct SineCosine {
    double sine = 0.0;
    double cosine = 1.0;
};

// The builder's destinations again and again from one start, each coordinate on its own:
// the values DestinationPoint gives, but the start's sine and cosine are computed once, each
// bearing's once, and a coordinate nobody asks for not at all. The builder places every taxi
// point and parking of an airport this way, east or west for the longitude and north or south
// for the latitude.
class DestinationsFrom {
  public:
    explicit DestinationsFrom(GeoPoint start);

    double latitude() const { return latitude_; }
    double longitude() const { return longitude_; }

    // DestinationPoint(start, trueBearing, distanceMetres).latitude
    double LatitudeAt(int16_t trueBearing, double distanceMetres);
    // DestinationPoint(start, trueBearing, distanceMetres).longitude
    double LongitudeAt(int16_t trueBearing, double distanceMetres);

  private:
    struct BearingTerms {
        int16_t bearing = 0;
        SineCosine terms;
    };
    SineCosine TermsOf(int16_t trueBearing);

    double latitude_;
    double longitude_;
    double lon1_;  // radians, west positive, as the step works
    SineCosine lat1_;
    // The bearings met so far (four cover the builder's); the oldest gives way to a fifth.
    std::array<BearingTerms, 4> bearings_{};
    size_t bearingCount_ = 0;
    size_t nextReplaced_ = 0;
};

// The scope's: whole nautical miles or whole feet (6080 to the nautical mile; a negative
// distance counts as 0), the result rounded to 5 decimals. The scope's layers draw with
// them and the airspace lookup centres airspaces with DestinationNm.
GeoPoint DestinationNm(GeoPoint from, int16_t trueCourse, int16_t distanceNm);
GeoPoint DestinationFt(GeoPoint from, int16_t trueCourse, int16_t distanceFt);

}  // namespace scopewatch
