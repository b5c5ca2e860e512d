#pragma once

#include <filesystem>

namespace scopewatch {

inline constexpr const char* kDeleteDatabaseQuestion =
    "Do you want to delete the current database files to then create new database files?";
inline constexpr const char* kDatabaseDeletedMessage =
    "The current database files were deleted, now you must re-run or restart Scopewatch for "
    "then create new database files. Now the program will end.";

// Deletes the settings file and then the airport database in workDir, in whatever letter
// case each exists (the start-up check finds them regardless of case, so every spelling must
// go for the next start to run setup). Every error is ignored, a missing file included.
void DeleteDatabaseFiles(const std::filesystem::path& workDir);

}  // namespace scopewatch
