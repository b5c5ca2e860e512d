#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "capture/CapturedFrame.h"

namespace scopewatch::capture {

// The link layers whose packets we read.
enum class LinkType : uint8_t {
    kEthernet,
    kLinuxCooked,   // version 1
    kLinuxCooked2,  // version 2
    kNull,          // BSD loopback, family in the capturing machine's byte order
    kLoop,          // BSD loopback, family in network order
    kRawIp,         // IPv4 or IPv6 without a link header
};

const char* LinkTypeName(LinkType type);

// What a packet is to us.
enum class PacketKind : uint8_t {
    kTcp,
    kUdp,
    kFragment,      // a fragment of an IPv4 packet: passed over
    kIpv6,          // passed over
    kLoopbackCopy,  // the outgoing copy of a loopback packet in a Linux "any" capture
    kOther,
};

// One packet's IPv4 endpoints and its TCP or UDP payload. The payload points into the packet.
struct Packet {
    PacketKind kind = PacketKind::kOther;
    Endpoint from;
    Endpoint to;
    uint32_t sequence = 0;  // TCP
    uint8_t flags = 0;      // TCP
    std::span<const uint8_t> payload;
    // Payload bytes the IPv4 header announces but the capture did not keep (a short snapshot
    // length).
    size_t missingBytes = 0;
};

// Reads the headers of a captured packet: the link layer, IPv4, then TCP or UDP. The IPv4 total
// length ends the packet (an Ethernet frame may be padded after it). Throws MalformedBytes
// naming the header and the byte when a header is cut off or contradicts itself.
Packet ReadPacket(LinkType link, std::span<const uint8_t> bytes);

}  // namespace scopewatch::capture
