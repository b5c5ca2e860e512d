#include "scope/ScopePainter.h"

#include "scope/AidsLayers.h"
#include "scope/AirportLayers.h"
#include "scope/AirspaceLayer.h"
#include "scope/TrafficLayer.h"

namespace scopewatch {
namespace {

void PaintAirspaceLevel(DrawingSurface& surface, const ScopeScene& scene) {
    if (scene.flags.showAirspaces && scene.airport.airspaceCount() > 0) {
        DrawAirspaces(surface, scene.view, scene.airport.airspaces, scene.selection);
    }
}

void PaintSurfaceLevel(DrawingSurface& surface, const ScopeScene& scene) {
    const AirportRecord& airport = scene.airport.currentAirport;
    if (scene.flags.showParkings && airport.parkingCount() > 0) {
        DrawParkings(surface, scene);
    }
    if (scene.flags.showTaxiways && airport.taxiSegmentCount() > 0) {
        DrawTaxiways(surface, scene);
    }
    DrawRunways(surface, scene);
    if (scene.flags.showIls && airport.ilsCount() > 0) {
        DrawIlsCones(surface, scene);
    }
}

}  // namespace

void PaintScope(DrawingSurface& surface, const ScopeScene& scene) {
    surface.ResetDrawingState();
    if (scene.view.ZoomLevel < kSurfaceZoomLevel) {
        PaintAirspaceLevel(surface, scene);
    } else {
        PaintSurfaceLevel(surface, scene);
    }
    if (scene.flags.showAirportName) {
        DrawAirportName(surface, scene);
    }
    surface.ResetDrawingState();
}

void RepaintScope(DrawingSurface& surface, const ScopeScene& scene) {
    surface.Cls();
    PaintScope(surface, scene);
    if (scene.aids == nullptr) {
        DrawTraffic(surface, scene.view, scene.traffic, scene.airport.magVarGrid);
    } else {
        PaintAidedTraffic(surface, scene);
    }
}

}  // namespace scopewatch
