#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace scopewatch {

// The longest text a length-prefixed field holds; a longer one is cut there.
inline constexpr size_t kLongestLengthText = 0xFFFF;

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
        const size_t length = std::min(text.size(), kLongestLengthText);
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

// Counts the bytes a ByteWriter would append for the same calls, so that a large file can be
// written into one buffer of its exact size (see ByteSpanWriter).
class ByteCounter {
  public:
    void Int8(uint8_t) { size_ += 1; }
    void Int16(int16_t) { size_ += 2; }
    void UInt16(uint16_t) { size_ += 2; }
    void Int32(int32_t) { size_ += 4; }
    void UInt32(uint32_t) { size_ += 4; }
    void Double(double) { size_ += 8; }
    void LengthText(const std::string& text) {
        size_ += 2 + std::min(text.size(), kLongestLengthText);
    }

    size_t Size() const { return size_; }

  private:
    size_t size_ = 0;
};

// Writes the fields as ByteWriter does, into a buffer made beforehand (of the size a
// ByteCounter gave): no growing, each field one store. Writing past its end is a fault of
// the caller and throws std::length_error.
class ByteSpanWriter {
  public:
    ByteSpanWriter(uint8_t* begin, size_t size) : next_(begin), end_(begin + size) {}

    void Int8(uint8_t value) { Store(value); }
    void Int16(int16_t value) { Store(static_cast<uint16_t>(value)); }
    void UInt16(uint16_t value) { Store(value); }
    void Int32(int32_t value) { Store(static_cast<uint32_t>(value)); }
    void UInt32(uint32_t value) { Store(value); }
    void Double(double value) {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Store(bits);
    }
    // A text preceded by its unsigned 16-bit length (longer texts are cut at 65535 bytes).
    void LengthText(const std::string& text) {
        const size_t length = std::min(text.size(), kLongestLengthText);
        UInt16(static_cast<uint16_t>(length));
        Require(length);
        if (length > 0) {
            std::memcpy(next_, text.data(), length);
            next_ += length;
        }
    }

    // Bytes not yet written.
    size_t Remaining() const { return static_cast<size_t>(end_ - next_); }

  private:
    void Require(size_t count) const {
        if (count > Remaining()) {
            throw std::length_error("a field runs past the end of its buffer");
        }
    }
    // The value little-endian: on a little-endian machine one store of its bytes as they are.
    template <typename Unsigned>
    void Store(Unsigned value) {
        Require(sizeof value);
        if constexpr (std::endian::native != std::endian::little) {
            Unsigned little = 0;
            for (size_t i = 0; i < sizeof value; ++i) {
                reinterpret_cast<uint8_t*>(&little)[i] = static_cast<uint8_t>(value >> (8 * i));
            }
            value = little;
        }
        std::memcpy(next_, &value, sizeof value);
        next_ += sizeof value;
    }

    uint8_t* next_;
    uint8_t* end_;
};

}  // namespace scopewatch
