#include "capture/CaptureReader.h"

#include <pcap/pcap.h>

#include <QFile>
#include <algorithm>
#include <bit>
#include <cstdio>
#include <limits>
#include <memory>

#include "capture/CaptureLayout.h"
#include "capture/PacketFile.h"
#include "capture/PacketHeaders.h"
#include "capture/StreamReassembly.h"
#include "directplay/DirectPlayCodec.h"
#include "shared/ByteReader.h"
#include "shared/MalformedBytes.h"

namespace scopewatch::capture {

namespace {

std::string HexBytes(const ByteReader& bytes, size_t count) {
    std::string text;
    for (size_t at = 0; at < count && bytes.Contains(at, 1); ++at) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%s%02x", at == 0 ? "" : " ", bytes.UInt8At(at));
        text += hex;
    }
    return text;
}

// A packet's time in microseconds since 1970. A pcapng file can state times that no count of
// microseconds holds: they are held at the ends of its range.
int64_t Microseconds(const timeval& time) {
    constexpr int64_t kPerSecond = 1000000;
    constexpr int64_t kSeconds = std::numeric_limits<int64_t>::max() / kPerSecond - 1;
    return std::clamp<int64_t>(time.tv_sec, -kSeconds, kSeconds) * kPerSecond +
           std::clamp<int64_t>(time.tv_usec, 0, kPerSecond - 1);
}

struct PcapCloser {
    void operator()(pcap_t* capture) const { pcap_close(capture); }
};

// One reading of a capture's bytes.
class CaptureRun {
  public:
    CaptureRun(std::span<const uint8_t> bytes, std::string name, const FrameSink& sink)
        : bytes_(bytes), name_(std::move(name)), sink_(sink) {}

    Outcome<CaptureSummary> Read() {
        if (const Status opened = Open(); !opened.ok()) {
            return Outcome<CaptureSummary>::Failed(opened.failure);
        }
        ReadPackets();
        reassembly_.Finish(streamSink_);
        const ReassemblyCounts& counts = reassembly_.counts();
        summary_.resyncBytes = counts.resyncBytes;
        summary_.gapsSkipped = counts.gapsSkipped;
        summary_.oversizedFrames = counts.oversizedFrames;
        summary_.streamsDropped = counts.streamsDropped;
        return Outcome<CaptureSummary>::Done(std::move(summary_));
    }

  private:
    Status Open();
    void ReadPackets();
    // Where the record just read starts: pcap records follow each other, a pcapng block
    // ends with its own length (other blocks may come before it).
    uint64_t RecordStart(long before, long after) const;
    void OnPacket(const pcap_pkthdr& header, const uint8_t* data);
    void OnDatagram(const Packet& packet);
    void Emit(Carrier carrier, const Endpoint& from, const Endpoint& to,
              std::vector<uint8_t>&& bytes);

    void Problem(const std::string& text) {
        if (summary_.problems.size() < kKeptProblems) {
            summary_.problems.push_back({place_, text});
        }
        ++summary_.problemCount;
    }

