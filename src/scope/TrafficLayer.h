#pragma once

#include <vector>

#include "geo/MagVarGrid.h"
#include "model/TrafficTable.h"
#include "scope/DrawingSurface.h"
#include "scope/ScopeView.h"

namespace scopewatch {

class LabelPlacer;
struct LabelBox;

// Labels placed where they can be read, clear of the other texts of the scope.
struct ReadableLabels {
    LabelPlacer& placer;
    const std::vector<LabelBox>& obstacles;
};

// Draws every aircraft of the table over the scope: a filled green dot, a heading line
// 500 ft long on the ground along its true heading, and the label
// "<name> Hdg: <heading> Alt: <altitude>" from the dot's centre. With a label placer the
// labels are placed where they can be read instead, each joined to its dot by a short line
// when it left its usual place. An empty table draws nothing and leaves the drawing state as
// it is.
void DrawTraffic(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                 const MagVarGrid& grid, const ReadableLabels* readable = nullptr);

// The label written beside an aircraft.
std::string TrafficLabel(const TrafficRecord& aircraft);

}  // namespace scopewatch
