#include <gtest/gtest.h>

#include "directplay/JoinState.h"

namespace scopewatch::directplay {
namespace {

// One operation at a time, each ending in its own state; answers that come late or twice change
// nothing; the session breaking fails the operation under way, or loses the session; leaving
// ends every operation.
TEST(JoinState, OneOperationAtATimeEachEndingInItsOwnState) {
    using S = JoinState;
    using E = JoinEvent;
    struct Step {
        S from;
        E event;
        std::optional<S> to;
    };
    for (const Step& step :
         std::vector<Step>{{S::kIdle, E::kListByName, S::kLookingUpHost},
                           {S::kLookingUpHost, E::kHostFound, S::kListing},
                           {S::kListing, E::kJoin, std::nullopt},
                           {S::kListing, E::kWindowOver, S::kListed},
                           {S::kListed, E::kJoin, S::kRequestingMachineId},
                           {S::kRequestingMachineId, E::kIdGranted, S::kAwaitingNameTable},
                           {S::kRequestingMachineId, E::kSessionBroke, S::kJoinFailed},
                           {S::kAwaitingNameTable, E::kIdGranted, std::nullopt},
                           {S::kAwaitingNameTable, E::kFailed, S::kJoinFailed},
                           {S::kAwaitingNameTable, E::kNameTable, S::kJoined},
                           {S::kJoined, E::kCreatePlayer, S::kRequestingPlayerId},
                           {S::kRequestingPlayerId, E::kIdGranted, S::kPlayerCreated},
                           {S::kRequestingPlayerId, E::kSessionBroke, S::kPlayerFailed},
                           {S::kPlayerCreated, E::kCreatePlayer, S::kRequestingPlayerId},
                           {S::kPlayerCreated, E::kSessionBroke, S::kLost},
                           {S::kLost, E::kJoin, S::kRequestingMachineId}}) {
        EXPECT_EQ(NextJoinState(step.from, step.event), step.to)
            << StateName(step.from) << ", event " << static_cast<int>(step.event);
    }
}

}  // namespace
}  // namespace scopewatch::directplay