    std::span<const uint8_t> bytes_;
    std::string name_;
    const FrameSink& sink_;
    std::unique_ptr<pcap_t, PcapCloser> capture_;
    FILE* file_ = nullptr;  // owned by capture_
    LinkType link_ = LinkType::kEthernet;
    bool pcapng_ = false;
    bool bigEndianBlocks_ = false;
    StreamReassembly reassembly_;
    const StreamReassembly::Sink streamSink_ = [this](const Endpoint& from, const Endpoint& to,
                                                      std::vector<uint8_t>&& frame) {
        Emit(Carrier::kStream, from, to, std::move(frame));
    };
    CaptureSummary summary_;
    FilePlace place_;  // of the packet being read
    int64_t microseconds_ = 0;
};

Status CaptureRun::Open() {
    const ByteReader start(bytes_.data(), bytes_.size());
    if (!start.Contains(0, sizeof(uint32_t))) {
        return Status::Failed(name_ + " is not a capture file: it holds " +
                              std::to_string(bytes_.size()) + " bytes");
    }
    const uint32_t magic = start.UInt32At(0);
    pcapng_ = magic == kPcapngMagic;
    // fmemopen does not write through a stream opened for reading.
    file_ = fmemopen(const_cast<uint8_t*>(bytes_.data()), bytes_.size(), "rb");
    if (file_ == nullptr) {
        return Status::Failed(name_ + " cannot be read from memory");
    }
    char error[PCAP_ERRBUF_SIZE] = {};
    capture_.reset(
        pcap_fopen_offline_with_tstamp_precision(file_, PCAP_TSTAMP_PRECISION_MICRO, error));
    if (!capture_) {
        fclose(file_);
        const bool known = pcapng_ || magic == 0xA1B2C3D4 || magic == 0xD4C3B2A1 ||
                           magic == 0xA1B23C4D || magic == 0x4D3CB2A1;
        return Status::Failed(
            known ? name_ + " cannot be read at its start: " + error
                  : name_ + " is neither a pcap nor a pcapng capture (it begins with " +
                        HexBytes(start, 8) + ")");
    }
    const int dataLink = pcap_datalink(capture_.get());
    const auto link = LinkTypeOfDataLink(dataLink);
    if (!link) {
        const char* linkName = pcap_datalink_val_to_name(dataLink);
        return Status::Failed(name_ + " has link type " + std::to_string(dataLink) +
                              (linkName != nullptr ? std::string(" (") + linkName + ")" : "") +
                              ", which we do not read: we read Ethernet, Linux cooked, "
                              "BSD loopback and raw IP captures");
    }
    link_ = *link;
    summary_.format = pcapng_ ? "pcapng" : "pcap";
    summary_.linkType = LinkTypeName(link_);
    bigEndianBlocks_ =
        (std::endian::native == std::endian::big) == (pcap_is_swapped(capture_.get()) == 0);
    return Status::Done();
}

void CaptureRun::ReadPackets() {
    for (;;) {
        const long before = ftell(file_);
        pcap_pkthdr* header = nullptr;
        const u_char* data = nullptr;
        const int read = pcap_next_ex(capture_.get(), &header, &data);
        if (read == PCAP_ERROR_BREAK) {
            return;  // the end of the file
        }
        if (read != 1) {
            // Frames still to come (behind holes given up at the end) keep the last packet's.
            const FilePlace stop{summary_.packets + 1, static_cast<uint64_t>(before)};
            const std::string error = pcap_geterr(capture_.get());
            if (error.find("truncated") != std::string::npos) {
                summary_.cutShort = stop;
            } else {
                summary_.unreadable = CaptureProblem{stop, error};
            }
            return;
        }
        place_ = {summary_.packets + 1, RecordStart(before, ftell(file_))};
        OnPacket(*header, data);
    }
}

uint64_t CaptureRun::RecordStart(long before, long after) const {
    if (!pcapng_) {
        return static_cast<uint64_t>(before);
    }
    const ByteReader bytes(bytes_.data(), bytes_.size());
    const size_t end = static_cast<size_t>(after);
    if (end < kPcapngTrailerSize || !bytes.Contains(end - kPcapngTrailerSize, kPcapngTrailerSize)) {
        return static_cast<uint64_t>(before);
    }
    const size_t trailer = end - kPcapngTrailerSize;
    const uint32_t length = bigEndianBlocks_ ? bytes.NetUInt32At(trailer) : bytes.UInt32At(trailer);
    return length <= end - static_cast<size_t>(before) ? end - length
                                                       : static_cast<uint64_t>(before);
}

void CaptureRun::OnPacket(const pcap_pkthdr& header, const uint8_t* data) {
    ++summary_.packets;
    microseconds_ = Microseconds(header.ts);
    summary_.firstMicroseconds = summary_.firstMicroseconds.value_or(microseconds_);
    summary_.lastMicroseconds = microseconds_;
    Packet packet;
    try {
        packet = ReadPacket(link_, std::span<const uint8_t>(data, header.caplen));
    } catch (const MalformedBytes& malformed) {
        ++summary_.otherPackets;
        Problem(std::string("unreadable headers: ") + malformed.what());
        return;
    }
    switch (packet.kind) {
        case PacketKind::kFragment:
            ++summary_.ipv4Fragments;
            return;
        case PacketKind::kIpv6:
            ++summary_.ipv6Packets;
            return;
        case PacketKind::kLoopbackCopy:
            ++summary_.loopbackCopies;
            return;
        case PacketKind::kOther:
            ++summary_.otherPackets;
            return;
        case PacketKind::kUdp:
            OnDatagram(packet);
            return;
        case PacketKind::kTcp:
            break;
    }
    if (packet.missingBytes > 0) {
        Problem("the capture kept " + std::to_string(packet.payload.size()) + " of the " +
                std::to_string(packet.payload.size() + packet.missingBytes) +
                " bytes of a TCP segment");
    }
    reassembly_.Add({packet.from, packet.to, packet.sequence, packet.flags, packet.payload},
                    streamSink_);
}

// A datagram carries one frame, perhaps padded after it.
void CaptureRun::OnDatagram(const Packet& packet) {
    const ByteReader datagram(packet.payload.data(), packet.payload.size());
    if (datagram.Contains(0, sizeof(uint32_t))) {
        const auto size = directplay::FrameSize(datagram.UInt32At(0));
        if (size && *size <= packet.payload.size()) {
            Emit(Carrier::kDatagram, packet.from, packet.to,
                 std::vector<uint8_t>(packet.payload.begin(),
                                      packet.payload.begin() + static_cast<long>(*size)));
            return;
        }
    }
    ++summary_.otherPackets;
}

void CaptureRun::Emit(Carrier carrier, const Endpoint& from, const Endpoint& to,
                      std::vector<uint8_t>&& bytes) {
    ++summary_.frames;
    ++(carrier == Carrier::kStream ? summary_.tcpFrames : summary_.udpFrames);
    if (sink_) {
        sink_(CapturedFrame{microseconds_, carrier, from, to, std::move(bytes), place_});
    }
}

}  // namespace

