#pragma once

#include <cstdint>

#include "shared/Rounding.h"

namespace scopewatch {

// Where the program stands with the multiplayer session: our player's id (above 0 when a
// player exists), set True when the host accepted the player, and whether the main window
// runs. The intake, the chat, leaving and the window hand-offs work on this alone.
struct SessionState {
    int32_t myPlayerId = 0;
    Flag16 isConnected = kFalse16;
    Flag16 mainWindowOpen = kFalse16;
};

}  // namespace scopewatch
