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

void ThrowIfFailed(const Status& status) {
    if (!status.ok()) {
        throw SessionError(status.failure);
    }
}
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
    connect(client_.get(), &directplay::DirectPlayClient::stateChanged, this,
            &DirectPlaySession::Follow);
}

directplay::DirectPlayClient& DirectPlaySession::Client() {
    if (!client_) {
        throw SessionError("No connection type is initialised");
    }
    return *client_;
}

SessionStep StepOf(directplay::JoinState state) {
    using directplay::JoinState;
    switch (state) {
        case JoinState::kIdle:
            return SessionStep::kIdle;
        case JoinState::kLookingUpHost:
        case JoinState::kListing:
            return SessionStep::kListing;
        case JoinState::kListed:
            return SessionStep::kListed;
        case JoinState::kListingFailed:
            return SessionStep::kListingFailed;
        case JoinState::kRequestingMachineId:
        case JoinState::kAwaitingNameTable:
            return SessionStep::kJoining;
        case JoinState::kJoined:
            return SessionStep::kJoined;
        case JoinState::kJoinFailed:
            return SessionStep::kJoinFailed;
        case JoinState::kRequestingPlayerId:
            return SessionStep::kCreatingPlayer;
        case JoinState::kPlayerCreated:
            return SessionStep::kPlayerCreated;
        case JoinState::kPlayerFailed:
            return SessionStep::kPlayerFailed;
        case JoinState::kLost:
            return SessionStep::kLost;
    }
    return SessionStep::kIdle;
}

void DirectPlaySession::Follow(directplay::JoinState from, directplay::JoinState to) {
    if (StepOf(from) == StepOf(to)) {
        return;
    }
    if (recorder_ && StepOf(to) == SessionStep::kJoined) {
        recorder_->Start(joiningName_);
    } else if (recorder_ &&
               (StepOf(to) == SessionStep::kJoinFailed || StepOf(to) == SessionStep::kLost)) {
        recorder_->Stop();
    }
    emit stepChanged(StepOf(to));
}

SessionStep DirectPlaySession::Step() const {
    return client_ ? StepOf(client_->state()) : SessionStep::kIdle;
}

std::vector<SessionInfo> DirectPlaySession::ListedSessions() const {
    std::vector<SessionInfo> list;
    if (!client_) {
        return list;
    }
    const auto clamp = [](uint32_t value) {
        return static_cast<int32_t>(std::min<uint32_t>(value, std::numeric_limits<int32_t>::max()));
    };
    for (const directplay::FoundSession& session : client_->foundSessions()) {
        list.push_back(SessionInfo{WideToAnsi(session.name), clamp(session.desc.currentPlayers),
                                   clamp(session.desc.maxPlayers)});
    }
    return list;
}

int32_t DirectPlaySession::CreatedPlayer() const {
    return client_ ? static_cast<int32_t>(client_->createdPlayer()) : 0;
}

std::string DirectPlaySession::StepFailure() const {
    return client_ ? client_->failure() : std::string();
}

void DirectPlaySession::ListSessions() {
    ThrowIfFailed(Client().Enumerate(hostAddress_, options_.enumerationWindowMs));
}

void DirectPlaySession::JoinSession(int index) {
    const auto& sessions =
        client_ ? client_->foundSessions() : std::vector<directplay::FoundSession>{};
    if (index < 1 || static_cast<size_t>(index) > sessions.size()) {
        throw SessionError("There is no session number " + std::to_string(index));
    }
    const directplay::FoundSession& session = sessions[static_cast<size_t>(index - 1)];
    const bool record = !client_->busy();  // a busy client refuses the join
    if (record) {
        RecordJoin(session);
    }
    const Status joining = client_->Join(session);
    if (!joining.ok() && record) {
        client_->transport().SetTap({});
        recorder_.reset();
    }
    ThrowIfFailed(joining);
}

void DirectPlaySession::RecordJoin(const directplay::FoundSession& session) {
    client_->transport().SetTap({});
    recorder_.reset();
    if (options_.recording.folder.empty() ||
        (options_.recordingWanted && !options_.recordingWanted())) {
        return;
    }
    recorder_ = std::make_shared<capture::SessionRecorder>(options_.recording);
    joiningName_ = WideToAnsi(session.name);
    client_->transport().SetTap(
        [recorder = recorder_](const directplay::Crossing& crossing) { recorder->Take(crossing); });
}

std::string DirectPlaySession::TakeRecordingFailure() {
    return recorder_ ? recorder_->TakeFailure() : std::string();
}

void DirectPlaySession::CreatePlayer(const std::string& nickname, const std::string& formalName) {
    ThrowIfFailed(Client().CreatePlayer(AnsiToWide(nickname), AnsiToWide(formalName)));
}

void DirectPlaySession::DestroyPlayer(int32_t playerId) {
    Client().DestroyPlayer(static_cast<uint32_t>(playerId));
}

void DirectPlaySession::Close() {
    LetClientGo();
}

void DirectPlaySession::LetClientGo() {
    recorder_.reset();  // it closes once the client's tap lets it go
    if (!client_) {
        return;
    }
    std::unique_ptr<directplay::DirectPlayClient> client = std::move(client_);
    client->disconnect(this);  // the step it was on is called off: no signal of it comes
    client->Leave();
    if (!client->closing()) {
        client.release()->deleteLater();  // its handlers may be on the stack
        return;
    }
    directplay::DirectPlayClient* raw = client.get();
    connect(&raw->peer(), &directplay::DirectPlayPeer::finishedSending, this,
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
    ThrowIfFailed(client.SendToAll(static_cast<uint32_t>(fromId), message.bytes()));
}

std::string DirectPlaySession::LostReason() const {
    return client_ ? client_->lostReason() : std::string();
}

}  // namespace scopewatch
