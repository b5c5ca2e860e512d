#include "support/InMemorySession.h"

#include <QTimer>

namespace scopewatch {

InMemorySession::InMemorySession()
    : connectionTypes{"IPX Connection For DirectPlay",
                      "Internet TCP/IP Connection For DirectPlay"} {}

void InMemorySession::FailIf(const std::optional<std::string>& failure) {
    if (failure) {
        throw SessionError(*failure);
    }
}

void InMemorySession::AddPeer(int32_t id, const std::string& name) {
    names_[id] = name;
}

void InMemorySession::RemovePeer(int32_t id) {
    names_.erase(id);
}

void InMemorySession::Deliver(int32_t fromId, const SessionMessage& message, int32_t toId) {
    queue_.push_back(ReceivedMessage{fromId, toId, SessionMessage(message.bytes()),
                                     hostPlayers.count(fromId) != 0});
}

void InMemorySession::Step(const std::optional<std::string>& failure, std::function<void()> end) {
    if (failure) {
        step_ = [this, reason = *failure] { emit stepFailed(reason); };
    } else {
        step_ = std::move(end);
    }
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
    if (!step_) {
        return false;
    }
    const std::function<void()> end = std::move(step_);
    step_ = nullptr;
    end();
    return true;
}

void InMemorySession::FinishClosing() {
    if (closing_) {
        closing_ = false;
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

int InMemorySession::ConnectionTypeCount() const {
    return static_cast<int>(connectionTypes.size());
}

std::string InMemorySession::ConnectionTypeName(int index) const {
    if (index < 1 || index > ConnectionTypeCount()) {
        throw SessionError("There is no connection type " + std::to_string(index));
    }
    return connectionTypes[static_cast<size_t>(index - 1)];
}

void InMemorySession::InitialiseConnection(int index) {
    FailIf(failures.initialise);
    if (cancelAddressPrompt) {
        throw SessionError("The connection was cancelled");
    }
    ConnectionTypeName(index);
    initialisedIndex = index;
}

void InMemorySession::ListSessions() {
    const std::optional<std::string> failure =
        initialisedIndex == 0 ? std::optional<std::string>("No connection type is initialised")
                              : failures.list;
    Step(failure, [this] { emit sessionsListed(sessions); });
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
    if (queue_.empty()) {
        throw SessionError("No message is waiting");
    }
    ReceivedMessage message = std::move(queue_.front());
    queue_.pop_front();
    return message;
}

std::string InMemorySession::PlayerName(int32_t playerId) {
    FailIf(failures.playerName);
    const auto found = names_.find(playerId);
    if (found == names_.end()) {
        throw SessionError("No player has the id " + std::to_string(playerId));
    }
    return found->second;
}

void InMemorySession::SendToAll(int32_t fromId, const SessionMessage& message) {
    FailIf(failures.send);
    sent.push_back(Sent{fromId, SessionMessage(message.bytes())});
}

}  // namespace scopewatch
