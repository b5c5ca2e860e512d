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
#include "startup/Settings.h"

namespace scopewatch {
namespace {

std::string ProblemNote(const BglProblem& problem) {
    return "airspaces of " + problem.file + " read up to the record at offset " +
           std::to_string(problem.recordOffset) + ": " + problem.what;
}

}  // namespace

Status LoadForSnapshot(const std::filesystem::path& workDir, int64_t airportIndex,
                       SettingsState& state, LoadedAirportData& airport,
                       std::vector<std::string>& notes) {
    state.workDir = workDir;
    const FileSystem files(workDir, FileSystem::MountedVolumes());
    // Both files under the names they have on disk, in any letter case.
    const Status settings =
        ReadSettings(files.ToRealPath(kSettingsFileName), state.settingsRecord, state.settings);
    if (!settings.ok()) {
        return Status::Failed("cannot read the settings: " + settings.failure);
    }
    FileBuffer buffer;
    const std::string magVarNote = MagVarLoadNote(
        LoadSimulatorMagVars(files, state.settings.simFolder, buffer, airport.magVarGrid));
    if (!magVarNote.empty()) {
        notes.push_back(magVarNote);
    }

    AirportDatabaseContent database =
        ReadAirportDatabase(files.ToRealPath(kDatabaseFileName), state.settings.airportCount);
    if (!database.fileFound) {
        return Status::Failed(std::string("cannot read ") + kDatabaseFileName);
    }
    if (!database.problem.empty()) {
        notes.push_back("database read up to " + database.problem);
    }
    airport.airportList = std::move(database.records);
    if (!TakeOverAirport(airport, airportIndex)) {
        return Status::Failed("no airport with index " + std::to_string(airportIndex));
    }
    const AirspaceTarget target{airport.currentAirport, airport.magVarGrid};
    for (const BglProblem& problem : FindAirspaces(files, state.settings.facilityDataFolder, target,
                                                   buffer, airport.airspaces)) {
        notes.push_back(ProblemNote(problem));
    }
    return Status::Done();
}

ScopeView SnapshotView(const AirportRecord& airport, int32_t widthPx, int32_t heightPx,
                       int16_t zoomLevel) {
    ScopeView view = InitialView(widthPx, heightPx, {airport.latitude, airport.longitude});
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
