#include "multiplayer/ConnectionSteps.h"

#include "model/SessionState.h"
#include "model/TrafficTable.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/MessageIntake.h"
#include "shared/MalformedBytes.h"

namespace scopewatch {

std::string SessionLine(const SessionInfo& session) {
    return session.name + " (" + std::to_string(session.currentPlayers) + "/" +
           std::to_string(session.maxPlayers) + ")";
}

Acceptance ReadAcceptance(SessionService& session, int32_t myPlayerId) {
    try {
        const int32_t waiting = session.WaitingMessageCount(myPlayerId);
        for (int32_t i = 0; i < waiting; ++i) {
            SessionMessage message = session.Receive().message;
            const MessageHead head = ReadHead(message);
            if (head.kind == kinds::kPlayerPresent && ReadPlayerId(message) == myPlayerId) {
                return Acceptance::Accepted;
            }
            if (head.kind == kinds::kRefused) {
                return Acceptance::Refused;
            }
        }
    } catch (const SessionError&) {
        // The tick ends; the next one reads on.
    } catch (const MalformedBytes&) {
        // A message too short for what it announces: the tick ends, the next one reads on.
    }
    return Acceptance::Waiting;
}

void LeaveSession(SessionService& session, SessionState& state, TrafficTable& traffic) {
    try {
        session.DestroyPlayer(state.myPlayerId);
    } catch (const SessionError&) {
        // Leaving goes on: the session closes whether or not the player could be destroyed.
    }
    try {
        session.Close();
    } catch (const SessionError&) {
        // Nothing left to leave.
    }
    state.myPlayerId = 0;
    state.isConnected = kFalse16;
    state.mainWindowOpen = kFalse16;
    ClearTraffic(traffic);
}

}  // namespace scopewatch
