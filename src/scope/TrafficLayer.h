#pragma once

#include <vector>

#include "geo/MagVarGrid.h"
#include "model/AircraftNotes.h"
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

// How the aids mark aircraft: those in conflict in red, and the controller's notes as a
// second line of readable labels.
struct TrafficLook {
    std::vector<std::string> red;
    const AircraftNotes* notes = nullptr;
};

// Draws every aircraft of the table over the scope: a filled green dot, a heading line
// 500 ft long on the ground along its true heading, and the label
// "<name> Hdg: <heading> Alt: <altitude>" from the dot's centre. With a label placer the
// labels are placed where they can be read instead, each joined to its dot by a short line
// when it left its usual place, with the aircraft's note under it. An empty table draws
// nothing and leaves the drawing state as it is.
void DrawTraffic(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                 const MagVarGrid& grid, const ReadableLabels* readable = nullptr,
                 const TrafficLook* look = nullptr);

// The radius of an aircraft's dot on the scope.
int32_t AircraftDotRadius(const ScopeView& view);

// The label written beside an aircraft.
std::string TrafficLabel(const TrafficRecord& aircraft);

}  // namespace scopewatch
