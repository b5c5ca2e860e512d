#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "shared/ByteReader.h"
#include "shared/ByteWriter.h"

namespace scopewatch {

// One message of the session: values are written one after the other, and read back in the
// same order from the start, through the one byte writer and reader. Reading past the end
// throws MalformedBytes (the reader of game messages catches it: a message that ends early is
// malformed outside bytes).
class SessionMessage {
  public:
    SessionMessage() = default;
    explicit SessionMessage(std::vector<uint8_t> bytes) : writer_(std::move(bytes)) {}

    void WriteInt32(int32_t value) { writer_.Int32(value); }
    void WriteInt16(int16_t value) { writer_.Int16(value); }
    void WriteByte(uint8_t value) { writer_.UInt8(value); }
    void WriteText(const std::string& text) { writer_.Bytes(text); }

    int32_t ReadInt32() {
        return Next([](ByteReader& in) { return in.Int32(); });
    }
    int16_t ReadInt16() {
        return Next([](ByteReader& in) { return in.Int16(); });
    }
    uint8_t ReadByte() {
        return Next([](ByteReader& in) { return in.UInt8(); });
    }
    // The next `length` bytes as they are.
    std::string ReadText(size_t length) {
        return Next([length](ByteReader& in) { return in.Text(length); });
    }

    const std::vector<uint8_t>& bytes() const { return writer_.bytes(); }
    size_t readPosition() const { return readPosition_; }
    size_t remaining() const { return bytes().size() - readPosition_; }

  private:
    // One read from where the last one ended.
    template <typename Read>
    std::invoke_result_t<Read, ByteReader&> Next(Read read) {
        ByteReader in(bytes());
        in.Seek(readPosition_);
        const auto value = read(in);
        readPosition_ = in.position();
        return value;
    }

    ByteWriter writer_;
    size_t readPosition_ = 0;
};

}  // namespace scopewatch
