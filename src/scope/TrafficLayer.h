#pragma once

#include "geo/MagVarGrid.h"
#include "model/TrafficTable.h"
#include "scope/DrawingSurface.h"
#include "scope/ScopeView.h"

namespace scopewatch {

// Draws every aircraft of the table over the scope: a filled green dot, a heading line
// 500 ft long on the ground along its true heading, and the label
// "<name> Hdg: <heading> Alt: <altitude>". An empty table draws nothing and leaves the
// drawing state as it is.
void DrawTraffic(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                 const MagVarGrid& grid);

// The label written beside an aircraft.
std::string TrafficLabel(const TrafficRecord& aircraft);

}  // namespace scopewatch
