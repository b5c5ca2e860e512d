#include "multiplayer/DirectPlaySession.h"

#include <QString>
#include <limits>

#include "platform/CodePage.h"

namespace scopewatch {

namespace {
const char* const kConnectionTypes[] = {"IPX Connection For DirectPlay",
                                        "Internet TCP/IP Connection For DirectPlay"};
constexpr int kTcpIp = 2;
}  // namespace

std::u16string AnsiToWide(const std::string& text) {
    return FromAnsi(text).toStdU16String();
}

std::string WideToAnsi(const std::u16string& text) {
    return ToAnsi(QString::fromStdU16String(text));
}

DirectPlaySession::DirectPlaySession(HostAddressPrompt prompt, DirectPlaySessionOptions options)
    : prompt_(std::move(prompt)), options_(std::move(options)) {}

DirectPlaySession::~DirectPlaySession() {
    if (!busy_) {
        CloseClient();
    }
}

template <typename Operation>
auto DirectPlaySession::Run(Operation&& operation) {
    if (busy_) {
        throw SessionError("The session is busy with another operation");
    }
    busy_ = true;
    struct Release {
        bool& busy;
        ~Release() { busy = false; }
    } release{busy_};
    try {
        return operation();
    } catch (const SessionError&) {
        throw;
    } catch (const directplay::DirectPlayError& error) {
        throw SessionError(error.what());
    } catch (const directplay::EncodeError& error) {
        throw SessionError(error.what());
    } catch (const std::exception& error) {
        throw SessionError(std::string("The session failed unexpectedly: ") + error.what());
    }
}

// The connection types are fixed texts: asking for them touches no session state.
int DirectPlaySession::ConnectionTypeCount() const {
    return 2;
}

std::string DirectPlaySession::ConnectionTypeName(int index) const {
    if (index < 1 || index > ConnectionTypeCount()) {
        throw SessionError("There is no connection type " + std::to_string(index));
    }
    return kConnectionTypes[index - 1];
}

void DirectPlaySession::InitialiseConnection(int index) {
    Run([&] {
        CloseClient();
        if (index != kTcpIp) {
            throw SessionError(index == 1 ? "IPX networks are not supported; use TCP/IP"
                                          : "There is no connection type " + std::to_string(index));
        }
        const std::optional<std::string> address = prompt_ ? prompt_() : std::string();
        if (!address) {
            throw SessionError("The connection was cancelled");
        }
        hostAddress_ = *address;
        client_ = std::make_unique<directplay::DirectPlayClient>(options_.ports, options_.timings);
    });
}

directplay::DirectPlayClient& DirectPlaySession::Client() {
    if (!client_) {
        throw SessionError("No connection type is initialised");
    }
    return *client_;
}

std::vector<SessionInfo> DirectPlaySession::ListSessions() {
    return Run([&] {
        sessions_ = Client().Enumerate(hostAddress_, options_.enumerationWindowMs);
        std::vector<SessionInfo> list;
        for (const directplay::FoundSession& session : sessions_) {
            const auto clamp = [](uint32_t value) {
                return static_cast<int32_t>(
                    std::min<uint32_t>(value, std::numeric_limits<int32_t>::max()));
            };
            list.push_back(SessionInfo{WideToAnsi(session.name), clamp(session.desc.currentPlayers),
                                       clamp(session.desc.maxPlayers)});
        }
        return list;
    });
}

void DirectPlaySession::JoinSession(int index) {
    Run([&] {
        if (index < 1 || static_cast<size_t>(index) > sessions_.size()) {
            throw SessionError("There is no session number " + std::to_string(index));
        }
        Client().Join(sessions_[static_cast<size_t>(index - 1)]);
    });
}

int32_t DirectPlaySession::CreatePlayer(const std::string& nickname,
                                        const std::string& formalName) {
    return Run([&] {
        return static_cast<int32_t>(
            Client().CreatePlayer(AnsiToWide(nickname), AnsiToWide(formalName)));
    });
}

void DirectPlaySession::DestroyPlayer(int32_t playerId) {
    Run([&] { Client().DestroyPlayer(static_cast<uint32_t>(playerId)); });
}

void DirectPlaySession::Close() {
    Run([&] { CloseClient(); });
}

void DirectPlaySession::CloseClient() {
    if (client_) {
        client_->Leave();
        client_.reset();
    }
    sessions_.clear();
}

int32_t DirectPlaySession::WaitingMessageCount(int32_t /*playerId*/) {
    return Run([&] { return static_cast<int32_t>(Client().WaitingCount()); });
}

ReceivedMessage DirectPlaySession::Receive() {
    return Run([&] {
        auto delivery = Client().TakeDelivery();
        if (!delivery) {
            throw SessionError("No message is waiting");
        }
        return ReceivedMessage{static_cast<int32_t>(delivery->idFrom),
                               static_cast<int32_t>(delivery->idTo),
                               SessionMessage(std::move(delivery->payload))};
    });
}

std::string DirectPlaySession::PlayerName(int32_t playerId) {
    return Run([&] {
        const auto name = Client().PlayerName(static_cast<uint32_t>(playerId));
        if (!name) {
            throw SessionError("No player has the id " + std::to_string(playerId));
        }
        return WideToAnsi(*name);
    });
}

void DirectPlaySession::SendToAll(int32_t fromId, const SessionMessage& message) {
    Run([&] {
        directplay::DirectPlayClient& client = Client();
        if (client.lost()) {
            throw SessionError("The session was lost: " + client.lostReason());
        }
        if (!client.joined()) {
            throw SessionError("Not joined to a session");
        }
        if (!client.IsLocal(static_cast<uint32_t>(fromId))) {
            throw SessionError("The player " + std::to_string(fromId) + " is not ours");
        }
        client.SendToAll(static_cast<uint32_t>(fromId), message.bytes());
    });
}

bool DirectPlaySession::SessionLost() const {
    return client_ && client_->lost();
}

std::string DirectPlaySession::LostReason() const {
    return client_ ? client_->lostReason() : std::string();
}

}  // namespace scopewatch
