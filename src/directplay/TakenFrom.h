#pragma once

#include <QHostAddress>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <variant>

#include "directplay/DirectPlayCodec.h"
#include "directplay/NameTable.h"

namespace scopewatch::directplay {

// Whom a kind of message is taken from. A machine is known by its IP address alone: behind
// address translation it may send from another port than the one it listens on.
enum class Source {
    // The machine of the player named as the sender, that player being in the name table and
    // not one of ours; where the host relays, or for a player whose machine we cannot reach,
    // also the host's machine. Without message ids (no sender named): any machine.
    kSendersMachine,
    kAnyoneWhileSearching,
    kAnyoneWhereWeHost,
    kHost,
    // The machine of the player the message names, or the host's machine.
    kNamedPlayersMachineOrHost,
    kSessionMachineOrAnyoneWhereWeHost,
    kSessionMachine,
};

// The place of a kind of message in Message, as a bit; a row lists its kinds as bits.
template <typename Kind, size_t index = 0>
constexpr uint32_t KindBit() {
    if constexpr (std::is_same_v<std::variant_alternative_t<index, Message>, Kind>) {
        return uint32_t{1} << index;
    } else {
        return KindBit<Kind, index + 1>();
    }
}
template <typename... Kinds>
constexpr uint32_t KindBits() {
    return (KindBit<Kinds>() | ...);
}
static_assert(std::variant_size_v<Message> <= 32, "a row's kinds are the bits of one word");

struct TakenFromRow {
    std::string_view messages;  // as docs/directplay.md names them
    Source from;
    uint32_t kinds;
};

// Whom each message is taken from, for our client and our host alike: the table of the same
// name in docs/directplay.md, row by row. A message belongs to the first row listing its kind.
// Our host is the host's machine itself, so no other machine may send it what only a host
// sends; our client searches but never hosts.
inline constexpr TakenFromRow kTakenFrom[] = {
    {"player data (the game's messages)", Source::kSendersMachine, KindBits<PlayerData>()},
    {"enumeration replies", Source::kAnyoneWhileSearching, KindBits<EnumSessionsReply>()},
    {"ENUMSESSIONS, REQUESTPLAYERID, ADDFORWARDREQUEST", Source::kAnyoneWhereWeHost,
     KindBits<EnumSessions, RequestPlayerId, AddForwardRequest>()},
    {"the join's replies (REQUESTPLAYERREPLY, SUPERENUMPLAYERSREPLY, ADDFORWARDREPLY), "
     "ADDFORWARD, SESSIONDESCCHANGED, YOUAREDEAD",
     Source::kHost,
     KindBits<RequestPlayerReply, SuperEnumPlayersReply, AddForwardReply, AddForward,
              SessionDescChanged, YouAreDead>()},
    {"DELETEPLAYER, PLAYERNAMECHANGED", Source::kNamedPlayersMachineOrHost,
     KindBits<DeletePlayer, PlayerNameChanged>()},
    {"pings", Source::kSessionMachineOrAnyoneWhereWeHost, KindBits<Ping>()},
    {"CREATEPLAYER and everything else", Source::kSessionMachine, ~uint32_t{0}},
};

// The row a message belongs to.
const TakenFromRow& RowOf(const Message& message);

// Whether a message from this address is taken, by the table above. `searching`: we collect
// enumeration replies.
bool Admits(const NameTable& table, const Message& message, const QHostAddress& from,
            bool searching);

}  // namespace scopewatch::directplay
