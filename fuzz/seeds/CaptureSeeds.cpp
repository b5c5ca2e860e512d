#include "CaptureSeeds.h"

#include <QProcess>
#include <QStringList>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "capture/CaptureLayout.h"
#include "capture/CaptureWriter.h"
#include "capture/PacketFile.h"
#include "directplay/DirectPlayCodec.h"
#include "shared/ByteReader.h"
#include "shared/ByteWriter.h"

namespace scopewatch::fuzzing {
namespace {

using namespace scopewatch::capture;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

constexpr int64_t kStart = 1767225600000000;  // 2026-01-01 00:00:00 UTC
constexpr int64_t kPacketSpacing = 10000;     // 10 ms
const Endpoint kJoiner{0x0A000001, 2300};     // 10.0.0.1
const Endpoint kHost{0x0A000002, 2301};       // 10.0.0.2
const Endpoint kThird{0x0A000003, 2302};      // 10.0.0.3

// ---- DirectPlay frames, as our codec writes them -------------------------------------------

Bytes RequestId() {
    return directplay::Encode(directplay::RequestPlayerId{0x9}, {2300, 0}, 14);
}
Bytes Data(uint32_t from, size_t payload, uint8_t fill) {
    return directplay::EncodePlayerData({2300, 0}, from, 0x100, Bytes(payload, fill));
}
Bytes PingFrame(uint32_t from) {
    return directplay::Encode(directplay::Ping{from, 1234, false}, {2301, 0}, 14);
}
Bytes Joined(std::initializer_list<Bytes> parts) {
    ByteWriter all;
    for (const Bytes& part : parts) {
        all.Bytes(part);
    }
    return all.Take();
}
Bytes Slice(const Bytes& bytes, size_t from, size_t count) {
    return ByteReader(bytes).BytesAt(from, count);
}

// ---- Packets -------------------------------------------------------------------------------

// The link layer's header in front of a network packet of the Ethernet type given.
Bytes Framed(LinkType link, const Bytes& packet, uint16_t type = ether_type::kIpv4,
             uint16_t hardware = 1, uint8_t direction = 0) {
    const bool ipv6 = type == ether_type::kIpv6;
    ByteWriter header;
    switch (link) {
        case LinkType::kEthernet:
            header.Bytes(Bytes{0x02, 0, 0, 0, 0, 0x02, 0x02, 0, 0, 0, 0, 0x01});
            header.NetUInt16At(ethernet::kType, type);
            break;
        case LinkType::kLinuxCooked:
            header.NetUInt16At(sll::kPacketType, direction);
            header.NetUInt16At(sll::kHardwareType, hardware);
            header.NetUInt16At(sll::kAddressLength, 6);
            header.NetUInt16At(sll::kProtocol, type);
            break;
        case LinkType::kLinuxCooked2:
            header.NetUInt16At(sll2::kProtocol, type);
            header.NetUInt32At(sll2::kInterface, 2);
            header.NetUInt16At(sll2::kHardwareType, hardware);
            header.NetUInt16At(sll2::kPacketType, static_cast<uint16_t>(direction << 8 | 6));
            header.ZerosTo(sll2::kSize);
            break;
        case LinkType::kNull:
            header.UInt32(ipv6 ? 10 : kInetFamily);  // written on a little-endian machine
            break;
        case LinkType::kLoop:
            header.NetUInt32(ipv6 ? 24 : kInetFamily);
            break;
        case LinkType::kRawIp:
            break;
    }
    header.Bytes(packet);
    return header.Take();
}

// A capture file being made, one packet every 10 ms.
class CaseFile {
  public:
    explicit CaseFile(LinkType link) : link_(link) {}

    void Tcp(const Endpoint& from, const Endpoint& to, uint32_t sequence, uint8_t flags,
             const Bytes& payload = {}) {
        Ip(SynthesizedPacket(Carrier::kStream, from, to, payload, ++id_, sequence, 0, flags));
    }
    void Udp(const Endpoint& from, const Endpoint& to, const Bytes& payload) {
        Ip(SynthesizedPacket(Carrier::kDatagram, from, to, payload, ++id_));
    }
    void Ip(const Bytes& packet) { packets_.push_back(Framed(link_, packet)); }
    void Linked(const Bytes& packet) { packets_.push_back(packet); }

