#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

#include "capture/PacketHeaders.h"
#include "shared/Outcome.h"

struct pcap;
struct pcap_dumper;

namespace scopewatch::capture {

// The link type of libpcap's number for it (DLT_...), if it is one we read, and back.
std::optional<LinkType> LinkTypeOfDataLink(int dataLink);
int DataLinkOf(LinkType type);

// A pcap file written packet by packet through libpcap's own writer.
class PacketFile {
  public:
    // Creates the file (over one that exists) and writes the file header.
    static Outcome<std::unique_ptr<PacketFile>> Create(const std::filesystem::path& file,
                                                       LinkType link);
    ~PacketFile();
    PacketFile(const PacketFile&) = delete;
    PacketFile& operator=(const PacketFile&) = delete;

    void Write(int64_t microseconds, std::span<const uint8_t> packet);
    // Hands what is buffered to the system; fails (with the system's reason) when the file
    // cannot take it, as on a full disk. Writes that failed before fail it too.
    Status Flush();

    const std::filesystem::path& file() const { return file_; }
    uint64_t bytesWritten() const { return bytesWritten_; }

  private:
    PacketFile(std::filesystem::path file, pcap* dead, pcap_dumper* dumper);

    std::filesystem::path file_;
    pcap* dead_;
    pcap_dumper* dumper_;
    uint64_t bytesWritten_ = 0;
};

}  // namespace scopewatch::capture
