#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "shared/ByteOrder.h"

namespace scopewatch {

// The longest text a length-prefixed field holds; a longer one is cut there.
inline constexpr size_t kLongestLengthText = 0xFFFF;

// Writes little-endian fields into a byte vector, one after the other at its end or at given
// offsets: the one writer of every format the program writes (its own files, DirectPlay and
// game messages, and the scenery the tests and the demo read). A field written at an offset
// beyond the end grows the bytes with zeros up to it, so a fixed part is written field by
// field at the offsets its layout names, whatever their order. ByteCounter and ByteSpanWriter
// below write the same sequential fields, for a large file written into one buffer.
class ByteWriter {
  public:
    ByteWriter() = default;
    // Writes on after the given bytes.
    explicit ByteWriter(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // ---- At the end -------------------------------------------------------------------------

    void UInt8(uint8_t value) { bytes_.push_back(value); }
    void Int16(int16_t value) { Store(Size(), static_cast<uint16_t>(value)); }
    void UInt16(uint16_t value) { Store(Size(), value); }
    void Int32(int32_t value) { Store(Size(), static_cast<uint32_t>(value)); }
    void UInt32(uint32_t value) { Store(Size(), value); }
    void Float(float value) { Store(Size(), std::bit_cast<uint32_t>(value)); }
    void Double(double value) { Store(Size(), std::bit_cast<uint64_t>(value)); }
    // Unsigned values in network order (most significant byte first).
    void NetUInt16(uint16_t value) { NetUInt16At(Size(), value); }
    void NetUInt32(uint32_t value) { NetUInt32At(Size(), value); }
    void Bytes(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
    void Bytes(const std::vector<uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }
    template <size_t N>
    void Bytes(const std::array<uint8_t, N>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }
    void Zeros(size_t count) { bytes_.resize(bytes_.size() + count, 0); }
    // Zeros up to the size (none when the bytes reach it already).
    void ZerosTo(size_t size) { bytes_.resize(std::max(bytes_.size(), size), 0); }
    // A text preceded by its unsigned 16-bit length (longer texts are cut at 65535 bytes).
    void LengthText(const std::string& text) {
        const size_t length = std::min(text.size(), kLongestLengthText);
        UInt16(static_cast<uint16_t>(length));
        bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<long>(length));
    }

    // ---- At given offsets (over what was written there, or zeros grown up to them) ----------

    void UInt16At(size_t at, uint16_t value) { Store(at, value); }
    void Int32At(size_t at, int32_t value) { Store(at, static_cast<uint32_t>(value)); }
    void UInt32At(size_t at, uint32_t value) { Store(at, value); }
    void FloatAt(size_t at, float value) { Store(at, std::bit_cast<uint32_t>(value)); }
    void NetUInt16At(size_t at, uint16_t value) {
        byte_order::StoreNetwork(Room(at, sizeof value), value);
    }
    void NetUInt32At(size_t at, uint32_t value) {
        byte_order::StoreNetwork(Room(at, sizeof value), value);
    }
    void BytesAt(size_t at, const std::vector<uint8_t>& more) {
        std::copy(more.begin(), more.end(), Room(at, more.size()));
    }
    template <size_t N>
    void BytesAt(size_t at, const std::array<uint8_t, N>& more) {
        std::copy(more.begin(), more.end(), Room(at, N));
    }

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    uint8_t* Room(size_t at, size_t count) {
        if (bytes_.size() < at + count) {
            bytes_.resize(at + count, 0);
        }
        return bytes_.data() + at;
    }
    template <typename Unsigned>
    void Store(size_t at, Unsigned value) {
        byte_order::StoreLittle(Room(at, sizeof value), value);
    }

    std::vector<uint8_t> bytes_;
};

// Counts the bytes a ByteWriter would append for the same calls, so that a large file can be
// written into one buffer of its exact size (see ByteSpanWriter).
class ByteCounter {
  public:
    void UInt8(uint8_t) { size_ += sizeof(uint8_t); }
    void Int16(int16_t) { size_ += sizeof(int16_t); }
    void UInt16(uint16_t) { size_ += sizeof(uint16_t); }
    void Int32(int32_t) { size_ += sizeof(int32_t); }
    void UInt32(uint32_t) { size_ += sizeof(uint32_t); }
    void Double(double) { size_ += sizeof(double); }
    void LengthText(const std::string& text) {
        size_ += sizeof(uint16_t) + std::min(text.size(), kLongestLengthText);
    }

    size_t Size() const { return size_; }

  private:
    size_t size_ = 0;
};

// Writes the fields as ByteWriter appends them, into a buffer made beforehand (of the size a
// ByteCounter gave): no growing, each field one store. Writing past its end is a fault of
// the caller and throws std::length_error.
class ByteSpanWriter {
  public:
    ByteSpanWriter(uint8_t* begin, size_t size) : next_(begin), end_(begin + size) {}

    void UInt8(uint8_t value) { Store(value); }
    void Int16(int16_t value) { Store(static_cast<uint16_t>(value)); }
    void UInt16(uint16_t value) { Store(value); }
    void Int32(int32_t value) { Store(static_cast<uint32_t>(value)); }
    void UInt32(uint32_t value) { Store(value); }
    void Double(double value) { Store(std::bit_cast<uint64_t>(value)); }
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
    template <typename Unsigned>
    void Store(Unsigned value) {
        Require(sizeof value);
        byte_order::StoreLittle(next_, value);
        next_ += sizeof value;
    }

    uint8_t* next_;
    uint8_t* end_;
};

}  // namespace scopewatch
