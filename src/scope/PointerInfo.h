#pragma once

#include <string>

#include "scope/DrawingSurface.h"
#include "scope/ScopeScene.h"
#include "scope/SelectedAirspace.h"

namespace scopewatch {

// What the scope tells about the objects under a resting pointer: the tooltip text and the
// airspace selection it makes (empty when no airspace is hit).
struct HoverInfo {
    std::string text;
    SelectedAirspace selection;
};

// Hit-tests, in this order, airspaces (below level 13, Class D never), players (every
// level), then parkings, runway ends and ILS antennas (from level 13). Every hit replaces
// the text, so the last object hit in that order speaks. Tolerances are in pixels around
// the pointer's own projection.
HoverInfo HoverInfoAt(const ScopeScene& scene, const PointerPosition& pointer);

// The name of the drawn aircraft whose dot is nearest the pixel, within a few pixels of the
// dot; "" when there is none.
std::string AircraftAt(const ScopeScene& scene, double xPx, double yPx);

// While the left button is held: clears the scope, draws a dotted line from the drag
// anchor to the pointer labelled with distance and magnetic course at its middle, then
// paints the scope and the traffic over it.
void DrawMeasuringLine(DrawingSurface& surface, const ScopeScene& scene,
                       const PointerPosition& pointer);

// The label of the measuring line: "Dist: <nm> nm  Course: <course> *".
std::string MeasuringLabel(int16_t distanceNm, int16_t magneticCourse);

}  // namespace scopewatch
