#pragma once

#include <cstdint>
#include <string>

#include "geo/GeoPoint.h"

namespace scopewatch {

// The rectangle of longitude and latitude the scope shows, the scope's size in pixels, the
// anchor of a measuring drag and the zoom level (1 = whole world, 20 = finest).
struct ScopeView {
    double West = 0.0;
    double North = 0.0;
    double East = 0.0;
    double South = 0.0;
    int32_t WidthPx = 0;
    int32_t HeightPx = 0;
    double DragAnchorLat = 0.0;
    double DragAnchorLon = 0.0;
    int16_t ZoomLevel = 1;

    bool operator==(const ScopeView&) const = default;
};

inline constexpr int16_t kMinZoomLevel = 1;
inline constexpr int16_t kMaxZoomLevel = 20;
// From this level on the scope shows the airport's surface instead of its airspaces.
inline constexpr int16_t kSurfaceZoomLevel = 13;
// The level the scope opens at: eight steps in from the whole world.
inline constexpr int16_t kInitialZoomLevel = 9;

struct ScopePoint {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const ScopePoint&) const = default;
};

// A pointer position as the scope's user scale reports it: single-precision degrees.
struct PointerPosition {
    float longitude = 0.0F;
    float latitude = 0.0F;
};

// Equirectangular projection to pixels, halves to even; positions outside the view give
// points outside the scope (no clipping, no wrapping at 180 degrees).
ScopePoint ProjectToScope(const ScopeView& view, GeoPoint position);

// The inverse of the projection for a pixel position: the scope's user scale reads West at
// the left edge, North at the top, East at the right and South at the bottom.
PointerPosition PointerAt(const ScopeView& view, double xPx, double yPx);

// Moves the view's centre to the position, keeping both spans.
void CentreView(ScopeView& view, GeoPoint centre);

// Halves both spans about the centre (levels 1 to 19); false when already at level 20.
bool ZoomIn(ScopeView& view);
// Doubles both spans about the centre (levels 2 to 20); false when already at level 1.
bool ZoomOut(ScopeView& view);

// Zooms one level in or out, keeping the position under the pixel where it is on the screen;
// false at the end of the levels.
bool ZoomAbout(ScopeView& view, bool in, double xPx, double yPx);

// Moves the view by quarters of the scope's width and height, right and down positive.
void PanView(ScopeView& view, int quartersRight, int quartersDown);

// The whole world (just inside +-180 / +-90) at level 1, for a scope of that size.
ScopeView WorldView(int32_t widthPx, int32_t heightPx);

// The view the main window opens with: the world (just inside +-180 / +-90) centred on the
// airport, then zoomed in to level 9.
ScopeView InitialView(int32_t widthPx, int32_t heightPx, GeoPoint centre);

// The zoom label's text: "x" and the level.
std::string ZoomLabelText(int16_t zoomLevel);

// The coordinate read-out under the scope: each value in its shortest general form (up to
// seven significant digits), with "E"/"W" and "N"/"S" taken from the texts' signs.
struct CoordinateReadout {
    std::string longitudeText;
    std::string latitudeText;
    std::string eastWest;
    std::string northSouth;
};
CoordinateReadout ReadoutFor(const PointerPosition& pointer);

}  // namespace scopewatch
