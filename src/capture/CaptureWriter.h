#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "capture/CapturedFrame.h"
#include "capture/PacketFile.h"
#include "shared/Outcome.h"

namespace scopewatch::capture {

// Writes DirectPlay frames into a pcap file through libpcap's own writer, each in a packet
// made for it (link type raw IPv4) between the frame's real endpoints, so that Wireshark reads
// it as the traffic it was:
// - a frame of a connection is one TCP segment (PSH, ACK), or several for a frame larger than
//   an IPv4 packet holds; the sequence numbers run on per direction, each segment acknowledging
//   what the other direction has sent; the first frame between two endpoints is preceded by a
//   handshake (SYN, SYN-ACK, ACK) from its sender, which opened the connection to send it;
// - a datagram's frame is one UDP datagram.
// The checksums are correct. Nothing is flushed but by Flush and Close.
class CaptureWriter {
  public:
    // Creates the file (over one that exists) and writes the pcap file header.
    static Outcome<std::unique_ptr<CaptureWriter>> Create(const std::filesystem::path& file);
    CaptureWriter(const CaptureWriter&) = delete;
    CaptureWriter& operator=(const CaptureWriter&) = delete;

    void Write(const CapturedFrame& frame);
    // Hands what is buffered to the system; fails (with the system's reason) when the file
    // cannot take it, as on a full disk. Writes that failed before fail it too.
    Status Flush();

    const std::filesystem::path& file() const { return file_->file(); }
    uint64_t bytesWritten() const { return file_->bytesWritten(); }

  private:
    explicit CaptureWriter(std::unique_ptr<PacketFile> file) : file_(std::move(file)) {}
    using Direction = std::pair<Endpoint, Endpoint>;
    void WriteSegments(const CapturedFrame& frame);
    void WriteHandshake(const CapturedFrame& frame);
    void WritePacket(int64_t microseconds, const std::vector<uint8_t>& packet);

    std::unique_ptr<PacketFile> file_;
    std::map<Direction, uint32_t> nextSequence_;
    uint16_t identification_ = 0;
};

// One synthesized IPv4 packet holding a TCP segment or a UDP datagram (sequence, acknowledgement
// and flags for TCP only), checksums filled in.
std::vector<uint8_t> SynthesizedPacket(Carrier carrier, const Endpoint& from, const Endpoint& to,
                                       std::span<const uint8_t> payload, uint16_t identification,
                                       uint32_t sequence = 0, uint32_t acknowledgement = 0,
                                       uint8_t flags = 0);

}  // namespace scopewatch::capture