    void Save(const fs::path& file) const {
        fs::remove(file);
        auto created = PacketFile::Create(file, link_);
        if (!created.ok()) {
            throw std::runtime_error(created.failure);
        }
        for (size_t i = 0; i < packets_.size(); ++i) {
            (*created.value)->Write(kStart + static_cast<int64_t>(i) * kPacketSpacing, packets_[i]);
        }
        if (const Status flushed = (*created.value)->Flush(); !flushed.ok()) {
            throw std::runtime_error(flushed.failure);
        }
    }

  private:
    LinkType link_;
    std::vector<Bytes> packets_;
    uint16_t id_ = 0;
};

// One TCP connection: its handshake and its data, the sequence numbers running on.
struct Connection {
    CaseFile& file;
    Endpoint client;
    Endpoint server;
    uint32_t clientNext = 1001;
    uint32_t serverNext = 5001;

    void Open() {
        file.Tcp(client, server, clientNext - 1, tcp::kSyn);
        file.Tcp(server, client, serverNext - 1, tcp::kSyn | tcp::kAck);
        file.Tcp(client, server, clientNext, tcp::kAck);
    }
    // Sends the bytes in one segment and gives its sequence number.
    uint32_t Send(bool fromClient, const Bytes& bytes, uint8_t flags = tcp::kPush | tcp::kAck) {
        uint32_t& next = fromClient ? clientNext : serverNext;
        const uint32_t sequence = next;
        file.Tcp(fromClient ? client : server, fromClient ? server : client, sequence, flags,
                 bytes);
        next += static_cast<uint32_t>(bytes.size());
        return sequence;
    }
    void Close() {
        Send(true, {}, tcp::kFin | tcp::kAck);
        Send(false, {}, tcp::kFin | tcp::kAck);
    }
};

Bytes ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& file, const Bytes& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Saves the case as pcap, then has editcap turn it into pcapng.
void SavePcapng(const CaseFile& file, const fs::path& target) {
    const fs::path plain = fs::path(target).replace_extension(".tmp.pcap");
    file.Save(plain);
    fs::remove(target);
    const int code =
        QProcess::execute("editcap", {"-F", "pcapng", QString::fromStdString(plain.string()),
                                      QString::fromStdString(target.string())});
    fs::remove(plain);
    if (code != 0) {
        throw std::runtime_error("editcap could not write " + target.string() +
                                 " (it comes with tshark)");
    }
}

// ---- The cases -----------------------------------------------------------------------------

void WholeFramesOnePerSegment(const fs::path& file) {
    CaseFile capture(LinkType::kEthernet);
    Connection c{capture, kJoiner, kHost};
    c.Open();
    c.Send(true, RequestId());
    c.Send(false, Data(7, 24, 0x11));
    c.Send(true, PingFrame(7));
    c.Close();
    capture.Save(file);
}

void FrameSplitOverSegments(const fs::path& file) {
    CaseFile capture(LinkType::kLinuxCooked);
    Connection c{capture, kJoiner, kHost};
    c.Open();
    const Bytes large = Data(9, 3000, 0x22);
    c.Send(true, Slice(large, 0, 2));  // not even the size word whole
    c.Send(true, Slice(large, 2, 1400));
    c.Send(true, Slice(large, 1402, large.size() - 1402));
    c.Send(true, RequestId());
    capture.Save(file);
}

void SeveralFramesInOneSegment(const fs::path& file) {
    CaseFile capture(LinkType::kLinuxCooked2);
    Connection c{capture, kJoiner, kHost};
    c.Open();
    const Bytes fourth = Data(3, 40, 0x44);
    c.Send(false,
           Joined({Data(1, 8, 0x41), PingFrame(2), Data(2, 16, 0x43), Slice(fourth, 0, 10)}));
    c.Send(false, Slice(fourth, 10, fourth.size() - 10));
    capture.Save(file);
}

// Segments sent again, whole and with other boundaries: what came first stands.
void RetransmittedAndOverlapping(const fs::path& file) {
    CaseFile capture(LinkType::kNull);
    Connection c{capture, kJoiner, kHost};
    c.Open();
    const Bytes stream = Joined({Data(1, 30, 0x51), Data(1, 30, 0x52), Data(1, 30, 0x53)});
    const uint32_t first = c.clientNext;
    c.Send(true, Slice(stream, 0, 40));
    capture.Tcp(kJoiner, kHost, first, tcp::kPush | tcp::kAck, Slice(stream, 0, 40));
    capture.Tcp(kJoiner, kHost, first + 20, tcp::kPush | tcp::kAck, Slice(stream, 20, 60));
    capture.Tcp(kJoiner, kHost, first, tcp::kPush | tcp::kAck, stream);
    capture.Tcp(kJoiner, kHost, first + 50, tcp::kPush | tcp::kAck, Slice(stream, 50, 20));
    capture.Save(file);
}

void ReorderedSegments(const fs::path& file) {
    CaseFile capture(LinkType::kLoop);
    Connection c{capture, kHost, kJoiner};
    c.Open();
    const Bytes stream = Joined({Data(4, 20, 0x61), Data(4, 20, 0x62), Data(4, 20, 0x63)});
    const uint32_t first = c.clientNext;
    const auto send = [&](size_t from, size_t count) {
        capture.Tcp(kHost, kJoiner, first + static_cast<uint32_t>(from), tcp::kPush | tcp::kAck,
                    Slice(stream, from, count));
    };
    send(0, 30);
    send(60, 40);  // before the one it follows
    send(100, stream.size() - 100);
    send(30, 30);
    capture.Save(file);
}

// The capture begins in the middle of a frame: the stream is taken up at the next whole one.
void StartsMidStream(const fs::path& file) {
    CaseFile capture(LinkType::kRawIp);
    const Bytes stream = Joined({Data(5, 50, 0x71), Data(5, 12, 0x72), RequestId()});
    capture.Tcp(kJoiner, kHost, 70000, tcp::kPush | tcp::kAck, Slice(stream, 33, 60));
    capture.Tcp(kJoiner, kHost, 70060, tcp::kPush | tcp::kAck,
                Slice(stream, 93, stream.size() - 93));
    SavePcapng(capture, file);
}

// No FIN: the last frame is cut off by the end of the capture.
void EndsWithoutFin(const fs::path& file) {
    CaseFile capture(LinkType::kEthernet);
    Connection c{capture, kJoiner, kHost};
    c.Open();
    c.Send(true, Data(6, 20, 0x81));
    const Bytes last = Data(6, 20, 0x82);
    c.Send(true, Joined({PingFrame(6), Slice(last, 0, 30)}));
    SavePcapng(capture, file);
}

// A segment the capture lost: the frames after it wait, then the hole is given up.
void HoleThatNeverFills(const fs::path& file) {
    CaseFile capture(LinkType::kEthernet);
    Connection c{capture, kJoiner, kHost};
    c.Open();
    c.Send(true, Data(8, 10, 0x91));
    const Bytes broken = Data(8, 40, 0x92);
    c.Send(true, Slice(broken, 0, 20));
    c.clientNext += static_cast<uint32_t>(broken.size() - 20);  // never captured
    for (int i = 0; i < 70; ++i) {
        c.Send(true, Data(8, 4, static_cast<uint8_t>(i)));
    }
    capture.Save(file);
}

void DatagramsPaddedAndForeign(const fs::path& file) {
    CaseFile capture(LinkType::kEthernet);
    capture.Udp(kHost, kJoiner, PingFrame(2));
    capture.Udp(kJoiner, kHost, Joined({Data(1, 8, 0xA1), Bytes(12, 0)}));  // padded
    capture.Udp(kJoiner, Endpoint{0x0A000035, 53}, Bytes{0x12, 0x34, 1, 0, 0, 1, 0, 0});
    capture.Udp(kJoiner, kHost, Slice(Data(1, 8, 0xA2), 0, 30));  // shorter than its size word
    // The same frame with an 802.1Q tag before the type.
    const Bytes tagged =
        Framed(LinkType::kEthernet,
               SynthesizedPacket(Carrier::kDatagram, kHost, kJoiner, Data(2, 6, 0xA3), 77));
    ByteWriter withTag(Slice(tagged, 0, ethernet::kType));
    withTag.NetUInt16(ether_type::kVlan);
    withTag.NetUInt16(5);
    withTag.Bytes(Slice(tagged, ethernet::kType, tagged.size() - ethernet::kType));
    capture.Linked(withTag.Take());
    capture.Save(file);
}

void FragmentsIpv6AndOtherProtocols(const fs::path& file) {
    CaseFile capture(LinkType::kEthernet);
    Bytes fragment = SynthesizedPacket(Carrier::kDatagram, kJoiner, kHost, Data(1, 8, 0xB1), 5);
    ByteWriter fragmented(std::move(fragment));
    fragmented.NetUInt16At(ipv4::kFlagsAndFragment, ipv4::kMoreFragments);
    capture.Ip(fragmented.Take());
    Bytes ipv6(40, 0);
    ipv6[0] = 0x60;
    capture.Linked(Framed(LinkType::kEthernet, ipv6, ether_type::kIpv6));
    capture.Linked(Framed(LinkType::kEthernet, Bytes(28, 1), 0x0806));  // ARP
    Bytes icmp = SynthesizedPacket(Carrier::kDatagram, kJoiner, kHost, Bytes(8, 0), 6);
    ByteWriter asIcmp(std::move(icmp));
    asIcmp.NetUInt16At(ipv4::kTimeToLive, 64 << 8 | 1);
    capture.Ip(asIcmp.Take());
    Bytes cut = SynthesizedPacket(Carrier::kStream, kJoiner, kHost, {}, 7);
    capture.Ip(Slice(cut, 0, 30));  // its TCP header cut off
    capture.Udp(kHost, kJoiner, PingFrame(3));
    capture.Save(file);
}

// An "any" capture on Linux holds every loopback packet going out and coming in.
void AnyCaptureLoopbackCopies(const fs::path& file) {
    CaseFile capture(LinkType::kLinuxCooked);
    const Endpoint client{0x7F000001, 2300}, host{0x7F000001, 2301};
    uint16_t id = 0;
    const auto both = [&](const Bytes& packet) {
        capture.Linked(Framed(LinkType::kLinuxCooked, packet, ether_type::kIpv4, kLoopbackHardware,
                              kOutgoingPacket));
        capture.Linked(
            Framed(LinkType::kLinuxCooked, packet, ether_type::kIpv4, kLoopbackHardware, 0));
    };
    both(SynthesizedPacket(Carrier::kStream, client, host, {}, ++id, 99, 0, tcp::kSyn));
    both(SynthesizedPacket(Carrier::kStream, client, host, RequestId(), ++id, 100, 0,
                           tcp::kPush | tcp::kAck));
    both(SynthesizedPacket(Carrier::kDatagram, host, client, PingFrame(2), ++id));
    capture.Save(file);
}

void BadSizeWordMidStream(const fs::path& file) {
    CaseFile capture(LinkType::kEthernet);
    Connection c{capture, kJoiner, kHost};
    c.Open();
    c.Send(true, Data(2, 10, 0xC1));
    c.Send(true, Joined({Bytes(37, 0xEE), Data(2, 10, 0xC2)}));
    c.Send(true, PingFrame(2));
    capture.Save(file);
}

// A frame whose size word is above what we keep is passed over whole.
void OversizedFramePassedOver(const fs::path& file) {
    CaseFile capture(LinkType::kRawIp);
    Connection c{capture, kHost, kJoiner};
    c.Open();
    constexpr size_t kSize = directplay::kMaxMessageSize + 1000;
    ByteWriter huge;
    huge.UInt32(directplay::SizeWord(kSize, directplay::kTokenSend));
    huge.Zeros(kSize - sizeof(uint32_t));
    const Bytes bytes = huge.Take();
    for (size_t at = 0; at < bytes.size(); at += 60000) {
        c.Send(true, Slice(bytes, at, std::min<size_t>(60000, bytes.size() - at)));
    }
    c.Send(true, Data(1, 10, 0xD1));
    capture.Save(file);
}

void TwoConnectionsAndAReset(const fs::path& file) {
    CaseFile capture(LinkType::kEthernet);
    Connection one{capture, kJoiner, kHost};
    Connection two{capture, kThird, kJoiner, 300001, 900001};
    one.Open();
    two.Open();
    const Bytes split = Data(3, 30, 0xE3);
    one.Send(true, Slice(split, 0, 20));
    two.Send(true, Data(4, 10, 0xE4));
    one.Send(true, Slice(split, 20, split.size() - 20));
    two.Send(true, Slice(Data(4, 30, 0xE5), 0, 25));
    two.Send(true, {}, tcp::kReset);
    one.Send(false, PingFrame(2));
    capture.Save(file);
}

// A recording of ours, written by the recorder's writer, cut off inside its last record.
Bytes OurRecording() {
    const fs::path file = fs::temp_directory_path() / "scopewatch-capture-case.pcap";
    fs::remove(file);
    {
        auto writer = CaptureWriter::Create(file);
        if (!writer.ok()) {
            throw std::runtime_error(writer.failure);
        }
        int64_t time = kStart;
        for (const Bytes& frame :
             {RequestId(), Data(7, 20, 0xF1), PingFrame(7), Data(7, 20, 0xF2)}) {
            (*writer.value)->Write({time += 250000, Carrier::kStream, kJoiner, kHost, frame, {}});
        }
        (*writer.value)->Write({time, Carrier::kDatagram, kHost, kJoiner, PingFrame(2), {}});
        (void)(*writer.value)->Flush();
    }
    Bytes bytes = ReadFile(file);
    fs::remove(file);
    return bytes;
}

// The offset of each record of a pcap file.
std::vector<size_t> PcapRecords(const Bytes& bytes) {
    std::vector<size_t> records;
    const ByteReader file(bytes);
    for (size_t at = 24; file.Contains(at, kPcapRecordHeaderSize);
         at += kPcapRecordHeaderSize + file.UInt32At(at + 8)) {
        records.push_back(at);
    }
    return records;
}

void CutOffByACrash(const fs::path& file) {
    const Bytes recording = OurRecording();
    WriteFile(file, Slice(recording, 0, PcapRecords(recording).back() + 30));
}

void CorruptRecordLength(const fs::path& file) {
    ByteWriter recording(OurRecording());
    recording.UInt32At(PcapRecords(recording.bytes()).at(5) + 8, 0xFFFFFFF0);
    WriteFile(file, recording.Take());
}

void NotACapture(const fs::path& file) {
    const std::string text = "<!DOCTYPE html>\n<p>Notes of the fly-in</p>\n";
    WriteFile(file, Bytes(text.begin(), text.end()));
}

void UnknownLinkType(const fs::path& file) {
    ByteWriter recording(OurRecording());
    recording.UInt32At(20, 105);  // the file header's link type: IEEE 802.11
    WriteFile(file, recording.Take());
}

void NoDirectPlay(const fs::path& file) {
    CaseFile capture(LinkType::kEthernet);
    const Endpoint browser{0x0A000001, 51000}, server{0x0A000009, 80};
    Connection web{capture, browser, server};
    web.Open();
    const std::string get = "GET / HTTP/1.1\r\nHost: example\r\n\r\n";
    const std::string page = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello";
    web.Send(true, Bytes(get.begin(), get.end()));
    web.Send(false, Bytes(page.begin(), page.end()));
    web.Close();
    capture.Udp(browser, Endpoint{0x0A000035, 53}, Bytes{0xAB, 0xCD, 1, 0, 0, 1, 0, 0, 0, 0});
    capture.Save(file);
}

}  // namespace

void WriteCaptureCases(const fs::path& folder) {
    fs::create_directories(folder);
    const std::vector<std::pair<std::string, std::function<void(const fs::path&)>>> cases = {
        {"01-whole-frames-one-per-segment.pcap", WholeFramesOnePerSegment},
        {"02-frame-split-over-segments.pcap", FrameSplitOverSegments},
        {"03-several-frames-in-one-segment.pcap", SeveralFramesInOneSegment},
        {"04-retransmitted-and-overlapping-segments.pcap", RetransmittedAndOverlapping},
        {"05-reordered-segments.pcap", ReorderedSegments},
        {"06-capture-starts-mid-stream.pcapng", StartsMidStream},
        {"07-connection-ends-without-fin.pcapng", EndsWithoutFin},
        {"08-hole-that-never-fills.pcap", HoleThatNeverFills},
        {"09-datagrams-padded-and-foreign.pcap", DatagramsPaddedAndForeign},
        {"10-fragments-ipv6-and-other-protocols.pcap", FragmentsIpv6AndOtherProtocols},
        {"11-any-capture-loopback-copies.pcap", AnyCaptureLoopbackCopies},
        {"12-bad-size-word-mid-stream.pcap", BadSizeWordMidStream},
        {"13-oversized-frame-passed-over.pcap", OversizedFramePassedOver},
        {"14-two-connections-and-a-reset.pcap", TwoConnectionsAndAReset},
        {"15-recording-cut-off-by-a-crash.pcap", CutOffByACrash},
        {"16-corrupt-record-length.pcap", CorruptRecordLength},
        {"17-not-a-capture.pcap", NotACapture},
        {"18-unknown-link-type.pcap", UnknownLinkType},
        {"19-no-directplay.pcap", NoDirectPlay},
        {"23-empty-file.pcap", [](const fs::path& file) { WriteFile(file, {}); }},
    };
    for (const auto& [name, write] : cases) {
        write(folder / name);
    }
}

}  // namespace scopewatch::fuzzing
