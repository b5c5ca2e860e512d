#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "multiplayer/SessionService.h"

namespace scopewatch {

// A session service without a network, for tests: its sessions and peers are scripted,
// messages the program sends are recorded, and any operation can be made to fail. A step
// ends from the event loop, as over a network (only its end is signalled); with holdSteps set
// it waits until FinishStep().
class InMemorySession : public SessionService {
    Q_OBJECT
  public:
    struct Sent {
        int32_t fromId = 0;
        SessionMessage message;
    };
    // Set an operation's entry to make it throw SessionError with that text (a step's: to make
    // the step fail with it).
    struct Failures {
        std::optional<std::string> initialise, list, join, createPlayer, destroyPlayer, close,
            waitingCount, receive, playerName, send;
    };

    InMemorySession();

    // ---- scripting ----
    std::vector<std::string> connectionTypes;
    std::vector<SessionInfo> sessions;
    bool cancelAddressPrompt = false;  // initialising TCP/IP behaves as if cancelled
    int32_t nextPlayerId = 101;        // what CreatePlayer returns
    Failures failures;
    bool holdSteps = false;         // a step waits for FinishStep()
    bool holdClosing = false;       // a close stays closing() until FinishClosing()
    std::set<int32_t> hostPlayers;  // players of the host's machine
    std::string recordingFailure;   // handed out once

    // Ends the step under way (held or not yet ended); false when none waits.
    bool FinishStep();
    void FinishClosing();
    bool stepWaiting() const { return static_cast<bool>(stepEnd_); }
    void LoseSession() { EnterStep(SessionStep::kLost); }

    void AddPeer(int32_t id, const std::string& name) { names_[id] = name; }
    // Queues a message from a peer for the program.
    void Deliver(int32_t fromId, const SessionMessage& message, int32_t toId = 0);

    // ---- what the program did ----
    std::vector<Sent> sent;
    int initialisedIndex = 0;
    int joinedIndex = 0;
    int32_t createdPlayerId = 0;
    std::string createdNickname;
    std::string createdFormalName;
    std::vector<int32_t> destroyedPlayers;
    int closeCount = 0;
    std::vector<int32_t> sentKinds() const;

    // ---- SessionService ----
    int ConnectionTypeCount() const override { return static_cast<int>(connectionTypes.size()); }
    std::string ConnectionTypeName(int index) const override;
    void InitialiseConnection(int index) override;
    void ListSessions() override;
    void JoinSession(int index) override;
    void CreatePlayer(const std::string& nickname, const std::string& formalName) override;
    void DestroyPlayer(int32_t playerId) override;
    void Close() override;
    bool closing() const override { return closing_; }
    SessionStep Step() const override { return step_; }
    std::vector<SessionInfo> ListedSessions() const override { return sessions; }
    int32_t CreatedPlayer() const override { return createdPlayerId; }
    std::string StepFailure() const override { return stepFailure_; }
    int32_t WaitingMessageCount(int32_t playerId) override;
    ReceivedMessage Receive() override;
    std::string PlayerName(int32_t playerId) override;
    void SendToAll(int32_t fromId, const SessionMessage& message) override;
    std::string TakeRecordingFailure() override { return std::exchange(recordingFailure, {}); }

    size_t queued() const { return queue_.size(); }

  private:
    static void FailIf(const std::optional<std::string>& failure);
    // Starts the step `underWay`; it ends in `done` after `end` has run, or in `failed` if a
    // failure is set.
    void StartStep(SessionStep underWay, const std::optional<std::string>& failure,
                   SessionStep failed, SessionStep done, std::function<void()> end);
    void EnterStep(SessionStep step) {
        step_ = step;
        emit stepChanged(step);
    }

    std::map<int32_t, std::string> names_;
    std::deque<ReceivedMessage> queue_;
    SessionStep step_ = SessionStep::kIdle;
    std::string stepFailure_;
    std::function<void()> stepEnd_;
    uint64_t stepSerial_ = 0;
    bool closing_ = false;
};

}  // namespace scopewatch
