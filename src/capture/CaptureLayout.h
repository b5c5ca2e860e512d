#pragma once

#include <cstddef>
#include <cstdint>

// Where every field of the packet headers we read and write stands: the link layers of the
// captures we read, IPv4, TCP and UDP. The capture reader reads and the recorder writes by
// these names. Offsets count from the start of their header; the fields of the link layers
// and of IP, TCP and UDP are in network order (the loopback header's family aside).
namespace scopewatch::capture {

// ---- Capture files ------------------------------------------------------------------------

// The first word of a pcapng file (its section header block's type) in either byte order.
inline constexpr uint32_t kPcapngMagic = 0x0A0D0D0A;
// Every pcapng block ends with its total length, in the byte order of its section.
inline constexpr size_t kPcapngTrailerSize = 4;
// A pcap file's record header: seconds, fractions, captured and original lengths.
inline constexpr size_t kPcapRecordHeaderSize = 16;

// ---- Link layers --------------------------------------------------------------------------

namespace ethernet {
inline constexpr size_t kDestination = 0;
inline constexpr size_t kSource = 6;
inline constexpr size_t kType = 12;
inline constexpr size_t kSize = 14;
}  // namespace ethernet

// An 802.1Q or 802.1ad tag between the addresses and the type: the tag, then the next type.
namespace vlan_tag {
inline constexpr size_t kControl = 0;
inline constexpr size_t kType = 2;
inline constexpr size_t kSize = 4;
}  // namespace vlan_tag

namespace ether_type {
inline constexpr uint16_t kIpv4 = 0x0800;
inline constexpr uint16_t kIpv6 = 0x86DD;
inline constexpr uint16_t kVlan = 0x8100;
inline constexpr uint16_t kProviderVlan = 0x88A8;
}  // namespace ether_type

// Linux cooked capture, version 1 (what "any" gives): the packet's direction, the device's
// hardware type, its address, then the protocol as an Ethernet type.
namespace sll {
inline constexpr size_t kPacketType = 0;
inline constexpr size_t kHardwareType = 2;
inline constexpr size_t kAddressLength = 4;
inline constexpr size_t kAddress = 6;
inline constexpr size_t kProtocol = 14;
inline constexpr size_t kSize = 16;
}  // namespace sll

// Linux cooked capture, version 2: the protocol first, the interface, then as version 1.
namespace sll2 {
inline constexpr size_t kProtocol = 0;
inline constexpr size_t kReserved = 2;
inline constexpr size_t kInterface = 4;
inline constexpr size_t kHardwareType = 8;
inline constexpr size_t kPacketType = 10;
inline constexpr size_t kAddressLength = 11;
inline constexpr size_t kAddress = 12;
inline constexpr size_t kSize = 20;
}  // namespace sll2

// A cooked packet of the loopback device going out: an "any" capture holds it again coming in.
inline constexpr uint16_t kLoopbackHardware = 772;  // ARPHRD_LOOPBACK
inline constexpr uint8_t kOutgoingPacket = 4;       // PACKET_OUTGOING

// The BSD loopback header: the address family, in the capturing machine's byte order (null) or
// in network order (loop).
namespace loopback {
inline constexpr size_t kFamily = 0;
inline constexpr size_t kSize = 4;
}  // namespace loopback
inline constexpr uint32_t kInetFamily = 2;
// AF_INET6 on Linux, NetBSD/OpenBSD, FreeBSD and macOS.
inline constexpr uint32_t kInet6Families[] = {10, 24, 28, 30};

// ---- IPv4 ---------------------------------------------------------------------------------

namespace ipv4 {
inline constexpr size_t kVersionAndLength = 0;  // version in the high nibble, words in the low
inline constexpr size_t kService = 1;
inline constexpr size_t kTotalLength = 2;
inline constexpr size_t kIdentification = 4;
inline constexpr size_t kFlagsAndFragment = 6;
inline constexpr size_t kTimeToLive = 8;
inline constexpr size_t kProtocol = 9;
inline constexpr size_t kChecksum = 10;
inline constexpr size_t kSource = 12;
inline constexpr size_t kDestination = 16;
inline constexpr size_t kSize = 20;  // without options

inline constexpr uint8_t kVersion = 4;
inline constexpr uint16_t kDontFragment = 0x4000;
inline constexpr uint16_t kMoreFragments = 0x2000;
inline constexpr uint16_t kFragmentOffsetMask = 0x1FFF;
inline constexpr uint8_t kTcp = 6;
inline constexpr uint8_t kUdp = 17;
inline constexpr uint8_t kDefaultTimeToLive = 64;
}  // namespace ipv4
inline constexpr uint8_t kIpv6Version = 6;

// ---- TCP and UDP --------------------------------------------------------------------------

namespace tcp {
inline constexpr size_t kSourcePort = 0;
inline constexpr size_t kDestinationPort = 2;
inline constexpr size_t kSequence = 4;
inline constexpr size_t kAcknowledgement = 8;
inline constexpr size_t kDataOffset = 12;  // header words in the high nibble
inline constexpr size_t kFlags = 13;
inline constexpr size_t kWindow = 14;
inline constexpr size_t kChecksum = 16;
inline constexpr size_t kUrgent = 18;
inline constexpr size_t kSize = 20;  // without options

inline constexpr uint8_t kFin = 0x01;
inline constexpr uint8_t kSyn = 0x02;
inline constexpr uint8_t kReset = 0x04;
inline constexpr uint8_t kPush = 0x08;
inline constexpr uint8_t kAck = 0x10;
}  // namespace tcp

namespace udp {
inline constexpr size_t kSourcePort = 0;
inline constexpr size_t kDestinationPort = 2;
inline constexpr size_t kLength = 4;
inline constexpr size_t kChecksum = 6;
inline constexpr size_t kSize = 8;
}  // namespace udp

// The largest IPv4 packet, and so the snapshot length of our recordings.
inline constexpr size_t kLargestIpv4Packet = 65535;

}  // namespace scopewatch::capture
