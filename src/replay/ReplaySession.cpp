#include "replay/ReplaySession.h"

#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "multiplayer/GameMessages.h"
#include "platform/CodePage.h"
#include "replay/ReadRecording.h"

namespace scopewatch::replay {

namespace {

constexpr size_t kMostAnswers = 4096;
constexpr size_t kMostHistoryLines = 10000;

}  // namespace

Outcome<ReplayTimeline> ReadTimeline(const std::filesystem::path& file,
                                     const std::atomic<bool>& cancelled) {
    Outcome<Recording> read = ReadRecording(file, RecordingOptions{true, &cancelled});
    if (!read.ok()) {
        return Outcome<ReplayTimeline>::Failed(read.failure);
    }
    ReplayTimeline timeline = std::move(read.value->timeline);
    timeline.session().notice = read.value->warning.value_or(std::string());
    return Outcome<ReplayTimeline>::Done(std::move(timeline));
}

ReplaySession::ReplaySession(CaptureFilePrompt prompt, ReplayOptions options)
    : prompt_(std::move(prompt)), options_(std::move(options)) {}

ReplaySession::~ReplaySession() {
    if (reading_) {
        cancelled_->store(true);
        reading_->wait();
    }
}

std::string ReplaySession::ConnectionTypeName(int index) const {
    if (index != 1) {
        throw SessionError("There is no connection type " + std::to_string(index));
    }
    return kReplayConnectionType;
}

void ReplaySession::InitialiseConnection(int index) {
    Close();
    ConnectionTypeName(index);
    const std::optional<std::filesystem::path> file = prompt_ ? prompt_() : std::nullopt;
    if (!file) {
        throw SessionError("The connection was cancelled");
    }
    file_ = *file;
}

void ReplaySession::Enter(SessionStep step) {
    step_ = step;
    emit stepChanged(step);
}

// Ends a step from the event loop, unless the session was closed meanwhile.
void ReplaySession::LaterEnter(SessionStep step) {
    QTimer::singleShot(0, this, [this, step, generation = generation_] {
        if (generation == generation_) {
            Enter(step);
        }
    });
}

void ReplaySession::ListSessions() {
    if (file_.empty()) {
        throw SessionError("No capture file is chosen");
    }
    if (reading_ || step_ == SessionStep::kListing) {
        throw SessionError("The session is busy with another operation");
    }
    step_ = SessionStep::kListing;
    failure_.clear();
    auto read = std::make_shared<Outcome<ReplayTimeline>>();
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    reading_ = QThread::create([reader = options_.reader, file = file_, read,
                                cancelled = cancelled_] { *read = reader(file, *cancelled); });
    connect(reading_, &QThread::finished, reading_, &QObject::deleteLater);
    connect(reading_, &QThread::finished, this,
            [this, read, generation = generation_] { Loaded(read, generation); });
    reading_->start();
}

void ReplaySession::Loaded(const std::shared_ptr<Outcome<ReplayTimeline>>& read,
                           unsigned generation) {
    if (generation != generation_) {
        return;
    }
    reading_ = nullptr;
    if (!read->ok()) {
        failure_ = read->failure;
        Enter(SessionStep::kListingFailed);
        return;
    }
    timeline_ = std::make_unique<ReplayTimeline>(std::move(*read->value));
    failure_ = timeline_->session().notice;
    Enter(SessionStep::kListed);
}

// A reading nobody waits for any more stops soon and goes by itself.
void ReplaySession::StopReading() {
    if (reading_) {
        cancelled_->store(true);
        disconnect(reading_, nullptr, this, nullptr);
        reading_ = nullptr;
    }
}

void ReplaySession::Close() {
    StopReading();
    ++generation_;
    step_ = SessionStep::kIdle;
    timeline_.reset();
    file_.clear();
    failure_.clear();
    viewerId_ = 0;
    pending_.clear();
}

std::vector<SessionInfo> ReplaySession::ListedSessions() const {
    if (!timeline_) {
        return {};
    }
    const TimelineSession& session = timeline_->session();
    const std::string name =
        session.name.empty() ? ToAnsi(QFile::decodeName(file_.stem().c_str())) : session.name;
    return {SessionInfo{name, session.currentPlayers, session.maxPlayers}};
}

ReplayTimeline& ReplaySession::Timeline() {
    if (!timeline_) {
        throw SessionError("No recording is read");
    }
    return *timeline_;
}

void ReplaySession::JoinSession(int index) {
    Timeline();
    if (index != 1) {
        throw SessionError("There is no session number " + std::to_string(index));
    }
    StartPlaying();
    LaterEnter(SessionStep::kJoining);
    LaterEnter(SessionStep::kJoined);
}

// The recording plays from where the recorded scope began, by the session's clock from 0.
void ReplaySession::StartPlaying() {
    anchor_ = timeline_->start();
    anchorClock_ = 0.0;
    clock_ = 0.0;
    bound_ = anchor_;
    cursor_ = FirstDueAfter(anchor_);
    pending_.clear();
}

// The messages due after the moment; at the replay's start, those that came after the host let
// the recorded scope in (they waited for its window to take them).
size_t ReplaySession::FirstDueAfter(int64_t moment) const {
    return timeline_->FirstAfter(moment > timeline_->start() ? moment : timeline_->joined());
}

// Our player takes an id no player of the recording has.
void ReplaySession::ChooseViewer(const std::string& nickname) {
    nickname_ = nickname;
    viewerId_ = 1;
    while (timeline_->FindPlayer(static_cast<uint32_t>(viewerId_)) != nullptr) {
        ++viewerId_;
    }
}

void ReplaySession::CreatePlayer(const std::string& nickname, const std::string& /*formalName*/) {
    Timeline();
    if (step_ != SessionStep::kJoined) {
        throw SessionError("Not joined to a session");
    }
    ChooseViewer(nickname);
    LaterEnter(SessionStep::kCreatingPlayer);
    LaterEnter(SessionStep::kPlayerCreated);
}

void ReplaySession::Play(std::unique_ptr<ReplayTimeline> timeline, const std::string& nickname) {
    Close();
    timeline_ = std::move(timeline);
    StartPlaying();
    ChooseViewer(nickname);
    step_ = SessionStep::kPlayerCreated;
}

int32_t ReplaySession::WaitingMessageCount(int32_t /*playerId*/) {
    size_t waiting = pending_.size();
    if (timeline_) {
        const size_t due = timeline_->FirstAfter(bound_);
        waiting += due > cursor_ ? due - cursor_ : 0;
    }
    return static_cast<int32_t>(std::min<size_t>(waiting, INT32_MAX));
}

ReceivedMessage ReplaySession::Receive() {
    if (!pending_.empty()) {
        ReceivedMessage next = std::move(pending_.front());
        pending_.pop_front();
        return next;
    }
    if (!timeline_ || cursor_ >= timeline_->FirstAfter(bound_)) {
        throw SessionError("No message is waiting");
    }
    Queue(timeline_->entry(cursor_).sender, cursor_);
    ++cursor_;
    return Receive();
}

void ReplaySession::Queue(uint32_t sender, size_t entry) {
    const std::span<const uint8_t> bytes = timeline_->Bytes(entry);
    const TimelinePlayer* player = timeline_->FindPlayer(sender);
    pending_.push_back(
        ReceivedMessage{static_cast<int32_t>(sender), viewerId_,
                        SessionMessage(std::vector<uint8_t>(bytes.begin(), bytes.end())),
                        player != nullptr && player->onHostMachine});
}

std::string ReplaySession::PlayerName(int32_t playerId) {
    if (playerId == viewerId_ && viewerId_ != 0) {
        return nickname_;
    }
    const auto name = Timeline().NameAt(static_cast<uint32_t>(playerId), bound_);
    if (!name) {
        throw SessionError("No player has the id " + std::to_string(playerId));
    }
    return *name;
}

void ReplaySession::SendToAll(int32_t /*fromId*/, const SessionMessage& message) {
    if (!playing()) {
        throw SessionError("Not joined to a session");
    }
    SessionMessage read = message;
    try {
        Answer(ReadHead(read).kind);
    } catch (const MalformedBytes&) {
        // Nobody would have understood it: nobody answers.
    }
}

// The recorded players answer as they answered in the session: the host's player lets us in,
// and everyone present announces itself and its aircraft with what it sent then.
void ReplaySession::Answer(int32_t kind) {
    if (pending_.size() >= kMostAnswers) {
        return;
    }
    const ReplayTimeline& timeline = *timeline_;
    const std::vector<const TimelinePlayer*> present = timeline.PresentAt(bound_);
    if (kind == kinds::kJoinRequest || kind == kinds::kJoinNotice) {
        const auto host = std::find_if(present.begin(), present.end(),
                                       [](const TimelinePlayer* p) { return p->onHostMachine; });
        pending_.push_back(
            ReceivedMessage{host != present.end() ? static_cast<int32_t>((*host)->id) : viewerId_,
                            viewerId_, MakePlayerPresent(viewerId_), true});
        return;
    }
    if (kind != kinds::kIdentifyRequest && kind != kinds::kAircraftInfoRequest) {
        return;
    }
    const int32_t said =
        kind == kinds::kIdentifyRequest ? kinds::kPlayerPresent : kinds::kAircraftInfo;
    // In the order they last answered by then: the order the table fills in.
    std::vector<std::pair<size_t, uint32_t>> answers;
    for (const TimelinePlayer* player : present) {
        if (const auto answer = timeline.SaidAt(*player, said, bound_)) {
            answers.emplace_back(*answer, player->id);
        }
    }
    std::sort(answers.begin(), answers.end());
    for (const auto& [entry, player] : answers) {
        if (pending_.size() >= kMostAnswers) {
            break;
        }
        Queue(player, entry);
    }
}

int64_t ReplaySession::MicrosOf(double seconds) const {
    return std::llround(seconds * 1e6 / options_.recordedSpeedUp);
}

void ReplaySession::ClockAt(double sessionSeconds) {
    if (!playing()) {
        return;
    }
    clock_ = sessionSeconds;
    bound_ = std::min(timeline_->end(), anchor_ + MicrosOf(clock_ - anchorClock_));
    emit moved();
}

std::optional<std::string> ReplaySession::EndOfSession() const {
    if (playing() && bound_ >= timeline_->end() && pending_.empty() &&
        cursor_ >= timeline_->size()) {
        return std::string(kRecordingEndedMessage);
    }
    return std::nullopt;
}

double ReplaySession::elapsed() const {
    return timeline_
               ? static_cast<double>(bound_ - timeline_->start()) / 1e6 * options_.recordedSpeedUp
               : 0.0;
}

double ReplaySession::length() const {
    return timeline_ ? static_cast<double>(timeline_->end() - timeline_->start()) / 1e6 *
                           options_.recordedSpeedUp
                     : 0.0;
}

void ReplaySession::Seek(double seconds) {
    if (!playing()) {
        return;
    }
    const ReplayTimeline& timeline = *timeline_;
    anchor_ = std::clamp(timeline.start() + MicrosOf(seconds), timeline.start(), timeline.end());
    anchorClock_ = clock_;
    bound_ = anchor_;
    cursor_ = FirstDueAfter(anchor_);
    pending_.clear();
    // The history: the chat lines from the replay's start up to the first message still due.
    const std::vector<size_t>& chat = timeline.chat();
    const auto begin = std::lower_bound(chat.begin(), chat.end(), FirstDueAfter(timeline.start()));
    const auto end = std::lower_bound(begin, chat.end(), cursor_);
    for (auto line = end - std::min<ptrdiff_t>(end - begin, kMostHistoryLines); line != end;
         ++line) {
        Queue(timeline.entry(*line).sender, *line);
    }
    emit moved();
}

}  // namespace scopewatch::replay
