#pragma once

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/AirportData.h"
#include "scope/ScopeScene.h"
#include "scope/ScopeView.h"
#include "startup/Settings.h"

namespace scopewatch {

// What loading a working directory for a picture of the scope brought.
struct SnapshotLoad {
    bool ok = false;
    std::string error;               // why nothing can be drawn, when not ok
    std::vector<std::string> notes;  // what was missing or damaged but did not stop it
};

// Prepares the state as the program would have it after "GET AIRPORT": reads the settings
// and the airport database of the working directory, the variation grid from magdec.bgl
// under the settings' simulator folder, takes over the airport at the index and collects
// its airspaces.
SnapshotLoad LoadForSnapshot(const std::filesystem::path& workDir, int64_t airportIndex,
                             SettingsState& settings, LoadedAirportData& airport);

// The view the main window has after loading, zoomed to the level.
ScopeView SnapshotView(const AirportRecord& airport, int32_t widthPx, int32_t heightPx,
                       int16_t zoomLevel);

// One repaint of the scope (clear, scope layers, traffic) into an image of the view's size.
QImage RenderScope(const ScopeScene& scene);

}  // namespace scopewatch
