#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace scopewatch {

// Reads little-endian fields one after the other from a byte range. A read that would run
// past the end fails: it returns a zero value, and the cursor stays failed from then on,
// so a reader checks ok() once at the end of a record instead of after every field.
class ByteCursor {
  public:
    ByteCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteCursor(const std::vector<uint8_t>& bytes)
        : ByteCursor(bytes.data(), bytes.size()) {}

    uint8_t UInt8() { return static_cast<uint8_t>(Unsigned(1)); }
    int16_t Int16() { return static_cast<int16_t>(Unsigned(2)); }
    uint16_t UInt16() { return static_cast<uint16_t>(Unsigned(2)); }
    int32_t Int32() { return static_cast<int32_t>(Unsigned(4)); }
    uint32_t UInt32() { return static_cast<uint32_t>(Unsigned(4)); }
    double Double() {
        const uint64_t bits = Unsigned(8);
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string Text(size_t length) {
        if (!Has(length)) {
            return {};
        }
        std::string text(reinterpret_cast<const char*>(data_ + position_), length);
        position_ += length;
        return text;
    }
    // A text preceded by its unsigned 16-bit length.
    std::string LengthText() { return Text(UInt16()); }
    void Skip(size_t count) {
        if (Has(count)) {
            position_ += count;
        }
    }

    bool ok() const { return ok_; }
    size_t position() const { return position_; }
    size_t remaining() const { return size_ - position_; }
    bool AtEnd() const { return position_ == size_; }

  private:
    bool Has(size_t count) {
        if (!ok_ || count > size_ - position_) {
            ok_ = false;
            return false;
        }
        return true;
    }
    uint64_t Unsigned(int count) {
        if (!Has(static_cast<size_t>(count))) {
            return 0;
        }
        uint64_t value = 0;
        for (int i = 0; i < count; ++i) {
            value |= static_cast<uint64_t>(data_[position_ + static_cast<size_t>(i)]) << (8 * i);
        }
        position_ += static_cast<size_t>(count);
        return value;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool ok_ = true;
};

}  // namespace scopewatch
