#include "mainwindow/DatabaseReset.h"

#include "platform/FileSystem.h"
#include "startup/Settings.h"

namespace scopewatch {

void DeleteDatabaseFiles(const std::filesystem::path& workDir) {
    const FileSystem files(workDir);
    files.DeleteFiles(kSettingsFileName);
    files.DeleteFiles(kDatabaseFileName);
}

}  // namespace scopewatch
