#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"

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

std::vector<uint8_t> EncodeSettings(const SettingsRecord& record);

struct DecodedSettings {
    std::optional<SettingsRecord> record;
    std::string error;  // why the bytes are not a settings record, when record is empty
};
DecodedSettings DecodeSettings(const std::vector<uint8_t>& bytes);

struct SettingsResult {
    bool ok = false;
    std::string error;
};

// Reads the record of the file and copies simVersion, airportCount, simFolder and
// facilityDataFolder into the shared values. A missing, short or damaged file changes
// nothing and says why.
SettingsResult ReadSettings(const std::filesystem::path& file, SettingsRecord& record,
                            SettingsValues& values);
// Writes the record as the whole file (replacing it in one step).
SettingsResult WriteSettings(const std::filesystem::path& file, const SettingsRecord& record,
                             const AtomicWriteHook& hook = {});
// Rewrites the file with the shared airportCount and facilityDataFolder, keeping the
// other fields as they stand in the file.
SettingsResult UpdateSettings(const std::filesystem::path& file, const SettingsValues& values,
                              const AtomicWriteHook& hook = {});

}  // namespace scopewatch
