#pragma once

namespace scopewatch {

struct ProgramState;
class MessageBoxes;
class FileSystem;
class WindowFlow;

enum class StartupCase { FirstRun, DatabaseMissing, SettingsMissing, BothPresent };

// Which of the two data files the working directory holds.
StartupCase DetermineStartupCase(const FileSystem& files);

// The check the splash window runs once: picks the first working window from the data
// files, deleting the surviving half of an incomplete pair, and reads the settings when
// both are there. A settings file that cannot be read is reported and setup runs again.
void RunStartupCheck(ProgramState& state, MessageBoxes& messages, const FileSystem& files,
                     WindowFlow& flow);

}  // namespace scopewatch
