#pragma once

#include <optional>
#include <string>

namespace scopewatch::directplay {

// Where our client stands with a session: searching for sessions, joining one, creating our
// player in it, in it, or out of it again. Every operation starts in an "under way" state and
// ends in a state of its own, done or failed; a failed join or player creation leaves the
// client in no session.
enum class JoinState {
    kIdle,           // in no session, nothing under way
    kLookingUpHost,  // listing: the host's name is being looked up
    kListing,        // listing: enumeration replies are collected
    kListed,         // listing ended; the sessions found are there to join
    kListingFailed,
    kRequestingMachineId,  // joining: our machine's id is asked for
    kAwaitingNameTable,    // joining: our machine asked to join and waits for the name table
    kJoined,               // in the session
    kJoinFailed,
    kRequestingPlayerId,  // in the session, asking for our new player's id
    kPlayerCreated,       // in the session with our new player
    kPlayerFailed,
    kLost,  // the session broke: the host is gone or removed our machine
};

// What happens to the client.
enum class JoinEvent {
    kListAt,        // listing is asked for at an address, or by broadcast
    kListByName,    // listing is asked for at a host given by name
    kHostFound,     // the host's name has an address
    kWindowOver,    // the time to collect replies is over
    kJoin,          // joining is asked for
    kIdGranted,     // the host handed out the id asked for
    kNameTable,     // the host sent the name table: our machine is in
    kCreatePlayer,  // a player is asked for
    kFailed,        // the operation under way was refused, or went unanswered in its time
    kSessionBroke,  // the host is gone or removed our machine
    kLeave,         // the program leaves, calling off what is under way
};

// The one transition function: the state the event leads to, or nothing when the event
// means nothing in that state (an operation asked for while another is under way, a late
// answer).
std::optional<JoinState> NextJoinState(JoinState state, JoinEvent event);

// An operation is under way: a new one cannot start.
bool UnderWay(JoinState state);
// Our machine is in the session.
bool InSession(JoinState state);

std::string StateName(JoinState state);

}  // namespace scopewatch::directplay
