#include "scope/ScopeSnapshot.h"

#include <QPainter>

#include "airport/AirportTakeOver.h"
#include "airport/AirspaceLookup.h"
#include "builder/AirportDatabaseFile.h"
#include "builder/FileBuffer.h"
#include "platform/FileSystem.h"
#include "scope/QPainterSurface.h"
#include "scope/ScopePainter.h"
#include "shared/ProgramState.h"

namespace scopewatch {
namespace {

std::string ProblemNote(const AirspaceFileProblem& problem) {
    return "airspaces of " + problem.file + " read up to the record at offset " +
           std::to_string(problem.recordOffset) + ": " + problem.what;
}

}  // namespace

SnapshotLoad LoadForSnapshot(const std::filesystem::path& workDir, int64_t airportIndex,
                             ProgramState& state) {
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
        LoadSimulatorMagVars(files, state.settings.simFolder, buffer, state.airport.magVarGrid));
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
    state.airport.airportList = std::move(database.records);
    if (!TakeOverAirport(state.airport, airportIndex)) {
        load.error = "no airport with index " + std::to_string(airportIndex);
        return load;
    }
    const AirspaceTarget target{state.airport.currentAirport, state.airport.magVarGrid};
    for (const AirspaceFileProblem& problem : FindAirspaces(
             files, state.settings.facilityDataFolder, target, buffer, state.airport.airspaces)) {
        load.notes.push_back(ProblemNote(problem));
    }
    load.ok = true;
    return load;
}

ScopeView SnapshotView(const ProgramState& state, int32_t widthPx, int32_t heightPx,
                       int16_t zoomLevel) {
    const AirportRecord& airport = state.airport.currentAirport;
    ScopeView view = InitialView(widthPx, heightPx, airport.longitude, airport.latitude);
    while (view.ZoomLevel < zoomLevel && ZoomIn(view)) {
    }
    while (view.ZoomLevel > zoomLevel && ZoomOut(view)) {
    }
    return view;
}

QImage RenderScope(ProgramState& state, const ScopeView& view, const SelectedAirspace& selection) {
    QImage image(view.WidthPx, view.HeightPx, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(ScopeFont());
    QPainterSurface surface(painter);
    const ScopeScene scene{view, state.airport, state.traffic, state.displayFlags, selection};
    RepaintScope(surface, scene);
    return image;
}

}  // namespace scopewatch
