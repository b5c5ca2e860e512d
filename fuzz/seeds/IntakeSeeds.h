#pragma once

#include <filesystem>

namespace scopewatch::fuzzing {

// Seeds for the intake's target (out/game-intake/): sessions of game messages as the demo's
// pilots send them, framed as that target reads them.
void WriteIntakeSeeds(const std::filesystem::path& out);

}  // namespace scopewatch::fuzzing
