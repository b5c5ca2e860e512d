#pragma once

#include <QObject>
#include <optional>
#include <string>
#include <vector>

#include "multiplayer/SessionService.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::testing {

// Runs a step of a session service and the event loop until its signal comes; a failed step,
// or one that does not end in time, throws SessionError as the step's caller would see it.
template <typename Value, typename Signal>
Value AwaitStep(SessionService& session, Signal signal, const std::function<void()>& start,
                int timeoutMs = 30000) {
    QObject context;
    std::optional<Value> value;
    std::optional<std::string> failure;
    QObject::connect(&session, signal, &context, [&](auto... given) {
        if constexpr (sizeof...(given) == 0) {
            value = Value{};
        } else {
            value = Value(given...);
        }
    });
    QObject::connect(&session, &SessionService::stepFailed, &context,
                     [&](const std::string& why) { failure = why; });
    start();
    SpinUntil([&] { return value || failure; }, timeoutMs);
    if (!value) {
        throw SessionError(failure.value_or("The step did not end in time"));
    }
    return *value;
}

inline std::vector<SessionInfo> ListNow(SessionService& session) {
    return AwaitStep<std::vector<SessionInfo>>(session, &SessionService::sessionsListed,
                                               [&] { session.ListSessions(); });
}

inline void JoinNow(SessionService& session, int index) {
    AwaitStep<bool>(session, &SessionService::sessionJoined, [&] { session.JoinSession(index); });
}

inline int32_t CreatePlayerNow(SessionService& session, const std::string& nickname,
                               const std::string& formalName = "Player") {
    return AwaitStep<int32_t>(session, &SessionService::playerCreated,
                              [&] { session.CreatePlayer(nickname, formalName); });
}

}  // namespace scopewatch::testing
