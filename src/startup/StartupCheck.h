#pragma once

namespace scopewatch {

struct SessionState;
struct SettingsState;
class MessageBoxes;
class FileSystem;
class WindowFlow;

inline constexpr const char* kDatabaseMissingText =
    "The database file is missing, so this program needs to create a new database file again.";
inline constexpr const char* kSettingsMissingText =
    "The settings file is missing, so this program needs to create a new settings file again.";

enum class StartupCase { FirstRun, DatabaseMissing, SettingsMissing, BothPresent };

// Which of the two data files the working directory holds.
StartupCase DetermineStartupCase(const FileSystem& files);

// Removes what a writer of either data file that died before its rename left beside it
// (the file's name with ".partial" added): never a data file, only in the way.
void RemovePartialFiles(const FileSystem& files);

// The check the splash window runs once: removes the data files' ".partial" leftovers, picks
// the first working window from the data files, deleting the surviving half of an incomplete
// pair, and reads the settings when both are there. A settings file that cannot be read is
// reported and setup runs again.
void RunStartupCheck(SettingsState& settings, SessionState& session, MessageBoxes& messages,
                     const FileSystem& files, WindowFlow& flow);

}  // namespace scopewatch
