#pragma once

#include <string>
#include <vector>

#include "directplay/DirectPlayClient.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::testing {

// Runs the event loop until the client's operation, `started`, has ended, or the time is up
// (then it counts as failed); the outcome is the client's failure, if any.
inline Status Settle(directplay::DirectPlayClient& client, const Status& started,
                     int timeoutMs = 30000) {
    if (started.ok() && !SpinUntil([&] { return !client.busy(); }, timeoutMs)) {
        return Status::Failed("no answer within the time of the test");
    }
    return !started.ok() || client.failure().empty() ? started : Status::Failed(client.failure());
}

inline std::vector<directplay::FoundSession> EnumerateNow(directplay::DirectPlayClient& client,
                                                          const std::string& host, int windowMs) {
    Settle(client, client.Enumerate(host, windowMs));
    return client.foundSessions();
}

inline Status JoinNow(directplay::DirectPlayClient& client,
                      const directplay::FoundSession& session) {
    return Settle(client, client.Join(session));
}

// The new player's id, or 0 when the creation failed.
inline uint32_t CreatePlayerNow(directplay::DirectPlayClient& client, const std::u16string& name,
                                const std::u16string& formalName = u"Player") {
    return Settle(client, client.CreatePlayer(name, formalName)).ok() ? client.createdPlayer() : 0;
}

}  // namespace scopewatch::testing
