#pragma once

#include "scope/DrawingSurface.h"
#include "scope/ScopeScene.h"

namespace scopewatch {

// Draws everything but the traffic on a cleared scope: below level 13 the airspaces, from
// level 13 on the parkings, taxiways, runways and ILS cones (in that order, later layers
// over earlier ones), and at every level the airport's name. Layers whose flag is off or
// whose list is empty are left out; runways have no flag.
void PaintScope(DrawingSurface& surface, const ScopeScene& scene);

// A full repaint as every view change and the repaint timer do it: clear, paint the scope,
// then the traffic over it.
void RepaintScope(DrawingSurface& surface, const ScopeScene& scene);

}  // namespace scopewatch
