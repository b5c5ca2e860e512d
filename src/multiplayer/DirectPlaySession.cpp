#include "multiplayer/DirectPlaySession.h"

#include <QString>
#include <algorithm>
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

// Whatever is still joined leaves with what the sockets take at once; the program waits for
// `closed` before it ends, so this only cuts short a closing nobody waits for.
DirectPlaySession::~DirectPlaySession() {
    if (client_) {
        client_->Leave();
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
    LetClientGo();
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
}

directplay::DirectPlayClient& DirectPlaySession::Client() {
    if (!client_) {
        throw SessionError("No connection type is initialised");
    }
    return *client_;
}

void DirectPlaySession::FailLater(const std::string& reason) {
    QMetaObject::invokeMethod(
        this, [this, reason] { emit stepFailed(reason); }, Qt::QueuedConnection);
}

void DirectPlaySession::ListSessions() {
    if (!client_) {
        FailLater("No connection type is initialised");
        return;
    }
    client_->Enumerate(
        hostAddress_, options_.enumerationWindowMs,
        [this](const directplay::Outcome<std::vector<directplay::FoundSession>>& outcome) {
            if (!outcome.ok()) {
                emit stepFailed(outcome.failure);
                return;
            }
            sessions_ = *outcome.value;
            std::vector<SessionInfo> list;
            for (const directplay::FoundSession& session : sessions_) {
                const auto clamp = [](uint32_t value) {
                    return static_cast<int32_t>(
                        std::min<uint32_t>(value, std::numeric_limits<int32_t>::max()));
                };
                list.push_back(SessionInfo{WideToAnsi(session.name),
                                           clamp(session.desc.currentPlayers),
                                           clamp(session.desc.maxPlayers)});
            }
            emit sessionsListed(list);
        });
}

void DirectPlaySession::JoinSession(int index) {
    if (!client_ || index < 1 || static_cast<size_t>(index) > sessions_.size()) {
        FailLater("There is no session number " + std::to_string(index));
        return;
    }
    client_->Join(sessions_[static_cast<size_t>(index - 1)],
                  [this](const directplay::Outcome<directplay::SessionDesc>& outcome) {
                      if (outcome.ok()) {
                          emit sessionJoined();
                      } else {
                          emit stepFailed(outcome.failure);
                      }
                  });
}

void DirectPlaySession::CreatePlayer(const std::string& nickname, const std::string& formalName) {
    if (!client_) {
        FailLater("No connection type is initialised");
        return;
    }
    client_->CreatePlayer(AnsiToWide(nickname), AnsiToWide(formalName),
                          [this](const directplay::Outcome<uint32_t>& outcome) {
                              if (outcome.ok()) {
                                  emit playerCreated(static_cast<int32_t>(*outcome.value));
                              } else {
                                  emit stepFailed(outcome.failure);
                              }
                          });
}

void DirectPlaySession::DestroyPlayer(int32_t playerId) {
    Client().DestroyPlayer(static_cast<uint32_t>(playerId));
}

void DirectPlaySession::Close() {
    LetClientGo();
}

void DirectPlaySession::LetClientGo() {
    sessions_.clear();
    if (!client_) {
        return;
    }
    std::unique_ptr<directplay::DirectPlayClient> client = std::move(client_);
    client->Leave();
    if (!client->closing()) {
        client.release()->deleteLater();  // its handlers may be on the stack
        return;
    }
    directplay::DirectPlayClient* raw = client.get();
    connect(raw, &directplay::DirectPlayPeer::finishedSending, this,
            [this, raw] { ClientFinished(raw); });
    leaving_.push_back(std::move(client));
}

void DirectPlaySession::ClientFinished(directplay::DirectPlayClient* client) {
    const auto found =
        std::find_if(leaving_.begin(), leaving_.end(),
                     [client](const auto& leaving) { return leaving.get() == client; });
    if (found == leaving_.end()) {
        return;
    }
    found->release()->deleteLater();  // it is signalling from its own code
    leaving_.erase(found);
    if (leaving_.empty()) {
        emit closed();
    }
}

int32_t DirectPlaySession::WaitingMessageCount(int32_t /*playerId*/) {
    return static_cast<int32_t>(Client().WaitingCount());
}

ReceivedMessage DirectPlaySession::Receive() {
    auto delivery = Client().TakeDelivery();
    if (!delivery) {
        throw SessionError("No message is waiting");
    }
    return ReceivedMessage{static_cast<int32_t>(delivery->idFrom),
                           static_cast<int32_t>(delivery->idTo),
                           SessionMessage(std::move(delivery->payload)), delivery->fromHost};
}

std::string DirectPlaySession::PlayerName(int32_t playerId) {
    const auto name = Client().PlayerName(static_cast<uint32_t>(playerId));
    if (!name) {
        throw SessionError("No player has the id " + std::to_string(playerId));
    }
    return WideToAnsi(*name);
}

void DirectPlaySession::SendToAll(int32_t fromId, const SessionMessage& message) {
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
    try {
        client.SendToAll(static_cast<uint32_t>(fromId), message.bytes());
    } catch (const directplay::EncodeError& error) {
        throw SessionError(error.what());
    }
}

bool DirectPlaySession::SessionLost() const {
    return client_ && client_->lost();
}

std::string DirectPlaySession::LostReason() const {
    return client_ ? client_->lostReason() : std::string();
}

}  // namespace scopewatch
