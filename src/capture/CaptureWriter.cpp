#include "capture/CaptureWriter.h"

#include <algorithm>

#include "capture/CaptureLayout.h"
#include "shared/ByteReader.h"
#include "shared/ByteWriter.h"

namespace scopewatch::capture {

namespace {

constexpr uint16_t kWindow = 65535;
constexpr uint32_t kFirstSequence = 1;
// The most payload one IPv4 packet holds after the two headers we write.
constexpr size_t kLargestSegment = kLargestIpv4Packet - ipv4::kSize - tcp::kSize;

// The one's-complement sum of 16-bit words in network order, the last byte padded.
uint32_t AddWords(const ByteReader& bytes, uint32_t sum) {
    size_t at = 0;
    for (; bytes.Contains(at, sizeof(uint16_t)); at += sizeof(uint16_t)) {
        sum += bytes.NetUInt16At(at);
    }
    if (bytes.Contains(at, 1)) {
        sum += static_cast<uint32_t>(bytes.UInt8At(at)) << 8;
    }
    return sum;
}

uint16_t Folded(uint32_t sum) {
    while ((sum >> 16) != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<uint16_t>(~sum);
}

}  // namespace

std::vector<uint8_t> SynthesizedPacket(Carrier carrier, const Endpoint& from, const Endpoint& to,
                                       std::span<const uint8_t> payload, uint16_t identification,
                                       uint32_t sequence, uint32_t acknowledgement, uint8_t flags) {
    const bool stream = carrier == Carrier::kStream;
    const size_t transportHeader = stream ? tcp::kSize : udp::kSize;
    const size_t transportSize = transportHeader + payload.size();
    // The byte pairs the layout names singly: version and header length with the service,
    // time to live with the protocol.
    const uint8_t protocol = stream ? ipv4::kTcp : ipv4::kUdp;
    ByteWriter ip;
    ip.ZerosTo(ipv4::kSize);
    ip.NetUInt16At(ipv4::kVersionAndLength,
                   static_cast<uint16_t>((ipv4::kVersion << 4 | ipv4::kSize / 4) << 8));
    ip.NetUInt16At(ipv4::kTotalLength, static_cast<uint16_t>(ipv4::kSize + transportSize));
    ip.NetUInt16At(ipv4::kIdentification, identification);
    ip.NetUInt16At(ipv4::kFlagsAndFragment, ipv4::kDontFragment);
    ip.NetUInt16At(ipv4::kTimeToLive,
                   static_cast<uint16_t>(ipv4::kDefaultTimeToLive << 8 | protocol));
    ip.NetUInt32At(ipv4::kSource, from.ip);
    ip.NetUInt32At(ipv4::kDestination, to.ip);
    ip.NetUInt16At(ipv4::kChecksum, Folded(AddWords(ByteReader(ip.bytes()), 0)));

    ByteWriter transport;
    transport.NetUInt16At(stream ? tcp::kSourcePort : udp::kSourcePort, from.port);
    transport.NetUInt16At(stream ? tcp::kDestinationPort : udp::kDestinationPort, to.port);
    if (stream) {
        transport.NetUInt32At(tcp::kSequence, sequence);
        transport.NetUInt32At(tcp::kAcknowledgement, acknowledgement);
        transport.NetUInt16At(tcp::kDataOffset,
                              static_cast<uint16_t>((tcp::kSize / 4) << 12 | flags));
        transport.NetUInt16At(tcp::kWindow, kWindow);
    } else {
        transport.NetUInt16At(udp::kLength, static_cast<uint16_t>(transportSize));
    }
    transport.ZerosTo(transportHeader);
    transport.Bytes(std::vector<uint8_t>(payload.begin(), payload.end()));
    // The checksum covers a pseudo header: the addresses, the protocol and the length.
    uint32_t sum = AddWords(ByteReader(ip.bytes()).Part(ipv4::kSource, 8), 0);
    sum += protocol + static_cast<uint32_t>(transportSize);
    const uint16_t checksum = Folded(AddWords(ByteReader(transport.bytes()), sum));
    // In UDP a checksum of 0 means none: one that comes out 0 is sent as its complement.
    transport.NetUInt16At(stream ? tcp::kChecksum : udp::kChecksum,
                          stream || checksum != 0 ? checksum : 0xFFFF);
    ip.Bytes(transport.bytes());
    return ip.Take();
}

Outcome<std::unique_ptr<CaptureWriter>> CaptureWriter::Create(const std::filesystem::path& file) {
    auto created = PacketFile::Create(file, LinkType::kRawIp);
    if (!created.ok()) {
        return Outcome<std::unique_ptr<CaptureWriter>>::Failed(created.failure);
    }
    return Outcome<std::unique_ptr<CaptureWriter>>::Done(
        std::unique_ptr<CaptureWriter>(new CaptureWriter(std::move(*created.value))));
}

void CaptureWriter::Write(const CapturedFrame& frame) {
    if (frame.carrier == Carrier::kDatagram) {
        WritePacket(frame.microseconds, SynthesizedPacket(Carrier::kDatagram, frame.from, frame.to,
                                                          frame.bytes, ++identification_));
        return;
    }
    if (nextSequence_.count({frame.from, frame.to}) == 0 &&
        nextSequence_.count({frame.to, frame.from}) == 0) {
        WriteHandshake(frame);
    }
    WriteSegments(frame);
}

// The connection's opening as its sender made it: each side's first sequence number taken by
// its SYN.
void CaptureWriter::WriteHandshake(const CapturedFrame& frame) {
    const Endpoint& client = frame.from;
    const Endpoint& server = frame.to;
    const auto send = [&](const Endpoint& from, const Endpoint& to, uint32_t sequence,
                          uint32_t acknowledgement, uint8_t flags) {
        WritePacket(frame.microseconds,
                    SynthesizedPacket(Carrier::kStream, from, to, {}, ++identification_, sequence,
                                      acknowledgement, flags));
    };
    send(client, server, kFirstSequence - 1, 0, tcp::kSyn);
    send(server, client, kFirstSequence - 1, kFirstSequence, tcp::kSyn | tcp::kAck);
    send(client, server, kFirstSequence, kFirstSequence, tcp::kAck);
    nextSequence_[{client, server}] = kFirstSequence;
    nextSequence_[{server, client}] = kFirstSequence;
}

void CaptureWriter::WriteSegments(const CapturedFrame& frame) {
    uint32_t& sequence =
        nextSequence_.try_emplace({frame.from, frame.to}, kFirstSequence).first->second;
    const uint32_t acknowledgement =
        nextSequence_.try_emplace({frame.to, frame.from}, kFirstSequence).first->second;
    const std::span<const uint8_t> bytes(frame.bytes);
    for (size_t at = 0; at < bytes.size(); at += kLargestSegment) {
        const auto segment = bytes.subspan(at, std::min(kLargestSegment, bytes.size() - at));
        WritePacket(frame.microseconds, SynthesizedPacket(Carrier::kStream, frame.from, frame.to,
                                                          segment, ++identification_, sequence,
                                                          acknowledgement, tcp::kPush | tcp::kAck));
        sequence += static_cast<uint32_t>(segment.size());
    }
}

void CaptureWriter::WritePacket(int64_t microseconds, const std::vector<uint8_t>& packet) {
    file_->Write(microseconds, packet);
}

Status CaptureWriter::Flush() {
    return file_->Flush();
}

}  // namespace scopewatch::capture
