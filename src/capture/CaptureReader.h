#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "capture/CapturedFrame.h"
#include "shared/Outcome.h"

// Reading the DirectPlay frames out of a packet capture (pcap or pcapng, as tcpdump, Wireshark
// and tshark write them, and as our recordings are).
namespace scopewatch::capture {

using FrameSink = std::function<void(const CapturedFrame&)>;

// Something in a capture that could not be read as it should: where it is and what it was.
struct CaptureProblem {
    FilePlace place;
    std::string text;
};

// What a capture held beyond its frames.
struct CaptureSummary {
    std::string format;    // "pcap" or "pcapng"
    std::string linkType;  // "Ethernet", "Linux cooked v1" ...

    uint64_t packets = 0;  // every packet record read
    uint64_t frames = 0;   // whole DirectPlay frames handed on
    uint64_t tcpFrames = 0;
    uint64_t udpFrames = 0;
    uint64_t ipv4Fragments = 0;  // fragmented IPv4 packets passed over
    uint64_t ipv6Packets = 0;    // passed over
    uint64_t otherPackets = 0;   // neither TCP nor UDP over IPv4, or unreadable headers
    // Loopback packets a Linux "any" capture holds twice (once going out, once coming in): the
    // outgoing copy is passed over.
    uint64_t loopbackCopies = 0;
    // Bytes of TCP streams passed over: to find the next frame after a gap, a bad size word or
    // the start of a capture taken mid-stream (resynchronising), and before the first frame of
    // a stream that never held one.
    uint64_t resyncBytes = 0;
    uint64_t gapsSkipped = 0;      // holes in a TCP stream that never filled
    uint64_t oversizedFrames = 0;  // frames above the size we keep, passed over whole
    uint64_t streamsDropped = 0;   // stream states given up to stay within the memory bound

    // The first problems met, in file order (at most kKeptProblems), and how many there were.
    std::vector<CaptureProblem> problems;
    uint64_t problemCount = 0;

    std::optional<int64_t> firstMicroseconds;  // time of the first and the last packet
    std::optional<int64_t> lastMicroseconds;

    // Set when the file ends inside a record (a recording cut off by a crash): where that
    // record starts. What came before is read.
    std::optional<FilePlace> cutShort;
    // Set when a record cannot be read (a corrupt length): reading stopped there, what came
    // before is read.
    std::optional<CaptureProblem> unreadable;
};

inline constexpr size_t kKeptProblems = 100;

// Reads a pcap or pcapng file in file order, handing every whole DirectPlay frame to the sink
// as soon as the packet that completes it is read. Fails, with one message naming the file and
// where it went wrong, when the file cannot be opened, is not pcap or pcapng, or has a link type
// we do not read. A file cut short or corrupt further on is read up to there (see cutShort and
// unreadable).
Outcome<CaptureSummary> ReadCapture(const std::filesystem::path& file, const FrameSink& sink);
// The same over bytes in memory (tests, fuzzing); messages name the bytes "the capture".
Outcome<CaptureSummary> ReadCaptureBytes(std::span<const uint8_t> bytes, const FrameSink& sink);

// The one line to tell a person about a capture that was read but not whole or held no
// DirectPlay: cut short, stopped at an unreadable record, or without a single frame. Nothing
// for a capture read whole that held frames.
std::optional<std::string> CaptureWarning(const std::filesystem::path& file,
                                          const CaptureSummary& summary);

}  // namespace scopewatch::capture
