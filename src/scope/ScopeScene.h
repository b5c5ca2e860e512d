#pragma once

#include "model/AirportData.h"
#include "model/DisplayFlags.h"
#include "model/TrafficTable.h"
#include "scope/ScopeView.h"
#include "scope/SelectedAirspace.h"

namespace scopewatch {

// Everything a repaint of the scope reads: the view, the loaded airport with its airspaces
// and variation grid, the traffic, the display flags and the airspace selection. The
// airport data is not const because drawing a circle raises a radius below 1 to 1 in it.
struct ScopeScene {
    const ScopeView& view;
    LoadedAirportData& airport;
    const TrafficTable& traffic;
    const DisplayFlags& flags;
    const SelectedAirspace& selection;
};

}  // namespace scopewatch
