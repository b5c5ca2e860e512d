#include "support/DemoAirportState.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "builder/AirportDatabaseFile.h"
#include "builder/DatabaseBuild.h"
#include "demo/DemoSimulator.h"
#include "platform/FileSystem.h"
#include "scope/ScopeSnapshot.h"
#include "startup/Settings.h"
#include "state/ProgramState.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace scopewatch::testing {
namespace {

LoadedAirportData BuildAndLoad() {
    const TempDir dir;
    const std::string sim = (dir.path() / "sim").string();
    demo::WriteDemoSimulator(sim);
    ProgramState state;
    state.workDir = dir.path() / "run";
    std::filesystem::create_directories(state.workDir);
    state.settings.simVersion = 1;
    state.settings.simFolder = sim;
    if (!WriteSettings(state.SettingsFile(), {kSettingsHeader, 1, 1, 0, sim, ""}).ok()) {
        throw std::runtime_error("cannot write the demo settings");
    }
    const FileSystem files(state.workDir, FileSystem::MountedVolumes());
    ScriptedMessageBoxes messages;
    DatabaseBuild build(state, state.airport, files, messages);
    build.Discover();
    while (build.Step()) {
    }
    if (!build.Finish().ok()) {
        throw std::runtime_error("cannot build the demo database");
    }
    const auto records =
        ReadAirportDatabase(state.DatabaseFile(), state.settings.airportCount).records;
    const auto eldorado = std::find_if(records.begin(), records.end(), [](const auto& record) {
        return record.name == "Eldorado Intl";
    });
    SettingsState settings;
    LoadedAirportData loaded;
    std::vector<std::string> notes;
    const Status load =
        LoadForSnapshot(state.workDir, eldorado - records.begin(), settings, loaded, notes);
    if (!load.ok()) {
        throw std::runtime_error("cannot load Eldorado Intl: " + load.failure);
    }
    return loaded;
}

}  // namespace

const LoadedAirportData& DemoAirportLoaded() {
    static const LoadedAirportData airport = BuildAndLoad();
    return airport;
}

}  // namespace scopewatch::testing
