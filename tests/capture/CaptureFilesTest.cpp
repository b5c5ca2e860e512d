// The capture reader over files: each case of tests/data/capture/inputs/ (written by
// scopewatch-fuzz-seeds --capture-cases, and real captures of loopback sessions made with
// tshark) gives the frames and the summary its text in tests/data/capture/frames/ lists.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>

#include "capture/CaptureReader.h"
#include "directplay/DirectPlayCodec.h"
#include "support/Golden.h"

namespace scopewatch::capture {
namespace {

std::string EndpointText(const Endpoint& end) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u:%u", end.ip >> 24, (end.ip >> 16) & 0xFF,
                  (end.ip >> 8) & 0xFF, end.ip & 0xFF, end.port);
    return text;
}

// Offsets in hexadecimal: the port numbers of the socket tests are decimal numbers of their own.
std::string HexPlaceText(const FilePlace& place) {
    char text[48];
    std::snprintf(text, sizeof text, "packet %" PRIu64 " @0x%" PRIx64, place.packet, place.offset);
    return text;
}

std::string FrameText(const CapturedFrame& frame, int64_t start) {
    char time[32];
    std::snprintf(time, sizeof time, "+%.6f",
                  (static_cast<double>(frame.microseconds) - static_cast<double>(start)) / 1e6);
    const auto decoded = directplay::Decode(frame.bytes);
    return HexPlaceText(frame.place) + " " + time +
           (frame.carrier == Carrier::kStream ? " tcp " : " udp ") + EndpointText(frame.from) +
           " > " + EndpointText(frame.to) + " " + std::to_string(frame.bytes.size()) + " bytes: " +
           (decoded.ok() ? directplay::Describe(*decoded.value) : "unread, " + decoded.failure) +
           "\n";
}

std::string SummaryText(const CaptureSummary& s) {
    const auto count = [](const char* name, uint64_t value) {
        return std::string(name) + " " + std::to_string(value);
    };
    std::string text = s.format + ", " + s.linkType + "\n" + count("packets", s.packets) + ", " +
                       count("frames", s.frames) + " (" + count("tcp", s.tcpFrames) + ", " +
                       count("udp", s.udpFrames) + ")\n" +
                       "passed over: " + count("fragments", s.ipv4Fragments) + ", " +
                       count("ipv6", s.ipv6Packets) + ", " + count("other", s.otherPackets) + ", " +
                       count("loopback copies", s.loopbackCopies) + "\n" +
                       "streams: " + count("resync bytes", s.resyncBytes) + ", " +
                       count("holes skipped", s.gapsSkipped) + ", " +
                       count("oversized frames", s.oversizedFrames) + ", " +
                       count("dropped", s.streamsDropped) + "\n";
    for (const CaptureProblem& problem : s.problems) {
        text += "problem at " + HexPlaceText(problem.place) + ": " + problem.text + "\n";
    }
    if (s.cutShort) {
        text += "cut short at " + HexPlaceText(*s.cutShort) + "\n";
    }
    if (s.unreadable) {
        text +=
            "unreadable at " + HexPlaceText(s.unreadable->place) + ": " + s.unreadable->text + "\n";
    }
    return text;
}

TEST(CaptureFiles, EveryCaseGivesItsFramesAndSaysWhatItPassedOver) {
    const std::vector<std::string> inputs = testing::GoldenFilesIn("capture/inputs");
    ASSERT_GE(inputs.size(), 21u);
    for (const std::string& input : inputs) {
        const std::filesystem::path file = testing::GoldenPath(input);
        std::vector<CapturedFrame> frames;
        const auto read =
            ReadCapture(file, [&](const CapturedFrame& frame) { frames.push_back(frame); });
        std::string text;
        if (read.ok()) {
            for (const CapturedFrame& frame : frames) {
                text += FrameText(frame, read.value->firstMicroseconds.value_or(0));
            }
            text += SummaryText(*read.value);
            const auto warning = CaptureWarning(file.filename(), *read.value);
            text += warning ? "warning: " + *warning + "\n" : "";
        } else {
            ASSERT_EQ(read.failure.find(file.string()), 0u) << read.failure;  // names the file
            text = "failed: " + read.failure.substr(file.parent_path().string().size() + 1) + "\n";
        }
        const std::string name = file.stem().string();
        testing::ExpectTextMatchesGolden(text, "capture/frames/" + name + ".txt",
                                         "what " + file.filename().string() + " gives");
    }
}

// What is no file to read says so at once, and one that never ends is not read at all.
TEST(CaptureFiles, AMissingFileOrADeviceIsRefusedAtOnce) {
    EXPECT_EQ(ReadCapture("/nowhere/session.pcap", {}).failure,
              "/nowhere/session.pcap cannot be opened: No such file or directory");
    EXPECT_EQ(ReadCapture("/dev/zero", {}).failure,
              "/dev/zero is not a capture file: it is no regular file");
}

}  // namespace
}  // namespace scopewatch::capture
