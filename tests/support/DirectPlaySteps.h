#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "directplay/DirectPlayClient.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::testing {

// Runs the event loop until an operation of the client has ended, or the time is up (then it
// counts as failed). `start` is given the handler to pass on.
template <typename Value, typename Start>
directplay::Outcome<Value> AwaitOutcome(Start start, int timeoutMs = 30000) {
    // Shared with the handler, which may be called after a wait that timed out.
    auto outcome = std::make_shared<std::optional<directplay::Outcome<Value>>>();
    start([outcome](const directplay::Outcome<Value>& result) { *outcome = result; });
    SpinUntil([&] { return outcome->has_value(); }, timeoutMs);
    return outcome->value_or(
        directplay::Outcome<Value>::Failed("no answer within the time of the test"));
}

inline std::vector<directplay::FoundSession> EnumerateNow(directplay::DirectPlayClient& client,
                                                          const std::string& host, int windowMs) {
    return AwaitOutcome<std::vector<directplay::FoundSession>>(
               [&](auto done) { client.Enumerate(host, windowMs, done); })
        .value.value_or(std::vector<directplay::FoundSession>{});
}

inline directplay::Outcome<directplay::SessionDesc> JoinNow(
    directplay::DirectPlayClient& client, const directplay::FoundSession& session) {
    return AwaitOutcome<directplay::SessionDesc>([&](auto done) { client.Join(session, done); });
}

// The new player's id, or 0 when the creation failed.
inline uint32_t CreatePlayerNow(directplay::DirectPlayClient& client, const std::u16string& name,
                                const std::u16string& formalName = u"Player") {
    return AwaitOutcome<uint32_t>([&](auto done) { client.CreatePlayer(name, formalName, done); })
        .value.value_or(0);
}

}  // namespace scopewatch::testing
