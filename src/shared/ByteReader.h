#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "shared/ByteOrder.h"
#include "shared/MalformedBytes.h"

namespace scopewatch {

// A read that would run past the end of the bytes: `count` bytes were expected at the offset.
// Formats that report such a read in words of their own (the scenery files) find the count here.
class ReadPastEnd : public MalformedBytes {
  public:
    ReadPastEnd(size_t offset, size_t count, const std::string& expected)
        : MalformedBytes(offset, expected), count_(count) {}

    size_t count() const { return count_; }

  private:
    size_t count_;
};

// Reads little-endian fields from a range of bytes, at given offsets or one after the other
// from a position: the one reader of every format the program reads (scenery files, the
// airport database, the settings, DirectPlay and game messages). Every read checks its
// bounds; one that would run past the end reads nothing and throws ReadPastEnd (a
// MalformedBytes) naming the offset and what was expected there. A format catches it at the
// edge of its reader. The reads are inline and allocate nothing: the scenery decoder calls
// them for every field of every record.
//
// Offsets are unsigned: a negative position converted to one lies past any end and fails so.
// A part of the bytes read on its own (Part) counts its offsets from its own start, while its
// failures name the offset in the whole, so that a report points at the right byte.
class ByteReader {
  public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteReader(const std::vector<uint8_t>& bytes)
        : ByteReader(bytes.data(), bytes.size()) {}
    // The reader does not keep the bytes: they must outlive it.
    explicit ByteReader(std::vector<uint8_t>&&) = delete;

    size_t size() const { return size_; }
    // True when count bytes from the offset lie inside.
    bool Contains(size_t at, size_t count) const { return at <= size_ && count <= size_ - at; }
    // Throws unless count bytes from the offset lie inside; `what` names them in the failure.
    void Require(size_t at, size_t count, const char* what = nullptr) const {
        if (!Contains(at, count)) {
            ThrowPastEnd(at, count, what);
        }
    }
    // Throws MalformedBytes for fields that contradict each other, at an offset of these bytes.
    [[noreturn]] void Refuse(size_t at, const std::string& expected) const {
        throw MalformedBytes(origin_ + at, expected);
    }

    // ---- At given offsets -------------------------------------------------------------------

    uint8_t UInt8At(size_t at) const { return Load<uint8_t>(at); }
    int16_t Int16At(size_t at) const { return static_cast<int16_t>(Load<uint16_t>(at)); }
    uint16_t UInt16At(size_t at) const { return Load<uint16_t>(at); }
    int32_t Int32At(size_t at) const { return static_cast<int32_t>(Load<uint32_t>(at)); }
    uint32_t UInt32At(size_t at) const { return Load<uint32_t>(at); }
    float FloatAt(size_t at) const { return std::bit_cast<float>(Load<uint32_t>(at)); }
    double DoubleAt(size_t at) const { return std::bit_cast<double>(Load<uint64_t>(at)); }
    // Unsigned values in network order (most significant byte first).
    uint16_t NetUInt16At(size_t at) const {
        Require(at, sizeof(uint16_t));
        return byte_order::LoadNetwork<uint16_t>(data_ + at);
    }
    uint32_t NetUInt32At(size_t at) const {
        Require(at, sizeof(uint32_t));
        return byte_order::LoadNetwork<uint32_t>(data_ + at);
    }
    // The bytes as they are.
    std::string TextAt(size_t at, size_t length) const {
        Require(at, length, "a text");
        return std::string(reinterpret_cast<const char*>(data_ + at), length);
    }
    std::vector<uint8_t> BytesAt(size_t at, size_t count) const {
        Require(at, count);
        return std::vector<uint8_t>(data_ + at, data_ + at + count);
    }
    template <size_t N>
    void CopyAt(size_t at, std::array<uint8_t, N>& to, const char* what = nullptr) const {
        Require(at, N, what);
        std::memcpy(to.data(), data_ + at, N);
    }
    // The count bytes from the offset, read on their own; `what` names them when they do not
    // lie inside.
    ByteReader Part(size_t at, size_t count, const char* what = nullptr) const {
        Require(at, count, what);
        ByteReader part(data_ + at, count);
        part.origin_ = origin_ + at;
        return part;
    }
    // The bytes from the offset to the end, read on their own.
    ByteReader From(size_t at, const char* what = nullptr) const {
        Require(at, 0, what);
        return Part(at, size_ - at);
    }

    // ---- One after the other, from the position ---------------------------------------------

    uint8_t UInt8() { return Next<uint8_t>(); }
    int16_t Int16() { return static_cast<int16_t>(Next<uint16_t>()); }
    uint16_t UInt16() { return Next<uint16_t>(); }
    int32_t Int32() { return static_cast<int32_t>(Next<uint32_t>()); }
    uint32_t UInt32() { return Next<uint32_t>(); }
    double Double() { return std::bit_cast<double>(Next<uint64_t>()); }
    std::string Text(size_t length) {
        std::string text = TextAt(position_, length);
        position_ += length;
        return text;
    }
    // A text preceded by its unsigned 16-bit length.
    std::string LengthText() { return Text(UInt16()); }
    std::vector<uint8_t> Bytes(size_t count) {
        std::vector<uint8_t> bytes = BytesAt(position_, count);
        position_ += count;
        return bytes;
    }
    // The bytes from the position to the end.
    std::vector<uint8_t> Rest() { return Bytes(remaining()); }
    // The next count bytes, read on their own (see Part).
    ByteReader NextPart(size_t count, const char* what = nullptr) {
        ByteReader part = Part(position_, count, what);
        position_ += count;
        return part;
    }
    void Skip(size_t count, const char* what = nullptr) {
        Require(position_, count, what);
        position_ += count;
    }
    void Seek(size_t at, const char* what = nullptr) {
        Require(at, 0, what);
        position_ = at;
    }

    size_t position() const { return position_; }
    size_t remaining() const { return size_ - position_; }
    bool AtEnd() const { return position_ == size_; }

  private:
    template <typename Unsigned>
    Unsigned Load(size_t at) const {
        Require(at, sizeof(Unsigned));
        return byte_order::LoadLittle<Unsigned>(data_ + at);
    }
    template <typename Unsigned>
    Unsigned Next() {
        const Unsigned value = Load<Unsigned>(position_);
        position_ += sizeof(Unsigned);
        return value;
    }
    // "a GUID (16 bytes, 4 left)", or "4 bytes (2 left)" for a field without a name; an offset
    // beyond the end says where the end is.
    [[noreturn]] __attribute__((noinline, cold)) void ThrowPastEnd(size_t at, size_t count,
                                                                   const char* what) const {
        const std::string left = at <= size_
                                     ? std::to_string(size_ - at) + " left)"
                                     : "the end at byte " + std::to_string(origin_ + size_) + ")";
        const std::string bytes = std::to_string(count) + " bytes";
        throw ReadPastEnd(
            origin_ + at, count,
            what != nullptr ? std::string(what) + " (" + bytes + ", " + left : bytes + " (" + left);
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    size_t origin_ = 0;  // the offset of data_[0] in the bytes failures are reported in
};

}  // namespace scopewatch
