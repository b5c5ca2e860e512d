#pragma once

#include <filesystem>

#include "airport/AirportData.h"
#include "multiplayer/TrafficTable.h"
#include "platform/Rounding.h"
#include "scope/DisplayFlags.h"
#include "startup/Settings.h"

namespace scopewatch {

// The program-wide state: one instance, created in main() and passed by reference to every
// window. Nothing else in the program is global.
struct ProgramState {
    // The folder the program keeps its files in: the working directory it was started in.
    std::filesystem::path workDir;

    SettingsRecord settingsRecord;
    SettingsValues settings;
    LoadedAirportData airport;

    // The session: our player's id (above 0 when a player exists), set True when the host
    // accepted the player, and whether the main window runs.
    int32_t myPlayerId = 0;
    Flag16 isConnected = kFalse16;
    Flag16 mainWindowOpen = kFalse16;

    TrafficTable traffic;
    DisplayFlags displayFlags;

    std::filesystem::path SettingsFile() const { return workDir / kSettingsFileName; }
    std::filesystem::path DatabaseFile() const { return workDir / kDatabaseFileName; }
};

}  // namespace scopewatch
