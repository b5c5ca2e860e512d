#include "replay/SessionChoice.h"

#include "replay/ReplaySession.h"

namespace scopewatch::replay {

SessionChoice::SessionChoice(SessionService& live, ReplaySession& replay)
    : live_(live), replay_(replay) {
    connect(&live_, &SessionService::stepChanged, this, [this](SessionStep step) {
        if (!replayChosen_) {
            emit stepChanged(step);
        }
    });
    connect(&replay_, &SessionService::stepChanged, this, [this](SessionStep step) {
        if (replayChosen_) {
            emit stepChanged(step);
        }
    });
    connect(&live_, &SessionService::closed, this, &SessionService::closed);
    connect(&replay_, &SessionService::closed, this, &SessionService::closed);
}

int SessionChoice::ConnectionTypeCount() const {
    return live_.ConnectionTypeCount() + replay_.ConnectionTypeCount();
}

std::string SessionChoice::ConnectionTypeName(int index) const {
    const int live = live_.ConnectionTypeCount();
    return index > live ? replay_.ConnectionTypeName(index - live)
                        : live_.ConnectionTypeName(index);
}

void SessionChoice::InitialiseConnection(int index) {
    const int live = live_.ConnectionTypeCount();
    replayChosen_ = index > live;
    (replayChosen_ ? live_ : static_cast<SessionService&>(replay_)).Close();
    Chosen().InitialiseConnection(replayChosen_ ? index - live : index);
}

void SessionChoice::Close() {
    live_.Close();
    replay_.Close();
}

bool SessionChoice::closing() const {
    return live_.closing() || replay_.closing();
}

SessionService& SessionChoice::Chosen() const {
    return replayChosen_ ? static_cast<SessionService&>(replay_) : live_;
}

ReplaySession* PlayedReplay(SessionService& session) {
    if (auto* choice = qobject_cast<SessionChoice*>(&session)) {
        return choice->replay();
    }
    return qobject_cast<ReplaySession*>(&session);
}

}  // namespace scopewatch::replay
