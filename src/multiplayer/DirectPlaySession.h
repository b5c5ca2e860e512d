#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/SessionRecorder.h"
#include "directplay/DirectPlayClient.h"
#include "multiplayer/SessionService.h"

namespace scopewatch {

struct DirectPlaySessionOptions {
    directplay::PortPlan ports;
    directplay::Timings timings;
    int enumerationWindowMs = 5000;
    // Where the sessions joined are recorded (an empty folder records none), and whether the
    // user wants them recorded, asked at each join (none: always).
    capture::RecordingPlan recording;
    std::function<bool()> recordingWanted;
};

// Asks the user for the host's address: empty text means "search the local network",
// nothing means the user cancelled.
using HostAddressPrompt = std::function<std::optional<std::string>()>;

// The session service over our own DirectPlay 4 client on TCP/IP. A client that left keeps
// its sockets until its last messages are out; each connection type chosen anew gets a new
// client. Where the options ask for it, each session joined is recorded from the join on: the
// recording opens when the join succeeds, and closes when the session is lost or once the
// client that left has sent its last messages.
class DirectPlaySession : public SessionService {
    Q_OBJECT
  public:
    explicit DirectPlaySession(HostAddressPrompt prompt, DirectPlaySessionOptions options = {});
    ~DirectPlaySession() override;

    int ConnectionTypeCount() const override;
    std::string ConnectionTypeName(int index) const override;
    void InitialiseConnection(int index) override;
    void ListSessions() override;
    void JoinSession(int index) override;
    void CreatePlayer(const std::string& nickname, const std::string& formalName) override;
    void DestroyPlayer(int32_t playerId) override;
    void Close() override;
    bool closing() const override { return !leaving_.empty(); }
    SessionStep Step() const override;
    std::vector<SessionInfo> ListedSessions() const override;
    int32_t CreatedPlayer() const override;
    std::string StepFailure() const override;
    int32_t WaitingMessageCount(int32_t playerId) override;
    ReceivedMessage Receive() override;
    std::string PlayerName(int32_t playerId) override;
    void SendToAll(int32_t fromId, const SessionMessage& message) override;
    std::string TakeRecordingFailure() override;

    std::string LostReason() const;
    directplay::DirectPlayClient* client() { return client_.get(); }
    // The recording of the session joined last, if any.
    const capture::SessionRecorder* recorder() const { return recorder_.get(); }

  private:
    directplay::DirectPlayClient& Client();
    // Passes on a change of the client's state that is a change of step.
    void Follow(directplay::JoinState from, directplay::JoinState to);
    // Leaves with the client, which goes once its last messages are out.
    void LetClientGo();
    void ClientFinished(directplay::DirectPlayClient* client);
    // Starts taking the client's frames for a recording of the session about to be joined.
    void RecordJoin(const directplay::FoundSession& session);

    HostAddressPrompt prompt_;
    DirectPlaySessionOptions options_;
    std::unique_ptr<directplay::DirectPlayClient> client_;
    std::vector<std::unique_ptr<directplay::DirectPlayClient>> leaving_;
    std::string hostAddress_;
    // Shared with the client's tap, so that it lives as long as the client sends.
    std::shared_ptr<capture::SessionRecorder> recorder_;
    std::string joiningName_;  // Windows-1252
};

// The step a state of our DirectPlay client is part of.
SessionStep StepOf(directplay::JoinState state);

// Conversions between the program's Windows-1252 texts and the wire's UTF-16.
std::u16string AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::u16string& text);

}  // namespace scopewatch
