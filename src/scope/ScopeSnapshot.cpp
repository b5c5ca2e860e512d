#include "scope/ScopeSnapshot.h"

#include <QPainter>

#include "airport/AirportTakeOver.h"
#include "airport/AirspaceLookup.h"
#include "bgl/FileBuffer.h"
#include "bgl/MagdecFile.h"
#include "builder/AirportDatabaseFile.h"
#include "platform/FileSystem.h"
#include "scope/QPainterSurface.h"
#include "scope/ScopePainter.h"

namespace scopewatch {
namespace {

std::string ProblemNote(const BglProblem& problem) {
    return "airspaces of " + problem.file + " read up to the record at offset " +
           std::to_string(problem.recordOffset) + ": " + problem.what;
}

}  // namespace

SnapshotLoad LoadForSnapshot(const std::filesystem::path& workDir, int64_t airportIndex,
                             SettingsState& state, LoadedAirportData& airport) {
    SnapshotLoad load;
    state.workDir = workDir;
    const FileSystem files(workDir, FileSystem::MountedVolumes());
    // Both files under the names they have on disk, in any letter case.
    const SettingsResult settings =
        ReadSettings(files.ToRealPath(kSettingsFileName), state.settingsRecord, state.settings);
    if (!settings.ok) {
        load.error = "cannot read the settings: " + settings.error;
        return load;
    }
    FileBuffer buffer;
    const std::string magVarNote = MagVarLoadNote(
        LoadSimulatorMagVars(files, state.settings.simFolder, buffer, airport.magVarGrid));
    if (!magVarNote.empty()) {
        load.notes.push_back(magVarNote);
    }

    AirportDatabaseContent database =
        ReadAirportDatabase(files.ToRealPath(kDatabaseFileName), state.settings.airportCount);
    if (!database.fileFound) {
        load.error = std::string("cannot read ") + kDatabaseFileName;
        return load;
    }
    if (!database.problem.empty()) {
        load.notes.push_back("database read up to " + database.problem);
    }
    airport.airportList = std::move(database.records);
    if (!TakeOverAirport(airport, airportIndex)) {
        load.error = "no airport with index " + std::to_string(airportIndex);
        return load;
    }
    const AirspaceTarget target{airport.currentAirport, airport.magVarGrid};
    for (const BglProblem& problem : FindAirspaces(files, state.settings.facilityDataFolder, target,
                                                   buffer, airport.airspaces)) {
        load.notes.push_back(ProblemNote(problem));
    }
    load.ok = true;
    return load;
}

ScopeView SnapshotView(const AirportRecord& airport, int32_t widthPx, int32_t heightPx,
                       int16_t zoomLevel) {
    ScopeView view = InitialView(widthPx, heightPx, airport.longitude, airport.latitude);
    while (view.ZoomLevel < zoomLevel && ZoomIn(view)) {
    }
    while (view.ZoomLevel > zoomLevel && ZoomOut(view)) {
    }
    return view;
}

QImage RenderScope(const ScopeScene& scene) {
    QImage image(scene.view.WidthPx, scene.view.HeightPx, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(ScopeFont());
    QPainterSurface surface(painter);
    RepaintScope(surface, scene);
    return image;
}

}  // namespace scopewatch
