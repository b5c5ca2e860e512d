#pragma once

#include <QString>
#include <string>

#include "model/SettingsValues.h"

namespace scopewatch {

class MessageBoxes;

// "NEXT STEP --->" of the setup dialog: writes a fresh settings file for the simulator
// folder (taken as typed) and says so. Returns true when the file was written; an empty
// folder text or a file that cannot be written is reported and returns false.
bool ConfirmSetup(SettingsState& state, MessageBoxes& messages, const std::string& folderText,
                  bool versionSelected);

// "NEXT STEP --->" with the folder as the user typed it: it becomes a Windows-1252 text here.
// A folder with a character Windows-1252 cannot hold is refused with a message that names
// it (nothing is written, returns false); any other goes on as ConfirmSetup.
bool ConfirmTypedSetup(SettingsState& state, MessageBoxes& messages, const QString& typedFolder,
                       bool versionSelected);

// Closing the setup dialog before it wrote the settings file: removes the settings file
// (and nothing else) and says that the program ends.
void AbandonSetup(SettingsState& state, MessageBoxes& messages);

}  // namespace scopewatch
