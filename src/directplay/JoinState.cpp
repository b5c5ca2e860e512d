#include "directplay/JoinState.h"

namespace scopewatch::directplay {

namespace {

// Where the operation under way ends when it fails.
std::optional<JoinState> FailedStateOf(JoinState state) {
    switch (state) {
        case JoinState::kLookingUpHost:
        case JoinState::kListing:
            return JoinState::kListingFailed;
        case JoinState::kRequestingMachineId:
        case JoinState::kAwaitingNameTable:
            return JoinState::kJoinFailed;
        case JoinState::kRequestingPlayerId:
            return JoinState::kPlayerFailed;
        default:
            return std::nullopt;
    }
}

std::optional<JoinState> OnlyFrom(JoinState state, JoinState from, JoinState to) {
    return state == from ? std::optional(to) : std::nullopt;
}

// An operation starts in `first` unless another is under way.
std::optional<JoinState> StartUnlessUnderWay(JoinState state, JoinState first) {
    return UnderWay(state) ? std::nullopt : std::optional(first);
}

}  // namespace

bool UnderWay(JoinState state) {
    return FailedStateOf(state).has_value();
}

bool InSession(JoinState state) {
    return state == JoinState::kJoined || state == JoinState::kRequestingPlayerId ||
           state == JoinState::kPlayerCreated;
}

std::optional<JoinState> NextJoinState(JoinState state, JoinEvent event) {
    switch (event) {
        case JoinEvent::kListAt:
            return StartUnlessUnderWay(state, JoinState::kListing);
        case JoinEvent::kListByName:
            return StartUnlessUnderWay(state, JoinState::kLookingUpHost);
        case JoinEvent::kHostFound:
            return OnlyFrom(state, JoinState::kLookingUpHost, JoinState::kListing);
        case JoinEvent::kWindowOver:
            return OnlyFrom(state, JoinState::kListing, JoinState::kListed);
        case JoinEvent::kJoin:
            return StartUnlessUnderWay(state, JoinState::kRequestingMachineId);
        case JoinEvent::kIdGranted:
            if (state == JoinState::kRequestingMachineId) {
                return JoinState::kAwaitingNameTable;
            }
            return OnlyFrom(state, JoinState::kRequestingPlayerId, JoinState::kPlayerCreated);
        case JoinEvent::kNameTable:
            return OnlyFrom(state, JoinState::kAwaitingNameTable, JoinState::kJoined);
        case JoinEvent::kCreatePlayer:
            if (state == JoinState::kPlayerCreated) {
                return JoinState::kRequestingPlayerId;
            }
            return OnlyFrom(state, JoinState::kJoined, JoinState::kRequestingPlayerId);
        case JoinEvent::kFailed:
            return state == JoinState::kListing ? std::nullopt : FailedStateOf(state);
        case JoinEvent::kSessionBroke:
            if (state == JoinState::kJoined || state == JoinState::kPlayerCreated) {
                return JoinState::kLost;
            }
            return state == JoinState::kListing || state == JoinState::kLookingUpHost
                       ? std::nullopt
                       : FailedStateOf(state);
        case JoinEvent::kLeave:
            return JoinState::kIdle;
    }
    return std::nullopt;
}

std::string StateName(JoinState state) {
    static const char* const kNames[] = {"idle",
                                         "looking up the host",
                                         "listing",
                                         "listed",
                                         "listing failed",
                                         "requesting our machine's id",
                                         "awaiting the name table",
                                         "joined",
                                         "join failed",
                                         "requesting a player id",
                                         "player created",
                                         "player creation failed",
                                         "lost"};
    return kNames[static_cast<int>(state)];
}

}  // namespace scopewatch::directplay
