#pragma once

#include <cstdint>
#include <string>

#include "multiplayer/SessionService.h"

namespace scopewatch {

// The texts of the connection dialog.
namespace connection_texts {
inline constexpr const char* kSelectConnectionType = "Please Select one Type of Connection";
inline constexpr const char* kCanceledConnection =
    "Error, Canceled Connection. Try to Locate Session Again.";
inline constexpr const char* kEnumerationError =
    "Error in Enumeration of Multiplayer Sessions. Try to Locate Session Again.";
inline constexpr const char* kJoinFailed = "Failed to Join Game. Try to Locate Session Again.";
inline constexpr const char* kCreatePlayerFailed =
    "Failed to Create Player. Try to Locate Session Again.";
inline constexpr const char* kSelectSession = "Please select a FS Multiplayer Session.";
inline constexpr const char* kWriteNickname = "Please write a nickname.";
inline constexpr const char* kConnected = "Connected To FS Session!";
inline constexpr const char* kRefused = "Connection Refused";
}  // namespace connection_texts

// The line a listed session gets: "name (current/maximum)".
std::string SessionLine(const SessionInfo& session);

// The connection-type list leaves out the first type: row r stands for type r + 2.
inline int ConnectionTypeOfRow(int row) {
    return row + 2;
}

enum class Acceptance { Waiting, Accepted, Refused };

// One tick of the wait for the host's answer: reads at most the waiting messages, dropping
// every one but a player-present message carrying our own id (accepted) and a refusal. Stops
// reading at either; an error while reading ends the tick with Waiting.
Acceptance ReadAcceptance(SessionService& session, int32_t myPlayerId);

struct SessionState;
struct TrafficTable;

// Leaves the session: destroys our player and closes the session (errors of both are
// ignored), then forgets the player, the acceptance and the traffic.
void LeaveSession(SessionService& session, SessionState& state, TrafficTable& traffic);

}  // namespace scopewatch
