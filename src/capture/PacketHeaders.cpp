#include "capture/PacketHeaders.h"

#include <algorithm>
#include <iterator>

#include "capture/CaptureLayout.h"
#include "shared/ByteReader.h"

namespace scopewatch::capture {

const char* LinkTypeName(LinkType type) {
    switch (type) {
        case LinkType::kEthernet:
            return "Ethernet";
        case LinkType::kLinuxCooked:
            return "Linux cooked v1";
        case LinkType::kLinuxCooked2:
            return "Linux cooked v2";
        case LinkType::kNull:
            return "BSD loopback (null)";
        case LinkType::kLoop:
            return "BSD loopback (loop)";
        case LinkType::kRawIp:
            return "raw IP";
    }
    return "unknown";
}

namespace {

// Where the network layer starts, and which one it is.
struct NetworkLayer {
    PacketKind kindUnlessIpv4 = PacketKind::kOther;  // kOther with ipv4 set means IPv4
    bool ipv4 = false;
    size_t at = 0;
};

NetworkLayer ByEtherType(uint16_t type, size_t at) {
    if (type == ether_type::kIpv4) {
        return {PacketKind::kOther, true, at};
    }
    return {type == ether_type::kIpv6 ? PacketKind::kIpv6 : PacketKind::kOther, false, at};
}

NetworkLayer AfterEthernet(const ByteReader& frame) {
    size_t at = ethernet::kType;
    uint16_t type = frame.NetUInt16At(at);
    // At most two tags (802.1ad outside, 802.1Q inside).
    for (int tags = 0; tags < 2 && (type == ether_type::kVlan || type == ether_type::kProviderVlan);
         ++tags) {
        at += vlan_tag::kSize;
        type = frame.NetUInt16At(at);
    }
    return ByEtherType(type, at + sizeof(uint16_t));
}

// An "any" capture sees a loopback packet going out and again coming in: the first is passed
// over.
NetworkLayer AfterCooked(const ByteReader& frame, size_t hardwareType, size_t packetType,
                         uint8_t direction, size_t protocol, size_t size) {
    if (frame.NetUInt16At(hardwareType) == kLoopbackHardware && direction == kOutgoingPacket) {
        frame.Require(packetType, 1, "the cooked header");
        return {PacketKind::kLoopbackCopy, false, size};
    }
    frame.Require(0, size, "the cooked header");
    return ByEtherType(frame.NetUInt16At(protocol), size);
}

NetworkLayer ByFamily(uint32_t family) {
    if (family == kInetFamily) {
        return {PacketKind::kOther, true, loopback::kSize};
    }
    const bool inet6 = std::find(std::begin(kInet6Families), std::end(kInet6Families), family) !=
                       std::end(kInet6Families);
    return {inet6 ? PacketKind::kIpv6 : PacketKind::kOther, false, loopback::kSize};
}

// The null header's family is in the byte order of the machine that captured: a value that
// only fits the other order is read swapped.
NetworkLayer AfterNull(const ByteReader& frame) {
    uint32_t family = frame.UInt32At(loopback::kFamily);
    if ((family & 0xFFFF) == 0) {
        family = frame.NetUInt32At(loopback::kFamily);
    }
    return ByFamily(family);
}

NetworkLayer AfterRaw(const ByteReader& frame) {
    const uint8_t version = frame.UInt8At(0) >> 4;
    if (version == ipv4::kVersion) {
        return {PacketKind::kOther, true, 0};
    }
    return {version == kIpv6Version ? PacketKind::kIpv6 : PacketKind::kOther, false, 0};
}

NetworkLayer FindNetworkLayer(LinkType link, const ByteReader& frame) {
    switch (link) {
        case LinkType::kEthernet:
            return AfterEthernet(frame);
        case LinkType::kLinuxCooked:
            return AfterCooked(frame, sll::kHardwareType, sll::kPacketType,
                               static_cast<uint8_t>(frame.NetUInt16At(sll::kPacketType)),
                               sll::kProtocol, sll::kSize);
        case LinkType::kLinuxCooked2:
            return AfterCooked(frame, sll2::kHardwareType, sll2::kPacketType,
                               frame.UInt8At(sll2::kPacketType), sll2::kProtocol, sll2::kSize);
        case LinkType::kNull:
            return AfterNull(frame);
        case LinkType::kLoop:
            return ByFamily(frame.NetUInt32At(loopback::kFamily));
        case LinkType::kRawIp:
            return AfterRaw(frame);
    }
    return {};
}

// Each gives the size of its header.
size_t ReadTcp(const ByteReader& transport, Packet& packet) {
    transport.Require(0, tcp::kSize, "the TCP header");
    packet.kind = PacketKind::kTcp;
    packet.from.port = transport.NetUInt16At(tcp::kSourcePort);
    packet.to.port = transport.NetUInt16At(tcp::kDestinationPort);
    packet.sequence = transport.NetUInt32At(tcp::kSequence);
    packet.flags = transport.UInt8At(tcp::kFlags);
    const size_t headerSize = size_t{4} * (transport.UInt8At(tcp::kDataOffset) >> 4);
    if (headerSize < tcp::kSize) {
        transport.Refuse(tcp::kDataOffset, "a TCP header of at least 20 bytes");
    }
    transport.Require(0, headerSize, "the TCP header");
    return headerSize;
}

size_t ReadUdp(const ByteReader& transport, Packet& packet) {
    transport.Require(0, udp::kSize, "the UDP header");
    packet.kind = PacketKind::kUdp;
    packet.from.port = transport.NetUInt16At(udp::kSourcePort);
    packet.to.port = transport.NetUInt16At(udp::kDestinationPort);
    return udp::kSize;
}

// The IPv4 packet from `at` on: its addresses and its TCP or UDP header and payload.
Packet ReadIpv4(std::span<const uint8_t> bytes, size_t at) {
    const ByteReader ip = ByteReader(bytes.data(), bytes.size()).From(at, "the IPv4 header");
    const uint8_t versionAndLength = ip.UInt8At(ipv4::kVersionAndLength);
    const size_t headerSize = size_t{4} * (versionAndLength & 0x0F);
    if ((versionAndLength >> 4) != ipv4::kVersion || headerSize < ipv4::kSize) {
        ip.Refuse(ipv4::kVersionAndLength, "an IPv4 header of at least 20 bytes");
    }
    ip.Require(0, headerSize, "the IPv4 header");
    Packet packet;
    packet.from.ip = ip.NetUInt32At(ipv4::kSource);
    packet.to.ip = ip.NetUInt32At(ipv4::kDestination);
    const uint16_t fragment = ip.NetUInt16At(ipv4::kFlagsAndFragment);
    if ((fragment & (ipv4::kMoreFragments | ipv4::kFragmentOffsetMask)) != 0) {
        packet.kind = PacketKind::kFragment;
        return packet;
    }
    // A total length of 0 is what a sender's own capture shows for a segment the network card
    // cuts up: the captured length counts then.
    size_t total = ip.NetUInt16At(ipv4::kTotalLength);
    total = total == 0 ? ip.size() : total;
    if (total < headerSize) {
        ip.Refuse(ipv4::kTotalLength, "a total length covering the IPv4 header");
    }
    const size_t kept = std::min(total, ip.size());
    const ByteReader transport = ip.Part(headerSize, kept - headerSize);
    size_t transportHeader = 0;
    const uint8_t protocol = ip.UInt8At(ipv4::kProtocol);
    if (protocol == ipv4::kTcp) {
        transportHeader = ReadTcp(transport, packet);
    } else if (protocol == ipv4::kUdp) {
        transportHeader = ReadUdp(transport, packet);
    } else {
        return packet;
    }
    const size_t payloadAt = at + headerSize + transportHeader;
    packet.payload = bytes.subspan(payloadAt, at + kept - payloadAt);
    packet.missingBytes = total - kept;
    return packet;
}

}  // namespace

Packet ReadPacket(LinkType link, std::span<const uint8_t> bytes) {
    const ByteReader frame(bytes.data(), bytes.size());
    const NetworkLayer network = FindNetworkLayer(link, frame);
    if (!network.ipv4) {
        Packet packet;
        packet.kind = network.kindUnlessIpv4;
        return packet;
    }
    return ReadIpv4(bytes, network.at);
}

}  // namespace scopewatch::capture
