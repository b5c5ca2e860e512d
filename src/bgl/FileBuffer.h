#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/ByteReader.h"

namespace scopewatch {

// One whole file in memory, read through the one byte reader. It holds one byte more than
// the file (a final 0), as the readers of scenery files expect; its memory serves file after
// file.
class FileBuffer {
  public:
    FileBuffer() = default;
    explicit FileBuffer(std::vector<uint8_t> fileBytes);

    // Replaces the content with the file's bytes; false (buffer emptied) when it cannot be read.
    bool LoadFile(const std::string& realPath);
    void Clear();

    // Length of the file (the buffer holds one byte more).
    int64_t FileLength() const { return static_cast<int64_t>(bytes_.size()) - 1; }
    bool Empty() const { return bytes_.size() <= 1; }

    // The file and its final 0. Its failures throw ReadPastEnd (a MalformedBytes).
    ByteReader reader() const { return ByteReader(bytes_); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_ = std::vector<uint8_t>(1, 0);
};

}  // namespace scopewatch
