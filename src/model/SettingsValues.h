#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace scopewatch {

inline constexpr const char* kSettingsFileName = "atc_settings.tcs";
inline constexpr const char* kDatabaseFileName = "world_airports.dat";
inline constexpr const char* kSettingsHeader = "Scopewatch Version 1.0";

// The settings file's one record, field for field in file order.
struct SettingsRecord {
    std::string header;
    uint8_t marker = 0;
    uint8_t simVersion = 0;
    int32_t airportCount = 0;
    std::string simFolder;
    std::string facilityDataFolder;

    bool operator==(const SettingsRecord&) const = default;
};

// The settings values the rest of the program reads; one instance for the run.
struct SettingsValues {
    uint8_t simVersion = 0;
    int32_t airportCount = 0;
    std::string simFolder;
    std::string facilityDataFolder;
};

// The program's files and settings: the folder the program keeps its files in (the working
// directory it was started in), the settings file's record and the values read from it.
struct SettingsState {
    std::filesystem::path workDir;
    SettingsRecord settingsRecord;
    SettingsValues settings;

    std::filesystem::path SettingsFile() const { return workDir / kSettingsFileName; }
    std::filesystem::path DatabaseFile() const { return workDir / kDatabaseFileName; }
};

}  // namespace scopewatch
