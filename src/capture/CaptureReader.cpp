#include "capture/CaptureReader.h"

namespace scopewatch::capture {

Outcome<CaptureSummary> ReadCapture(const std::filesystem::path& file, const FrameSink&) {
    return Outcome<CaptureSummary>::Failed(file.string() + ": capture files cannot be read yet");
}

Outcome<CaptureSummary> ReadCaptureBytes(std::span<const uint8_t>, const FrameSink&) {
    return Outcome<CaptureSummary>::Failed("the capture cannot be read yet");
}

std::optional<std::string> CaptureWarning(const std::filesystem::path&, const CaptureSummary&) {
    return std::nullopt;
}

}  // namespace scopewatch::capture
