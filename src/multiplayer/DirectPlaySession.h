#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "directplay/DirectPlayClient.h"
#include "multiplayer/SessionService.h"

namespace scopewatch {

struct DirectPlaySessionOptions {
    directplay::PortPlan ports;
    directplay::Timings timings;
    int enumerationWindowMs = 5000;
};

// Asks the user for the host's address: empty text means "search the local network",
// nothing means the user cancelled.
using HostAddressPrompt = std::function<std::optional<std::string>()>;

// The session service over our own DirectPlay 4 client on TCP/IP. Listing, joining, creating
// a player and closing wait for the network in a nested event loop, in which timers fire.
// While one operation waits, every other operation on the session is refused with a
// SessionError instead of running inside it. Every failure of the layers below reaches the
// caller as a SessionError.
class DirectPlaySession : public SessionService {
  public:
    explicit DirectPlaySession(HostAddressPrompt prompt, DirectPlaySessionOptions options = {});
    ~DirectPlaySession() override;

    int ConnectionTypeCount() const override;
    std::string ConnectionTypeName(int index) const override;
    void InitialiseConnection(int index) override;
    std::vector<SessionInfo> ListSessions() override;
    void JoinSession(int index) override;
    int32_t CreatePlayer(const std::string& nickname, const std::string& formalName) override;
    void DestroyPlayer(int32_t playerId) override;
    void Close() override;
    int32_t WaitingMessageCount(int32_t playerId) override;
    ReceivedMessage Receive() override;
    std::string PlayerName(int32_t playerId) override;
    void SendToAll(int32_t fromId, const SessionMessage& message) override;

    // Whether the link to the session broke (host gone, or it removed us), and why.
    bool SessionLost() const;
    std::string LostReason() const;
    directplay::DirectPlayClient* client() { return client_.get(); }

  private:
    // Runs one operation: refused while another runs, failures turned into SessionError.
    template <typename Operation>
    auto Run(Operation&& operation);
    directplay::DirectPlayClient& Client();
    void CloseClient();

    HostAddressPrompt prompt_;
    DirectPlaySessionOptions options_;
    std::unique_ptr<directplay::DirectPlayClient> client_;
    std::string hostAddress_;
    std::vector<directplay::FoundSession> sessions_;
    bool busy_ = false;
};

// Conversions between the program's Windows-1252 texts and the wire's UTF-16.
std::u16string AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::u16string& text);

}  // namespace scopewatch
