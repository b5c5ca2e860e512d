#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace scopewatch {

// Writes the whole content to a temporary file beside the target, then renames it over the
// target, so that a crash mid-write never leaves a half-written file under the real name.
// Returns an error text (Windows-1252, as the program's texts are), or nothing on success.
std::optional<std::string> WriteFileAtomically(const std::filesystem::path& target,
                                               const std::vector<uint8_t>& content);

// The whole file, or nothing when it cannot be read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path);

}  // namespace scopewatch