Outcome<CaptureSummary> ReadCapture(const std::filesystem::path& file, const FrameSink& sink) {
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly)) {
        return Outcome<CaptureSummary>::Failed(
            file.string() + " cannot be opened: " + in.errorString().toStdString());
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        // A device or a pipe might never end.
        return Outcome<CaptureSummary>::Failed(file.string() +
                                               " is not a capture file: it is no regular file");
    }
    const qint64 size = in.size();
    if (const uchar* mapped = size > 0 ? in.map(0, size) : nullptr) {
        return CaptureRun({mapped, static_cast<size_t>(size)}, file.string(), sink).Read();
    }
    const QByteArray bytes = in.readAll();  // an empty file, or one that cannot be mapped
    return CaptureRun({reinterpret_cast<const uint8_t*>(bytes.constData()),
                       static_cast<size_t>(bytes.size())},
                      file.string(), sink)
        .Read();
}

Outcome<CaptureSummary> ReadCaptureBytes(std::span<const uint8_t> bytes, const FrameSink& sink) {
    return CaptureRun(bytes, "the capture", sink).Read();
}

std::optional<std::string> CaptureWarning(const std::filesystem::path& file,
                                          const CaptureSummary& summary) {
    const std::string name = file.string();
    const std::string before =
        "; the " + std::to_string(summary.packets) + " packets before it are read";
    if (summary.cutShort) {
        return name + " ends inside " + PlaceText(*summary.cutShort) +
               ", as a recording cut off by a crash does" + before;
    }
    if (summary.unreadable) {
        return name + ": " + PlaceText(summary.unreadable->place) + " cannot be read (" +
               summary.unreadable->text + ")" + before;
    }
    if (summary.frames == 0) {
        return name + " holds no DirectPlay frame in its " + std::to_string(summary.packets) +
               " packets";
    }
    return std::nullopt;
}

}  // namespace scopewatch::capture
