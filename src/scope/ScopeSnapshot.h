#pragma once

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/AirportData.h"
#include "model/SettingsValues.h"
#include "scope/ScopeScene.h"
#include "scope/ScopeView.h"
#include "shared/Outcome.h"

namespace scopewatch {

// Prepares the state as the program would have it after "GET AIRPORT": reads the settings
// and the airport database of the working directory, the variation grid from magdec.bgl
// under the settings' simulator folder, takes over the airport at the index and collects
// its airspaces. Fails saying why nothing can be drawn; what was missing or damaged but did
// not stop it goes into the notes, whether it fails or not.
Status LoadForSnapshot(const std::filesystem::path& workDir, int64_t airportIndex,
                       SettingsState& settings, LoadedAirportData& airport,
                       std::vector<std::string>& notes);

// The view the main window has after loading, zoomed to the level.
ScopeView SnapshotView(const AirportRecord& airport, int32_t widthPx, int32_t heightPx,
                       int16_t zoomLevel);

// One repaint of the scope (clear, scope layers, traffic) into an image of the view's size.
QImage RenderScope(const ScopeScene& scene);

}  // namespace scopewatch
