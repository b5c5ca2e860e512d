#pragma once

#include <string>

#include "model/AircraftNotes.h"
#include "model/AirportData.h"
#include "model/ControllerAids.h"
#include "model/DisplayFlags.h"
#include "model/TrackHistory.h"
#include "model/TrafficTable.h"
#include "scope/ScopeView.h"
#include "scope/SelectedAirspace.h"

namespace scopewatch {

class LabelPlacer;

// The controller's aids over the scope: which are on, the aircraft's paths they draw from,
// the placement of readable labels, kept from one repaint to the next, the controller's notes
// and the aircraft the controller selected.
struct ScopeAids {
    const ControllerAids& choices;
    const TrackHistory& history;
    LabelPlacer& labels;
    const AircraftNotes* notes = nullptr;
    const std::string* selected = nullptr;  // the selected aircraft's name; none when empty
};

// Everything a repaint of the scope reads: the view, the loaded airport with its airspaces
// and variation grid, the traffic, the display flags and the airspace selection. The
// airport data is not const because drawing a circle raises a radius below 1 to 1 in it.
struct ScopeScene {
    const ScopeView& view;
    LoadedAirportData& airport;
    const TrafficTable& traffic;
    const DisplayFlags& flags;
    const SelectedAirspace& selection;
    const ScopeAids* aids = nullptr;  // none: the scope as the options draw it
};

}  // namespace scopewatch
