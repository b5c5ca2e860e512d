#pragma once

#include <filesystem>
#include <optional>

namespace scopewatch::replay {

// Asks for the capture file to replay, in the recordings folder of the working directory (or
// the working directory while it has none); nothing when the user cancels.
std::optional<std::filesystem::path> AskCaptureFile(const std::filesystem::path& workDir);

}  // namespace scopewatch::replay
