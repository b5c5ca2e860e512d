#pragma once

#include <cstdint>

#include "geo/Destinations.h"
#include "geo/GeoPoint.h"
#include "geo/Headings.h"

namespace scopewatch {

struct MagVarGrid;

// The scope's destinations, DestinationNm and DestinationFt, stand beside the builder's
// DestinationPoint in geo/Destinations.h: one great-circle step, rounded to 5 decimals there.

// Great-circle distance in nautical miles (1 nm = one minute of arc), capped at 32767.
int16_t DistanceNm(GeoPoint from, GeoPoint to);
// Great-circle distance in feet (6080 ft to the nautical mile), capped at 32767.
int16_t DistanceFt(GeoPoint from, GeoPoint to);
// Magnetic course from one point to another, with the variation at the first.
int16_t MagneticCourse(GeoPoint from, GeoPoint to, const MagVarGrid& grid);
// Magnetic heading to true with the variation at the position.
int16_t MagneticToTrue(int16_t magneticHeading, GeoPoint at, const MagVarGrid& grid);
// The great-circle distance in nautical miles and the true course from one point to another,
// unrounded, for what is measured rather than drawn (an aircraft's speed and track).
double GreatCircleNm(GeoPoint from, GeoPoint to);
double TrueCourseDegrees(GeoPoint from, GeoPoint to);
// The point the distance (nautical miles) along the true course, unrounded.
GeoPoint AdvanceNm(GeoPoint from, double trueCourse, double distanceNm);

// A percentage of the scope's width in pixels: both roundings halves to even.
int32_t WidthPercentPx(float percent, int32_t widthPx);

}  // namespace scopewatch
