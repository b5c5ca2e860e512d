#pragma once

#include <string>

#include "geo/GeoPoint.h"

namespace scopewatch {

inline constexpr const char* kSelectedAirspaceMarker = "Current Selected Airspace";

// The airspace the pointer rests on, drawn highlighted; it lasts until the pointer moves.
struct SelectedAirspace {
    std::string Marker;
    std::string TypeText;
    double RefLat = 0.0;
    double RefLon = 0.0;

    bool Exists() const { return !Marker.empty() && !TypeText.empty(); }
    // Every airspace with exactly this reference point counts as selected.
    bool Selects(GeoPoint reference) const {
        return Exists() && reference.latitude == RefLat && reference.longitude == RefLon;
    }

    bool operator==(const SelectedAirspace&) const = default;
};

}  // namespace scopewatch
