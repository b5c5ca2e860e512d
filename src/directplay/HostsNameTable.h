#pragma once

#include <QHostAddress>

#include "directplay/DirectPlayPeer.h"

namespace scopewatch::directplay {

// Takes the name table the host sent our joining machine into the peer's table. Real hosts
// differ in what they put in it: every entry is taken whether it carries address data or not.
// A machine is reached at its system player's addresses, else at those of one of its players
// (0.0.0.0 standing for `hostIp`); a machine known by neither cannot be reached. The host is
// the machine listed as name server, or at the address we joined; one that does not list itself
// keeps the entry it had while we joined (id 0). Machines announced while we waited stay. False
// when the host's entry was gone before the table came.
bool TakeHostsNameTable(DirectPlayPeer& peer, const SuperEnumPlayersReply& snapshot,
                        const QHostAddress& hostIp);

}  // namespace scopewatch::directplay
