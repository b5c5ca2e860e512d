#include "startup/StartupCheck.h"

#include "model/SessionState.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "shared/WindowFlow.h"
#include "startup/Settings.h"

namespace scopewatch {

StartupCase DetermineStartupCase(const FileSystem& files) {
    const bool settings = !files.ListFiles(kSettingsFileName).empty();
    const bool database = !files.ListFiles(kDatabaseFileName).empty();
    if (!settings && !database) {
        return StartupCase::FirstRun;
    }
    if (settings && !database) {
        return StartupCase::DatabaseMissing;
    }
    if (!settings) {
        return StartupCase::SettingsMissing;
    }
    return StartupCase::BothPresent;
}

void RemovePartialFiles(const FileSystem& files) {
    for (const char* name : {kSettingsFileName, kDatabaseFileName}) {
        files.DeleteFiles(name + std::string(kPartialSuffix));
    }
}

void RunStartupCheck(SettingsState& settings, SessionState& session, MessageBoxes& messages,
                     const FileSystem& files, WindowFlow& flow) {
    session.isConnected = kFalse16;
    session.mainWindowOpen = kFalse16;
    RemovePartialFiles(files);
    switch (DetermineStartupCase(files)) {
        case StartupCase::FirstRun:
            flow.ShowSetupDialog();
            return;
        case StartupCase::DatabaseMissing:
            messages.Warn(kDatabaseMissingText);
            files.DeleteFiles(kSettingsFileName);
            flow.ShowSetupDialog();
            return;
        case StartupCase::SettingsMissing:
            messages.Warn(kSettingsMissingText);
            files.DeleteFiles(kDatabaseFileName);
            flow.ShowSetupDialog();
            return;
        case StartupCase::BothPresent:
            break;
    }
    // The name as the listing found it: its letter case may differ from ours.
    const std::string settingsName = files.ListFiles(kSettingsFileName).front();
    const Status read =
        ReadSettings(files.ToRealPath(settingsName), settings.settingsRecord, settings.settings);
    if (!read.ok()) {
        messages.Warn("The settings file is damaged (" + read.failure +
                      "), so this program needs to create a new settings file again.");
        files.DeleteFiles(kSettingsFileName);
        flow.ShowSetupDialog();
        return;
    }
    flow.ShowAirportWindow();
}

}  // namespace scopewatch
