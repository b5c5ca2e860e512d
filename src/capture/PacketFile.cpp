#include "capture/PacketFile.h"

#include <pcap/pcap.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "capture/CaptureLayout.h"

namespace scopewatch::capture {

namespace {

struct KnownLink {
    int dataLink;
    LinkType type;
};
// The first line of a type is the number we write.
constexpr KnownLink kKnownLinks[] = {
    {DLT_EN10MB, LinkType::kEthernet},
    {DLT_LINUX_SLL, LinkType::kLinuxCooked},
    {DLT_LINUX_SLL2, LinkType::kLinuxCooked2},
    {DLT_NULL, LinkType::kNull},
    {DLT_LOOP, LinkType::kLoop},
    {DLT_RAW, LinkType::kRawIp},
    {DLT_IPV4, LinkType::kRawIp},
};

}  // namespace

std::optional<LinkType> LinkTypeOfDataLink(int dataLink) {
    for (const KnownLink& known : kKnownLinks) {
        if (known.dataLink == dataLink) {
            return known.type;
        }
    }
    return std::nullopt;
}

int DataLinkOf(LinkType type) {
    for (const KnownLink& known : kKnownLinks) {
        if (known.type == type) {
            return known.dataLink;
        }
    }
    return DLT_RAW;
}

Outcome<std::unique_ptr<PacketFile>> PacketFile::Create(const std::filesystem::path& file,
                                                        LinkType link) {
    using Made = Outcome<std::unique_ptr<PacketFile>>;
    FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) {
        return Made::Failed(file.string() + " cannot be created: " + std::strerror(errno));
    }
    pcap_t* dead = pcap_open_dead(DataLinkOf(link), static_cast<int>(kLargestIpv4Packet));
    pcap_dumper_t* dumper = dead != nullptr ? pcap_dump_fopen(dead, out) : nullptr;
    if (dumper == nullptr) {
        const std::string why = dead != nullptr ? pcap_geterr(dead) : "libpcap failed";
        if (dead != nullptr) {
            pcap_close(dead);
        }
        std::fclose(out);
        return Made::Failed(file.string() + " cannot be written: " + why);
    }
    return Made::Done(std::unique_ptr<PacketFile>(new PacketFile(file, dead, dumper)));
}

PacketFile::PacketFile(std::filesystem::path file, pcap* dead, pcap_dumper* dumper)
    : file_(std::move(file)), dead_(dead), dumper_(dumper) {}

PacketFile::~PacketFile() {
    pcap_dump_close(dumper_);
    pcap_close(dead_);
}

void PacketFile::Write(int64_t microseconds, std::span<const uint8_t> packet) {
    pcap_pkthdr header{};
    header.ts.tv_sec = static_cast<time_t>(microseconds / 1000000);
    header.ts.tv_usec = static_cast<suseconds_t>(microseconds % 1000000);
    header.caplen = header.len = static_cast<bpf_u_int32>(packet.size());
    pcap_dump(reinterpret_cast<u_char*>(dumper_), &header, packet.data());
    bytesWritten_ += kPcapRecordHeaderSize + packet.size();
}

Status PacketFile::Flush() {
    errno = 0;
    if (pcap_dump_flush(dumper_) != 0 || std::ferror(pcap_dump_file(dumper_)) != 0) {
        const int error = errno;
        return Status::Failed(file_.string() + " cannot be written: " +
                              (error != 0 ? std::strerror(error) : "the write failed"));
    }
    return Status::Done();
}

}  // namespace scopewatch::capture
