#pragma once

#include <filesystem>

namespace scopewatch::fuzzing {

// Runs two short loopback sessions on 127.0.0.1 and writes what the machines received as
// seeds: every DirectPlay message into out/directplay-codec/, the game messages inside the
// player data into out/game-messages/. In the first the demo host's pilots fly and talk to
// our client; in the second our host receives two joining clients and what they send. Kinds
// no session sent get a seed made by the encoder. Needs a QCoreApplication.
void WriteTrafficSeeds(const std::filesystem::path& out);

// Seeds for the encoder's target: fixed pseudo-random inputs (that target builds its
// messages from whatever bytes it gets).
void WriteEncoderSeeds(const std::filesystem::path& out);

}  // namespace scopewatch::fuzzing
