#include "replay/ReadRecording.h"

#include "replay/SessionObserver.h"

namespace scopewatch::replay {

namespace {

// Runs the reader with an observer as its sink; `read` is the reader over the file or bytes.
template <typename Read>
Outcome<Recording> Observe(const std::string& named, const RecordingOptions& options, Read read) {
    Recording recording;
    SessionObserver observer(options.keepTimeline ? &recording.timeline : nullptr);
    const capture::FrameSink sink = [&observer, &options](const capture::CapturedFrame& frame) {
        if (options.cancelled == nullptr || !options.cancelled->load()) {
            observer.Take(frame);
        }
    };
    Outcome<capture::CaptureSummary> summary = read(sink);
    if (!summary.ok()) {
        return Outcome<Recording>::Failed(summary.failure);
    }
    recording.summary = std::move(*summary.value);
    recording.observation = observer.Finish();
    const Observation& seen = recording.observation;
    if (!seen.session.seen && seen.playerData == 0) {
        return Outcome<Recording>::Failed(
            named + ": holds no DirectPlay session (" + std::to_string(recording.summary.packets) +
            " packets, " + std::to_string(recording.summary.frames) + " DirectPlay frames" +
            (seen.unreadable.count > 0
                 ? ", the first unreadable at " +
                       std::to_string(seen.unreadable.listed.front().place.packet)
                 : std::string()) +
            ")");
    }
    return Outcome<Recording>::Done(std::move(recording));
}

}  // namespace

Outcome<Recording> ReadRecording(const std::filesystem::path& file,
                                 const RecordingOptions& options) {
    Outcome<Recording> read = Observe(
        file.string(), options,
        [&file](const capture::FrameSink& sink) { return capture::ReadCapture(file, sink); });
    if (read.ok()) {
        read.value->file = file;
        read.value->warning = capture::CaptureWarning(file, read.value->summary);
    }
    return read;
}

Outcome<Recording> ReadRecordingBytes(std::span<const uint8_t> bytes,
                                      const RecordingOptions& options) {
    return Observe("the capture", options, [bytes](const capture::FrameSink& sink) {
        return capture::ReadCaptureBytes(bytes, sink);
    });
}

}  // namespace scopewatch::replay
