#pragma once

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "capture/CaptureWriter.h"
#include "capture/RecordingFolder.h"
#include "directplay/DirectPlayTransport.h"

namespace scopewatch::capture {

// Records one session into a capture file of the recordings folder: every frame the session's
// sockets send and receive (the transport's tap), as it goes.
//
// It starts taking frames with the join, before the session's name is known for sure: they
// are kept (up to kEarlyBytes) and written first once the join succeeds and Start opens the
// file, so that the recording holds the join too. The file is flushed every half second, so a
// crash loses at most the last second. Once the file cannot be created or written (a full
// disk, a folder without write permission) the recorder stops, keeps why, and drops what
// comes after: the session goes on unrecorded.
class SessionRecorder : public QObject {
    Q_OBJECT
  public:
    static constexpr size_t kEarlyBytes = 4 * 1024 * 1024;
    static constexpr int kFlushIntervalMs = 500;

    explicit SessionRecorder(RecordingPlan plan);
    ~SessionRecorder() override;

    // A frame crossed one of the session's sockets.
    void Take(const directplay::Crossing& crossing);
    // The join succeeded: opens "<time> <session name>.pcap" (the name in Windows-1252), writes
    // what was kept, and deletes the oldest recordings beyond the plan's limits.
    void Start(const std::string& sessionName);
    // The session ended: the file is written out and closed; later frames are dropped.
    void Stop();

    bool recording() const { return writer_ != nullptr; }
    // The file being written, or written last.
    const std::filesystem::path& file() const { return file_; }
    // Why the recording stopped, worded for the user, once: empty when it did not fail or was
    // told already.
    std::string TakeFailure() { return std::exchange(failure_, {}); }

  private:
    CapturedFrame FrameOf(const directplay::Crossing& crossing);
    // Our end of a socket: one bound to every address takes the address the system would send
    // to the peer from.
    Endpoint LocalEnd(const QHostAddress& local, quint16 port, const QHostAddress& peer);
    void Flush();
    void Fail(const std::string& why);

    RecordingPlan plan_;
    enum class Phase { kWaiting, kRecording, kStopped } phase_ = Phase::kWaiting;
    std::vector<CapturedFrame> early_;
    size_t earlyBytes_ = 0;
    std::unique_ptr<CaptureWriter> writer_;
    std::filesystem::path file_;
    QTimer flushTimer_;
    std::map<uint32_t, uint32_t> routes_;  // our address toward each peer
    std::string failure_;
};

}  // namespace scopewatch::capture
