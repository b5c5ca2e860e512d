#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace scopewatch {

// What stops the examination of a scenery file: a read outside the buffer, or records that
// contradict themselves. Every reader of BGL files throws these and reports them as a
// BglProblem (file, record, offset).
class BglError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Thrown when a reader asks for bytes outside the buffer. A file that makes a reader
// go out of bounds is malformed: its examination stops there.
class BufferOverrun : public BglError {
  public:
    BufferOverrun(int64_t position, int64_t count, int64_t length);
    int64_t position() const { return position_; }

  private:
    int64_t position_;
};

// One whole file in memory, addressed by position. It holds one byte more than the file
// (a final 0), as the readers of scenery files expect. Every read checks its bounds.
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
    // True when count bytes from position lie inside the buffer.
    bool Contains(int64_t position, int64_t count) const {
        return position >= 0 && count >= 0 && position <= static_cast<int64_t>(bytes_.size()) &&
               count <= static_cast<int64_t>(bytes_.size()) - position;
    }

    // The readers are here in the header: the decoder calls them for every field of every
    // record, and a call each would cost more than the read.
    int32_t ReadInt32(int64_t position) const {
        Require(position, 4);
        const uint8_t* p = bytes_.data() + position;
        const uint32_t value = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                               (static_cast<uint32_t>(p[2]) << 16) |
                               (static_cast<uint32_t>(p[3]) << 24);
        return static_cast<int32_t>(value);
    }
    int16_t ReadInt16(int64_t position) const {
        Require(position, 2);
        const uint8_t* p = bytes_.data() + position;
        return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    }
    uint8_t ReadByte(int64_t position) const {
        Require(position, 1);
        return bytes_[static_cast<size_t>(position)];
    }
    // The n bytes from position, zero bytes skipped; n below 1 gives the empty text.
    std::string ReadText(int64_t position, int n) const;

    const std::vector<uint8_t>& bytes() const { return bytes_; }

  private:
    void Require(int64_t position, int64_t count) const {
        if (!Contains(position, count)) {
            ThrowOverrun(position, count);
        }
    }
    [[noreturn]] void ThrowOverrun(int64_t position, int64_t count) const;

    std::vector<uint8_t> bytes_ = std::vector<uint8_t>(1, 0);
};

}  // namespace scopewatch
