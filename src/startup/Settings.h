#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "model/SettingsValues.h"
#include "platform/AtomicFile.h"
#include "shared/Outcome.h"

namespace scopewatch {

std::vector<uint8_t> EncodeSettings(const SettingsRecord& record);

// The record the bytes hold, or why they are not a settings record.
Outcome<SettingsRecord> DecodeSettings(const std::vector<uint8_t>& bytes);

// Reads the record of the file and copies simVersion, airportCount, simFolder and
// facilityDataFolder into the shared values. A missing, short or damaged file changes
// nothing and says why.
Status ReadSettings(const std::filesystem::path& file, SettingsRecord& record,
                    SettingsValues& values);
// Writes the record as the whole file (replacing it in one step).
Status WriteSettings(const std::filesystem::path& file, const SettingsRecord& record,
                     const AtomicWriteHook& hook = {});
// Rewrites the file with the shared airportCount and facilityDataFolder, keeping the
// other fields as they stand in the file.
Status UpdateSettings(const std::filesystem::path& file, const SettingsValues& values,
                      const AtomicWriteHook& hook = {});

}  // namespace scopewatch
