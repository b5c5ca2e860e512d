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

void InMemorySession::StartStep(SessionStep underWay, const std::optional<std::string>& failure,
                                SessionStep failed, SessionStep done, std::function<void()> end) {
    step_ = underWay;
    stepFailure_.clear();
    stepEnd_ = [this, failure, failed, done, end = std::move(end)] {
        if (failure) {
            stepFailure_ = *failure;
            if (failed != SessionStep::kListingFailed) {
                joinedIndex = 0;  // a failed join or player creation leaves the session
            }
            EnterStep(failed);
            return;
        }
        end();
        EnterStep(done);
    };
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
    const std::function<void()> end = std::exchange(stepEnd_, nullptr);
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
    FailIf(initialisedIndex == 0 ? std::optional<std::string>("No connection type is initialised")
                                 : std::nullopt);
    StartStep(SessionStep::kListing, failures.list, SessionStep::kListingFailed,
              SessionStep::kListed, [] {});
}

void InMemorySession::JoinSession(int index) {
    FailIf(index < 1 || static_cast<size_t>(index) > sessions.size()
               ? std::optional("There is no session number " + std::to_string(index))
               : std::nullopt);
    StartStep(SessionStep::kJoining, failures.join, SessionStep::kJoinFailed, SessionStep::kJoined,
              [this, index] { joinedIndex = index; });
}

void InMemorySession::CreatePlayer(const std::string& nickname, const std::string& formalName) {
    FailIf(joinedIndex == 0 ? std::optional<std::string>("Not joined to a session") : std::nullopt);
    StartStep(SessionStep::kCreatingPlayer, failures.createPlayer, SessionStep::kPlayerFailed,
              SessionStep::kPlayerCreated, [this, nickname, formalName] {
                  createdPlayerId = nextPlayerId;
                  createdNickname = nickname;
                  createdFormalName = formalName;
                  names_[createdPlayerId] = nickname;
              });
}

void InMemorySession::DestroyPlayer(int32_t playerId) {
    FailIf(failures.destroyPlayer);
    destroyedPlayers.push_back(playerId);
    names_.erase(playerId);
}

// Calls off the step under way; what was waiting is gone with the session.
void InMemorySession::Close() {
    stepEnd_ = nullptr;
    FailIf(failures.close);
    ++closeCount;
    closing_ = closing_ || (holdClosing && joinedIndex != 0);
    joinedIndex = 0;
    step_ = SessionStep::kIdle;
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
