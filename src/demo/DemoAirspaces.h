#pragma once

#include <filesystem>

namespace scopewatch::demo {

// Writes the demo simulator's airspace scenery files into its facility data folder (a real
// folder that exists). Throws std::runtime_error when a file cannot be written.
void WriteDemoAirspaces(const std::filesystem::path& folder);

}  // namespace scopewatch::demo
