#include "scope/ScopeView.h"

#include <algorithm>
#include <cmath>

#include "shared/NumberText.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

constexpr double kWorldWest = -179.9999;
constexpr double kWorldEast = 179.9999;
constexpr double kWorldSouth = -89.9999;
constexpr double kWorldNorth = 89.9999;

// Pixel positions are kept within this distance of the scope's corner: far outside any
// scope (half a turn of longitude at the finest zoom of a scope 2000 pixels wide stays
// inside it), and far enough from the limits of the drawing calls' coordinates that the
// layers can add a dot's radius or a text's height to any point.
constexpr double kFarOutsidePx = 1 << 30;

int32_t FarOutsideAtMost(double px) {
    return RoundToInt32(std::clamp(px, -kFarOutsidePx, kFarOutsidePx));
}

}  // namespace

ScopePoint ProjectToScope(const ScopeView& view, GeoPoint position) {
    const double x = (position.longitude - view.West) / (view.East - view.West) * view.WidthPx;
    const double y = (view.North - position.latitude) / (view.North - view.South) * view.HeightPx;
    return {FarOutsideAtMost(x), FarOutsideAtMost(y)};
}

PointerPosition PointerAt(const ScopeView& view, double xPx, double yPx) {
    const double xFraction = view.WidthPx > 0 ? xPx / view.WidthPx : 0.0;
    const double yFraction = view.HeightPx > 0 ? yPx / view.HeightPx : 0.0;
    return {static_cast<float>(view.West + xFraction * (view.East - view.West)),
            static_cast<float>(view.North - yFraction * (view.North - view.South))};
}

void CentreView(ScopeView& view, GeoPoint centre) {
    const double halfWidth = std::abs(view.East - view.West) / 2.0;
    const double halfHeight = std::abs(view.North - view.South) / 2.0;
    view.West = centre.longitude - halfWidth;
    view.East = centre.longitude + halfWidth;
    view.North = centre.latitude + halfHeight;
    view.South = centre.latitude - halfHeight;
}

bool ZoomIn(ScopeView& view) {
    if (view.ZoomLevel < kMinZoomLevel || view.ZoomLevel > kMaxZoomLevel - 1) {
        return false;
    }
    const double quarterWidth = std::abs(view.East - view.West) / 4.0;
    const double quarterHeight = std::abs(view.South - view.North) / 4.0;
    view.West += quarterWidth;
    view.East -= quarterWidth;
    view.North -= quarterHeight;
    view.South += quarterHeight;
    view.ZoomLevel += 1;
    return true;
}

bool ZoomOut(ScopeView& view) {
    if (view.ZoomLevel < kMinZoomLevel + 1 || view.ZoomLevel > kMaxZoomLevel) {
        return false;
    }
    const double halfWidth = std::abs(view.East - view.West) / 2.0;
    const double halfHeight = std::abs(view.South - view.North) / 2.0;
    view.West -= halfWidth;
    view.East += halfWidth;
    view.North += halfHeight;
    view.South -= halfHeight;
    view.ZoomLevel -= 1;
    return true;
}

bool ZoomAbout(ScopeView& view, bool in, double xPx, double yPx) {
    const double xFraction = view.WidthPx > 0 ? xPx / view.WidthPx : 0.5;
    const double yFraction = view.HeightPx > 0 ? yPx / view.HeightPx : 0.5;
    const double longitude = view.West + xFraction * (view.East - view.West);
    const double latitude = view.North - yFraction * (view.North - view.South);
    if (!(in ? ZoomIn(view) : ZoomOut(view))) {
        return false;
    }
    const double east = longitude - (view.West + xFraction * (view.East - view.West));
    const double north = latitude - (view.North - yFraction * (view.North - view.South));
    view.West += east;
    view.East += east;
    view.North += north;
    view.South += north;
    return true;
}

void PanView(ScopeView& view, int quartersRight, int quartersDown) {
    const double east = quartersRight * (view.East - view.West) / 4.0;
    const double north = -quartersDown * (view.North - view.South) / 4.0;
    view.West += east;
    view.East += east;
    view.North += north;
    view.South += north;
}

ScopeView WorldView(int32_t widthPx, int32_t heightPx) {
    ScopeView view;
    view.WidthPx = widthPx;
    view.HeightPx = heightPx;
    view.West = kWorldWest;
    view.East = kWorldEast;
    view.South = kWorldSouth;
    view.North = kWorldNorth;
    view.ZoomLevel = kMinZoomLevel;
    return view;
}

ScopeView InitialView(int32_t widthPx, int32_t heightPx, GeoPoint centre) {
    ScopeView view = WorldView(widthPx, heightPx);
    CentreView(view, centre);
    while (view.ZoomLevel < kInitialZoomLevel) {
        ZoomIn(view);
    }
    return view;
}

std::string ZoomLabelText(int16_t zoomLevel) {
    return "x" + std::to_string(zoomLevel);
}

CoordinateReadout ReadoutFor(const PointerPosition& pointer) {
    CoordinateReadout readout;
    readout.longitudeText = ShortestSingleText(pointer.longitude);
    readout.latitudeText = ShortestSingleText(pointer.latitude);
    readout.eastWest = readout.longitudeText.starts_with('-') ? "W" : "E";
    readout.northSouth = readout.latitudeText.starts_with('-') ? "S" : "N";
    return readout;
}

}  // namespace scopewatch
