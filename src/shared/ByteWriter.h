#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace scopewatch {

// Appends little-endian fields to a byte vector: the one way the program's own files and
// the test fixtures are written.
class ByteWriter {
  public:
    void Int8(uint8_t value) { bytes_.push_back(value); }
    void Int16(int16_t value) { Unsigned(static_cast<uint16_t>(value), 2); }
    void UInt16(uint16_t value) { Unsigned(value, 2); }
    void Int32(int32_t value) { Unsigned(static_cast<uint32_t>(value), 4); }
    void UInt32(uint32_t value) { Unsigned(value, 4); }
    void Double(double value) {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Unsigned(bits, 8);
    }
    void Float(float value) {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Unsigned(bits, 4);
    }
    void Bytes(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
    void Bytes(const std::vector<uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }
    void Zeros(size_t count) { bytes_.resize(bytes_.size() + count, 0); }
    // A text preceded by its unsigned 16-bit length (longer texts are cut at 65535 bytes).
    void LengthText(const std::string& text) {
        const size_t length = text.size() > 0xFFFF ? 0xFFFF : text.size();
        UInt16(static_cast<uint16_t>(length));
        bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<long>(length));
    }
    // Overwrites a 32-bit value written earlier (for offsets known only later).
    void PatchInt32(size_t position, int32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes_[position + static_cast<size_t>(i)] =
                static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
        }
    }

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    void Unsigned(uint64_t value, int count) {
        for (int i = 0; i < count; ++i) {
            bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    }

    std::vector<uint8_t> bytes_;
};

}  // namespace scopewatch
