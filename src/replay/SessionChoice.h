#pragma once

#include "multiplayer/SessionService.h"

namespace scopewatch::replay {

class ReplaySession;

// The program's session service: the connection types of the live session (our DirectPlay over
// TCP/IP), then the replay of a recorded session. Every operation goes to the service of the
// type chosen last, and only its steps are passed on.
class SessionChoice : public SessionService {
    Q_OBJECT
  public:
    SessionChoice(SessionService& live, ReplaySession& replay);

    int ConnectionTypeCount() const override;
    std::string ConnectionTypeName(int index) const override;
    void InitialiseConnection(int index) override;
    void ListSessions() override { Chosen().ListSessions(); }
    void JoinSession(int index) override { Chosen().JoinSession(index); }
    void CreatePlayer(const std::string& nickname, const std::string& formalName) override {
        Chosen().CreatePlayer(nickname, formalName);
    }
    void DestroyPlayer(int32_t playerId) override { Chosen().DestroyPlayer(playerId); }
    void Close() override;
    bool closing() const override;
    SessionStep Step() const override { return Chosen().Step(); }
    std::vector<SessionInfo> ListedSessions() const override { return Chosen().ListedSessions(); }
    int32_t CreatedPlayer() const override { return Chosen().CreatedPlayer(); }
    std::string StepFailure() const override { return Chosen().StepFailure(); }
    int32_t WaitingMessageCount(int32_t playerId) override {
        return Chosen().WaitingMessageCount(playerId);
    }
    ReceivedMessage Receive() override { return Chosen().Receive(); }
    std::string PlayerName(int32_t playerId) override { return Chosen().PlayerName(playerId); }
    void SendToAll(int32_t fromId, const SessionMessage& message) override {
        Chosen().SendToAll(fromId, message);
    }
    std::string TakeRecordingFailure() override { return Chosen().TakeRecordingFailure(); }
    void ClockAt(double sessionSeconds) override { Chosen().ClockAt(sessionSeconds); }
    bool ReachesOthers() const override { return Chosen().ReachesOthers(); }
    std::optional<std::string> EndOfSession() const override { return Chosen().EndOfSession(); }
    bool ExplainsFailures() const override { return Chosen().ExplainsFailures(); }

    // The replay, while it is the type chosen.
    ReplaySession* replay() const { return replayChosen_ ? &replay_ : nullptr; }

  private:
    SessionService& Chosen() const;

    SessionService& live_;
    ReplaySession& replay_;
    bool replayChosen_ = false;
};

// The replay the service plays, if it is one (or offers one, chosen).
ReplaySession* PlayedReplay(SessionService& session);

}  // namespace scopewatch::replay
