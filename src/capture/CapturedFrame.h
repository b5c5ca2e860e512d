#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scopewatch::capture {

// An IPv4 socket address, in host order.
struct Endpoint {
    uint32_t ip = 0;
    uint16_t port = 0;
    bool operator==(const Endpoint&) const = default;
    auto operator<=>(const Endpoint&) const = default;
};

enum class Carrier : uint8_t { kStream, kDatagram };

// Where a frame is in its capture file: the packet that completed it (1-based, in file order)
// and the byte offset of that packet's record.
struct FilePlace {
    uint64_t packet = 0;
    uint64_t offset = 0;
};

// "packet 12 (byte 3456)"
inline std::string PlaceText(const FilePlace& place) {
    return "packet " + std::to_string(place.packet) + " (byte " + std::to_string(place.offset) +
           ")";
}

// One whole DirectPlay message as a capture saw it go over the wire: over a TCP connection
// (reassembled from its segments) or in a UDP datagram, between two IPv4 endpoints.
struct CapturedFrame {
    int64_t microseconds = 0;  // capture time of the packet that completed it, since 1970
    Carrier carrier = Carrier::kStream;
    Endpoint from;
    Endpoint to;
    std::vector<uint8_t> bytes;  // the framed message, size word first
    FilePlace place;
};

}  // namespace scopewatch::capture
