#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "capture/CaptureReader.h"
#include "replay/Observation.h"
#include "replay/ReplayTimeline.h"
#include "shared/Outcome.h"

namespace scopewatch::replay {

// A capture file as an observer of its session saw it.
struct Recording {
    std::filesystem::path file;
    Observation observation;
    ReplayTimeline timeline;  // empty unless asked for
    capture::CaptureSummary summary;
    // The file was not read whole, or held no DirectPlay: one line saying so.
    std::optional<std::string> warning;
};

struct RecordingOptions {
    bool keepTimeline = true;  // what a replay needs; a report needs only the observation
    // Set from another thread to stop a reading nobody waits for any more.
    const std::atomic<bool>* cancelled = nullptr;
};

// Reads a pcap or pcapng file as an observer. Fails with one message naming the file and where
// it went wrong when it is not a capture we read, or holds no DirectPlay session; a file cut
// short is read up to there (the warning says so).
Outcome<Recording> ReadRecording(const std::filesystem::path& file,
                                 const RecordingOptions& options = {});
// The same over bytes in memory ("the capture").
Outcome<Recording> ReadRecordingBytes(std::span<const uint8_t> bytes,
                                      const RecordingOptions& options = {});

}  // namespace scopewatch::replay
