#include "support/InMemorySession.h"

#include <QTimer>
#include <utility>

namespace scopewatch {

InMemorySession::InMemorySession()
    : connectionTypes{"IPX Connection For DirectPlay",
                      "Internet TCP/IP Connection For DirectPlay"} {}

void InMemorySession::FailIf(const std::optional<std::string>& failure) {
    if (failure) {
        throw SessionError(*failure);
    }
}

void InMemorySession::Deliver(int32_t fromId, const SessionMessage& message, int32_t toId) {
    queue_.push_back(ReceivedMessage{fromId, toId, SessionMessage(message.bytes()),
                                     hostPlayers.count(fromId) != 0});
}

void InMemorySession::Step(const std::optional<std::string>& failure, std::function<void()> end) {
    step_ = failure ? [this, reason = *failure] { emit stepFailed(reason); } : std::move(end);
    const uint64_t serial = ++stepSerial_;
    if (!holdSteps) {
        QTimer::singleShot(0, this, [this, serial] {
            if (serial == stepSerial_) {
                FinishStep();
            }
        });
    }
}

bool InMemorySession::FinishStep() {
    const std::function<void()> end = std::exchange(step_, nullptr);
    if (end) {
        end();
    }
    return static_cast<bool>(end);
}

void InMemorySession::FinishClosing() {
    if (std::exchange(closing_, false)) {
        emit closed();
    }
}

std::vector<int32_t> InMemorySession::sentKinds() const {
    std::vector<int32_t> kinds;
    for (const Sent& entry : sent) {
        SessionMessage copy(entry.message.bytes());
        kinds.push_back(copy.remaining() >= 4 ? copy.ReadInt32() : 0);
    }
    return kinds;
}

std::string InMemorySession::ConnectionTypeName(int index) const {
    if (index < 1 || index > ConnectionTypeCount()) {
        throw SessionError("There is no connection type " + std::to_string(index));
    }
    return connectionTypes[static_cast<size_t>(index - 1)];
}

void InMemorySession::InitialiseConnection(int index) {
    FailIf(failures.initialise);
    FailIf(cancelAddressPrompt ? std::optional<std::string>("The connection was cancelled")
                               : std::nullopt);
    ConnectionTypeName(index);
    initialisedIndex = index;
}

void InMemorySession::ListSessions() {
    Step(initialisedIndex == 0 ? "No connection type is initialised" : failures.list,
         [this] { emit sessionsListed(sessions); });
}

void InMemorySession::JoinSession(int index) {
    std::optional<std::string> failure = failures.join;
    if (!failure && (index < 1 || static_cast<size_t>(index) > sessions.size())) {
        failure = "There is no session number " + std::to_string(index);
    }
    Step(failure, [this, index] {
        joinedIndex = index;
        emit sessionJoined();
    });
}

void InMemorySession::CreatePlayer(const std::string& nickname, const std::string& formalName) {
    std::optional<std::string> failure = failures.createPlayer;
    if (!failure && joinedIndex == 0) {
        failure = "Not joined to a session";
    }
    Step(failure, [this, nickname, formalName] {
        createdPlayerId = nextPlayerId;
        createdNickname = nickname;
        createdFormalName = formalName;
        names_[createdPlayerId] = nickname;
        emit playerCreated(createdPlayerId);
    });
}

void InMemorySession::DestroyPlayer(int32_t playerId) {
    FailIf(failures.destroyPlayer);
    destroyedPlayers.push_back(playerId);
    names_.erase(playerId);
}

// Calls off the step under way; what was waiting is gone with the session.
void InMemorySession::Close() {
    step_ = nullptr;
    FailIf(failures.close);
    ++closeCount;
    closing_ = closing_ || (holdClosing && joinedIndex != 0);
    joinedIndex = 0;
    lost_ = false;
    queue_.clear();
}

int32_t InMemorySession::WaitingMessageCount(int32_t /*playerId*/) {
    FailIf(failures.waitingCount);
    return static_cast<int32_t>(queue_.size());
}

ReceivedMessage InMemorySession::Receive() {
    FailIf(failures.receive);
    FailIf(queue_.empty() ? std::optional<std::string>("No message is waiting") : std::nullopt);
    ReceivedMessage message = std::move(queue_.front());
    queue_.pop_front();
    return message;
}

std::string InMemorySession::PlayerName(int32_t playerId) {
    FailIf(failures.playerName);
    const auto found = names_.find(playerId);
    FailIf(found == names_.end() ? "No player has the id " + std::to_string(playerId)
                                 : std::optional<std::string>());
    return found->second;
}

void InMemorySession::SendToAll(int32_t fromId, const SessionMessage& message) {
    FailIf(failures.send);
    sent.push_back(Sent{fromId, SessionMessage(message.bytes())});
}

}  // namespace scopewatch
