#pragma once

#include <vector>

#include "model/AirportData.h"
#include "scope/DrawingSurface.h"
#include "scope/ScopeView.h"
#include "scope/SelectedAirspace.h"

namespace scopewatch {

// The airspaces around the airport, drawn at levels 1 to 12 in two passes: first every
// airspace that is neither Class D nor selected, in cyan; then every selected airspace
// (any type sharing the selection's reference point), in yellow. Each is a filled dot at
// its reference point and its boundary. A circle whose radius is below 1 nautical mile is
// drawn with radius 1, and the raised radius is kept in the airspace.
void DrawAirspaces(DrawingSurface& surface, const ScopeView& view,
                   std::vector<AirspaceRecord>& airspaces, const SelectedAirspace& selection);

}  // namespace scopewatch
