#pragma once

#include <vector>

#include "model/ConflictAlert.h"
#include "scope/DrawingSurface.h"
#include "scope/LabelPlacement.h"
#include "scope/ScopeScene.h"

namespace scopewatch {

// The traffic with the aids that are on, over the painted scope: the aids under the aircraft,
// the aircraft the altitude filter lets through (those in conflict in red, with their notes
// under readable labels), and the selected aircraft's square over them.
void PaintAidedTraffic(DrawingSurface& surface, const ScopeScene& scene);

// The aids drawn under the aircraft, each only when it is on: range rings every 5 nm around
// the airport out to 30 nm, each labelled with its distance; the trail of each aircraft, six
// small dots fading with age; and its track vector, a line to where it will be after the
// chosen minutes at its present ground speed and track; the selected aircraft's trail of the
// last 5 minutes; and a red line between the aircraft of each conflict with their distance.
// Leaves the drawing state standard.
// Returns the boxes of the texts it wrote beside the conflict lines.
std::vector<LabelBox> DrawAidsUnderTraffic(DrawingSurface& surface, const ScopeScene& scene,
                                           const TrafficTable& shown,
                                           const std::vector<Conflict>& conflicts);

void DrawRangeRings(DrawingSurface& surface, const ScopeView& view, const AirportRecord& airport);
void DrawTrails(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                const TrackHistory& history);
void DrawTrackVectors(DrawingSurface& surface, const ScopeView& view, const TrafficTable& traffic,
                      const TrackHistory& history, int minutes);
void DrawSelectedTrail(DrawingSurface& surface, const ScopeView& view, const TrackHistory& history,
                       const std::string& name);
// Returns the boxes of the distances written, which readable labels keep clear of.
std::vector<LabelBox> DrawConflictLines(DrawingSurface& surface, const ScopeView& view,
                                        const std::vector<Conflict>& conflicts);
// A square around the selected aircraft's dot, while it is shown.
void DrawSelectionSquare(DrawingSurface& surface, const ScopeView& view, const TrafficTable& shown,
                         const std::string& name);

}  // namespace scopewatch
