#pragma once

namespace scopewatch {

// A position on the earth in degrees: latitude north positive, longitude east positive.
struct GeoPoint {
    double latitude = 0.0;
    double longitude = 0.0;

    bool operator==(const GeoPoint&) const = default;
};

}  // namespace scopewatch
