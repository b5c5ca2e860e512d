#pragma once

#include <filesystem>

namespace scopewatch::fuzzing {

// Writes the seeds of the file readers' targets into out/<target>/: the demo simulator's
// files (written into workDir first), the settings file and database its build writes there,
// and smaller variants from the scenery writer.
void WriteFileSeeds(const std::filesystem::path& workDir, const std::filesystem::path& out);

}  // namespace scopewatch::fuzzing
