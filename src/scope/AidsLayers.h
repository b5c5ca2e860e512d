#pragma once

#include "scope/DrawingSurface.h"
#include "scope/ScopeScene.h"

namespace scopewatch {

// The aids drawn under the aircraft, each only when it is on: range rings every 5 nm around
// the airport out to 30 nm, each labelled with its distance; the trail of each aircraft, six
// small dots fading with age; and its track vector, a line to where it will be after the
// chosen minutes at its present ground speed and track. Leaves the drawing state standard.
void DrawAidsUnderTraffic(DrawingSurface& surface, const ScopeScene& scene);

void DrawRangeRings(DrawingSurface& surface, const ScopeView& view, const AirportRecord& airport);
void DrawTrails(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                const TrackHistory& history);
void DrawTrackVectors(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                      const TrackHistory& history, int minutes);

}  // namespace scopewatch
