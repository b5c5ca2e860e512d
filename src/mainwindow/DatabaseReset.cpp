#include "mainwindow/DatabaseReset.h"

#include "model/SettingsValues.h"
#include "platform/FileSystem.h"

namespace scopewatch {

void DeleteDatabaseFiles(const std::filesystem::path& workDir) {
    const FileSystem files(workDir);
    files.DeleteFiles(kSettingsFileName);
    files.DeleteFiles(kDatabaseFileName);
}

}  // namespace scopewatch
