#pragma once

#include <optional>
#include <string>

#include "directplay/DirectPlayCodec.h"

namespace scopewatch::testing {

// A machine's system player: its flags, id, dialect and the addresses of its machine.
inline directplay::PlayerInfo SystemPlayerOf(uint32_t flags, uint32_t id, uint32_t version,
                                             std::optional<directplay::SockAddr> stream = {},
                                             std::optional<directplay::SockAddr> datagram = {}) {
    directplay::PlayerInfo player;
    player.flags = flags;
    player.id = player.systemPlayerId = id;
    player.version = version;
    player.streamAddress = stream;
    player.datagramAddress = datagram;
    return player;
}

// A player of the machine whose system player is `machine`.
inline directplay::PlayerInfo PlayerOf(uint32_t id, uint32_t machine, std::u16string shortName,
                                       std::u16string longName = u"Pilot") {
    directplay::PlayerInfo player;
    player.id = id;
    player.systemPlayerId = machine;
    player.shortName = std::move(shortName);
    player.longName = std::move(longName);
    return player;
}

}  // namespace scopewatch::testing
