#include "startup/Setup.h"

#include <system_error>

#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "startup/Settings.h"

namespace scopewatch {

bool ConfirmSetup(SettingsState& state, MessageBoxes& messages, const std::string& folderText,
                  bool versionSelected) {
    if (folderText.empty()) {
        messages.Inform("Please enter the your fs directory");
        return false;
    }
    SettingsRecord record;
    record.header = kSettingsHeader;
    record.marker = 1;
    if (versionSelected) {
        record.simVersion = 1;
        state.settings.simVersion = 1;
    }
    record.simFolder = folderText;
    state.settings.simFolder = folderText;
    record.airportCount = state.settings.airportCount;
    record.facilityDataFolder = state.settings.facilityDataFolder;
    const Status written = WriteSettings(state.SettingsFile(), record);
    if (!written.ok()) {
        messages.Warn("The settings file could not be written: " + written.failure);
        return false;
    }
    state.settingsRecord = record;
    messages.Inform("Settings file created successfully!");
    return true;
}

bool ConfirmTypedSetup(SettingsState& state, MessageBoxes& messages, const QString& typedFolder,
                       bool versionSelected) {
    const Outcome<std::string> folder = PathTextOfEntered(typedFolder);
    if (!folder.ok()) {
        messages.Warn(folder.failure);
        return false;
    }
    return ConfirmSetup(state, messages, *folder.value, versionSelected);
}

void AbandonSetup(SettingsState& state, MessageBoxes& messages) {
    std::error_code ignored;
    std::filesystem::remove(state.SettingsFile(), ignored);
    messages.Inform("You didn't finish setup process, program will end");
}

}  // namespace scopewatch
