// The capture reader on arbitrary bytes, as a capture file someone sends us: libpcap's reader,
// the link layers, IPv4, TCP and UDP, and the stream reassembly. Every frame handed on is whole
// (its size word gives its length), and the summary adds up. Then the same bytes as TCP segments
// of a few streams fed to a reassembly with small limits, which must stay within them.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "capture/CaptureLayout.h"
#include "capture/CaptureReader.h"
#include "capture/StreamReassembly.h"
#include "directplay/DirectPlayCodec.h"
#include "shared/ByteReader.h"

namespace scopewatch::fuzzing {
namespace {

using namespace scopewatch::capture;

bool Whole(const std::vector<uint8_t>& frame) {
    const ByteReader bytes(frame);
    const auto size =
        bytes.Contains(0, 4) ? directplay::FrameSize(bytes.UInt32At(0)) : std::nullopt;
    return size && *size == frame.size();
}

void ReadAsCapture(const uint8_t* data, size_t size) {
    uint64_t frames = 0;
    const auto read = ReadCaptureBytes({data, size}, [&](const CapturedFrame& frame) {
        Require(Whole(frame.bytes), "a frame handed on is whole");
        ++frames;
    });
    Require(read.ok() != !read.failure.empty(), "a capture is either read or refused");
    if (read.ok()) {
        const CaptureSummary& summary = *read.value;
        Require(summary.frames == frames && frames == summary.tcpFrames + summary.udpFrames,
                "the summary counts the frames handed on");
        Require(summary.problems.size() <= kKeptProblems, "the problems kept are bounded");
        CaptureWarning("fuzzed.pcap", summary);
    }
}

// Records of a direction byte (two streams each way), flags, a 32-bit sequence number, a
// length byte and that many payload bytes.
void ReadAsSegments(const uint8_t* data, size_t size) {
    const ReassemblyLimits limits{512, 8, 2048, 3};
    StreamReassembly reassembly(limits);
    const ByteReader input(data, size);
    const Endpoint ends[] = {{1, 2300}, {2, 2301}, {3, 2302}};
    size_t at = 0;
    while (input.Contains(at, 7)) {
        const uint8_t direction = input.UInt8At(at);
        const size_t length = input.UInt8At(at + 6);
        const size_t available = std::min(length, input.size() - at - 7);
        TcpSegment segment{ends[direction % 3], ends[(direction / 3 + 1 + direction % 3) % 3],
                           input.UInt32At(at + 2), input.UInt8At(at + 1),
                           std::span<const uint8_t>(data + at + 7, available)};
        reassembly.Add(segment, [](const Endpoint&, const Endpoint&, std::vector<uint8_t>&& frame) {
            Require(Whole(frame), "a reassembled frame is whole");
        });
        Require(reassembly.streamCount() <= limits.streams, "the streams are bounded");
        Require(reassembly.heldBytes() <=
                    limits.totalBytes + directplay::kMaxMessageSize + limits.waitingBytes + 255,
                "the bytes held are bounded");
        at += 7 + available;
    }
    reassembly.Finish([](const Endpoint&, const Endpoint&, std::vector<uint8_t>&& frame) {
        Require(Whole(frame), "a frame given after the end is whole");
    });
}

}  // namespace
}  // namespace scopewatch::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    scopewatch::fuzzing::ReadAsCapture(data, size);
    scopewatch::fuzzing::ReadAsSegments(data, size);
    return 0;
}
