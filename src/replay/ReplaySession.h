#pragma once

#include <QThread>
#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "multiplayer/SessionService.h"
#include "replay/ReplayTimeline.h"
#include "shared/Outcome.h"

namespace scopewatch::replay {

inline constexpr const char* kReplayConnectionType = "Recorded Session (Replay)";
inline constexpr const char* kRecordingEndedMessage = "The recorded session has ended.";

// Asks the user for a capture file; nothing means the user cancelled.
using CaptureFilePrompt = std::function<std::optional<std::filesystem::path>()>;
// Reads a capture file into a timeline, in a thread of its own; the flag is set when nobody
// waits for it any more.
using TimelineReader = std::function<Outcome<ReplayTimeline>(const std::filesystem::path& file,
                                                             const std::atomic<bool>& cancelled)>;

// Reads the file as an observer would (ReadRecording).
Outcome<ReplayTimeline> ReadTimeline(const std::filesystem::path& file,
                                     const std::atomic<bool>& cancelled);

struct ReplayOptions {
    TimelineReader reader = ReadTimeline;
    // How many times as fast as real time the recorded session ran: tests record sessions on a
    // faster clock. A recording of people's session ran at 1.
    double recordedSpeedUp = 1.0;
};

// A session played from a recording, through the same operations as a live one: listing reads
// the capture file the user picks (in a thread of its own) and lists the session it holds;
// joining and creating our player succeed at once, and the host accepts us at once. From there
// the recording plays by the session's clock (ClockAt, the main window's receive ticks): every
// player's game messages come as they came in the recording, from the moment the recorded scope
// began; the players present answer the scope's own identify and aircraft-information requests
// with what they sent in the recording; what the program sends goes nowhere else. The end of the
// recording ends the session (EndOfSession).
class ReplaySession : public SessionService {
    Q_OBJECT
  public:
    explicit ReplaySession(CaptureFilePrompt prompt, ReplayOptions options = {});
    ~ReplaySession() override;

    int ConnectionTypeCount() const override { return 1; }
    std::string ConnectionTypeName(int index) const override;
    void InitialiseConnection(int index) override;
    void ListSessions() override;
    void JoinSession(int index) override;
    void CreatePlayer(const std::string& nickname, const std::string& formalName) override;
    void DestroyPlayer(int32_t /*playerId*/) override {}
    void Close() override;
    bool closing() const override { return false; }
    SessionStep Step() const override { return step_; }
    std::vector<SessionInfo> ListedSessions() const override;
    int32_t CreatedPlayer() const override { return viewerId_; }
    std::string StepFailure() const override { return failure_; }
    int32_t WaitingMessageCount(int32_t playerId) override;
    ReceivedMessage Receive() override;
    std::string PlayerName(int32_t playerId) override;
    void SendToAll(int32_t fromId, const SessionMessage& message) override;
    void ClockAt(double sessionSeconds) override;
    bool ReachesOthers() const override { return false; }
    std::optional<std::string> EndOfSession() const override;
    bool ExplainsFailures() const override { return true; }

    // ---- the replay's own ----
    // Plays a timeline read elsewhere at once, joined and with our player under the nickname
    // (a tool that shows a moment of it).
    void Play(std::unique_ptr<ReplayTimeline> timeline, const std::string& nickname);
    // In the session: the recording plays.
    bool playing() const { return step_ == SessionStep::kPlayerCreated; }
    // Seconds of the session since the replay's start, and its whole length.
    double elapsed() const;
    double length() const;
    // Goes to that moment (seconds from the start): the recording plays on from there, and the
    // next message to come is the chat of the recording up to there (the history anew).
    void Seek(double seconds);
    const ReplayTimeline* timeline() const { return timeline_.get(); }

  signals:
    // Where the recording stands has changed.
    void moved();

  private:
    void Enter(SessionStep step);
    void LaterEnter(SessionStep step);
    void Loaded(const std::shared_ptr<Outcome<ReplayTimeline>>& read, unsigned generation);
    void StopReading();
    ReplayTimeline& Timeline();
    void StartPlaying();
    void ChooseViewer(const std::string& nickname);
    void Answer(int32_t kind);
    void Queue(uint32_t sender, size_t entry);
    size_t FirstDueAfter(int64_t moment) const;
    int64_t MicrosOf(double seconds) const;

    CaptureFilePrompt prompt_;
    ReplayOptions options_;
    std::filesystem::path file_;
    std::unique_ptr<ReplayTimeline> timeline_;
    QThread* reading_ = nullptr;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    unsigned generation_ = 0;  // a step ended after a Close belongs to no one
    SessionStep step_ = SessionStep::kIdle;
    std::string failure_;
    std::string nickname_;
    int32_t viewerId_ = 0;

    // Where the recording stands: `anchor` is the moment the session's clock stood at
    // `anchorClock`; the messages up to `bound` are due, those before `cursor` delivered.
    int64_t anchor_ = 0;
    double anchorClock_ = 0.0;
    double clock_ = 0.0;
    int64_t bound_ = 0;
    size_t cursor_ = 0;
    std::deque<ReceivedMessage> pending_;  // answers and history, before what the recording holds
};

}  // namespace scopewatch::replay
