#include "capture/SessionRecorder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace scopewatch::capture {

namespace {

int64_t NowMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

uint32_t Ipv4Of(const QHostAddress& address) {
    bool ok = false;
    const uint32_t ip = address.toIPv4Address(&ok);
    return ok ? ip : 0;
}

// The address the system sends from toward the peer: a datagram socket "connected" to it
// learns its route without sending anything. 0 when there is none.
uint32_t RouteSourceToward(uint32_t peer) {
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    if (probe < 0) {
        return 0;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    to.sin_addr.s_addr = htonl(peer);
    sockaddr_in from{};
    socklen_t length = sizeof from;
    uint32_t source = 0;
    if (connect(probe, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&from), &length) == 0) {
        source = ntohl(from.sin_addr.s_addr);
    }
    close(probe);
    return source;
}

}  // namespace

SessionRecorder::SessionRecorder(RecordingPlan plan) : plan_(std::move(plan)) {
    flushTimer_.setInterval(kFlushIntervalMs);
    connect(&flushTimer_, &QTimer::timeout, this, &SessionRecorder::Flush);
}

SessionRecorder::~SessionRecorder() {
    Stop();
}

void SessionRecorder::Take(const directplay::Crossing& crossing) {
    if (phase_ == Phase::kRecording && writer_) {
        writer_->Write(FrameOf(crossing));
    } else if (phase_ == Phase::kWaiting && earlyBytes_ + crossing.bytes.size() <= kEarlyBytes) {
        earlyBytes_ += crossing.bytes.size();
        early_.push_back(FrameOf(crossing));
    }
}

CapturedFrame SessionRecorder::FrameOf(const directplay::Crossing& crossing) {
    const Endpoint local = LocalEnd(crossing.localIp, crossing.localPort, crossing.peerIp);
    const Endpoint peer{Ipv4Of(crossing.peerIp), crossing.peerPort};
    CapturedFrame frame;
    frame.microseconds = NowMicroseconds();
    frame.carrier = crossing.datagram ? Carrier::kDatagram : Carrier::kStream;
    frame.from = crossing.sent ? local : peer;
    frame.to = crossing.sent ? peer : local;
    frame.bytes.assign(crossing.bytes.begin(), crossing.bytes.end());
    return frame;
}

Endpoint SessionRecorder::LocalEnd(const QHostAddress& local, quint16 port,
                                   const QHostAddress& peer) {
    uint32_t ip = Ipv4Of(local);
    if (ip == 0) {
        const uint32_t toward = Ipv4Of(peer);
        const auto known = routes_.find(toward);
        ip = known != routes_.end() ? known->second : (routes_[toward] = RouteSourceToward(toward));
    }
    return {ip, port};
}

void SessionRecorder::Start(const std::string& sessionName) {
    if (phase_ != Phase::kWaiting) {
        return;
    }
    phase_ = Phase::kRecording;
    std::vector<CapturedFrame> early = std::move(early_);
    early_.clear();
    std::error_code error;
    std::filesystem::create_directories(plan_.folder, error);
    const std::filesystem::path name = RecordingFileName(QDateTime::currentDateTime(), sessionName);
    file_ = plan_.folder / name;
    // Two sessions joined within the same second: the second file gets a number.
    for (int copy = 2; copy <= 9 && std::filesystem::exists(file_, error); ++copy) {
        file_ = plan_.folder / name.stem().concat(" (" + std::to_string(copy) + ").pcap");
    }
    auto created = CaptureWriter::Create(file_);
    if (!created.ok()) {
        Fail(created.failure);
        return;
    }
    writer_ = std::move(*created.value);
    for (const CapturedFrame& frame : early) {
        writer_->Write(frame);
    }
    Flush();
    PruneRecordings(plan_, file_);
    flushTimer_.start();
}

void SessionRecorder::Flush() {
    if (writer_) {
        if (const Status flushed = writer_->Flush(); !flushed.ok()) {
            Fail(flushed.failure);
        }
    }
}

void SessionRecorder::Stop() {
    if (phase_ == Phase::kStopped) {
        return;
    }
    Flush();
    phase_ = Phase::kStopped;
    flushTimer_.stop();
    writer_.reset();
    early_.clear();
}

void SessionRecorder::Fail(const std::string& why) {
    phase_ = Phase::kStopped;
    flushTimer_.stop();
    writer_.reset();
    failure_ = "The session cannot be recorded: " + why + ". It goes on unrecorded.";
}

}  // namespace scopewatch::capture
