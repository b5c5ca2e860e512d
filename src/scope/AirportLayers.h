#pragma once

#include <string>

#include "scope/DrawingSurface.h"
#include "scope/ScopeScene.h"

namespace scopewatch {

// The airport surface layers, drawn from level 13 on. Each starts and ends with the
// standard drawing state and walks its list in order.

// A filled brown dot per parking or gate; its radius depends on the scope's width only.
void DrawParkings(DrawingSurface& surface, const ScopeScene& scene);
// Grey lines of width 2, and taxiway names (white, at the segment's middle) for named
// taxi-point-to-taxi-point segments while taxiway labels are on.
void DrawTaxiways(DrawingSurface& surface, const ScopeScene& scene);
// Green lines of width 2 between runway ends, the designators in white at the ends.
void DrawRunways(DrawingSurface& surface, const ScopeScene& scene);
// A yellow triangle per ILS: apex at the localizer, 10 degrees wide and 1800 ft long,
// opening outwards along the approach.
void DrawIlsCones(DrawingSurface& surface, const ScopeScene& scene);
// The airport's name in white at its reference point.
void DrawAirportName(DrawingSurface& surface, const ScopeScene& scene);

// Sets the pen colour and writes the text with its top-left corner at the point.
void DrawTextAt(DrawingSurface& surface, ScopePoint point, const std::string& text,
                GdiColor colour);

}  // namespace scopewatch
