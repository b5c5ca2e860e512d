#include "multiplayer/InMemorySession.h"

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
    queue_.push_back(ReceivedMessage{fromId, toId, SessionMessage(message.bytes())});
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

std::vector<SessionInfo> InMemorySession::ListSessions() {
    FailIf(failures.list);
    if (initialisedIndex == 0) {
        throw SessionError("No connection type is initialised");
    }
    return sessions;
}

void InMemorySession::JoinSession(int index) {
    FailIf(failures.join);
    if (index < 1 || static_cast<size_t>(index) > sessions.size()) {
        throw SessionError("There is no session number " + std::to_string(index));
    }
    joinedIndex = index;
}

int32_t InMemorySession::CreatePlayer(const std::string& nickname, const std::string& formalName) {
    FailIf(failures.createPlayer);
    if (joinedIndex == 0) {
        throw SessionError("Not joined to a session");
    }
    createdPlayerId = nextPlayerId;
    createdNickname = nickname;
    createdFormalName = formalName;
    names_[createdPlayerId] = nickname;
    return createdPlayerId;
}

void InMemorySession::DestroyPlayer(int32_t playerId) {
    FailIf(failures.destroyPlayer);
    destroyedPlayers.push_back(playerId);
    names_.erase(playerId);
}

void InMemorySession::Close() {
    FailIf(failures.close);
    ++closeCount;
    joinedIndex = 0;
    queue_.clear();  // what was waiting is gone with the session
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
