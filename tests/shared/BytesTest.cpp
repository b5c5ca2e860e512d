#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shared/ByteReader.h"
#include "shared/ByteWriter.h"

namespace scopewatch {
namespace {

using Bytes = std::vector<uint8_t>;

// The failure of a read: its offset and its text.
std::string Failure(const std::function<void()>& read) {
    try {
        read();
    } catch (const MalformedBytes& fault) {
        return std::to_string(fault.offset()) + ": " + fault.what();
    }
    return "no failure";
}

// Every kind of field the writer appends reads back, at its offset and one after the other;
// values at offsets beyond the end grow the bytes with zeros, and those over written bytes
// replace them. The counter and the span writer give what the writer appends.
TEST(BytesTest, WhatTheWriterWritesTheReaderReadsBack) {
    ByteWriter out;
    out.UInt16(0);  // written again at its offset below
    out.Int16(-2);
    out.Int32(-70000);
    out.Double(-0.25);
    out.LengthText("ab");
    out.NetUInt16(2300);
    out.Float(1.5F);
    out.UInt32At(out.Size() + 2, 0x11223344);
    out.UInt16At(0, 0xBEEF);
    EXPECT_EQ(out.Size(), 2 + 2 + 4 + 8 + 4 + 2 + 4 + 2 + 4u);

    ByteReader in(out.bytes());
    EXPECT_EQ(in.UInt16At(0), 0xBEEF);
    in.Seek(2);
    EXPECT_EQ(in.Int16(), -2);
    EXPECT_EQ(in.Int32(), -70000);
    EXPECT_EQ(in.Double(), -0.25);
    EXPECT_EQ(in.LengthText(), "ab");
    EXPECT_EQ(in.NetUInt16At(in.position()), 2300);
    EXPECT_EQ(in.UInt8At(in.position()), 0x08);  // network order: high byte first
    in.Skip(sizeof(uint16_t));
    EXPECT_EQ(in.FloatAt(in.position()), 1.5F);
    EXPECT_EQ(in.UInt32At(in.size() - 4), 0x11223344u);
    EXPECT_EQ(in.UInt16At(in.size() - 6), 0u);  // the zeros grown up to it

    ByteCounter counter;
    std::vector<uint8_t> span(2 + 4 + 8 + 2 + 3);
    ByteSpanWriter spanWriter(span.data(), span.size());
    ByteWriter appended;
    const auto write = [](auto& writer) {
        writer.Int16(-2);
        writer.UInt32(7);
        writer.Double(3.0);
        writer.LengthText("xyz");
    };
    write(counter), write(spanWriter), write(appended);
    EXPECT_EQ(counter.Size(), span.size());
    EXPECT_EQ(span, appended.bytes());
    EXPECT_THROW(spanWriter.UInt8(1), std::length_error);
}

// A read that would run past the end reads nothing and says at which offset what was
// expected; a part read on its own counts offsets from its start and names them in the
// whole; a negative position converted to an offset fails like one far past the end.
TEST(BytesTest, AReadPastTheEndSaysWhereAndWhatWasExpected) {
    const Bytes bytes = {1, 2, 3, 4, 5, 6};
    ByteReader in(bytes);
    EXPECT_EQ(Failure([&] { in.UInt32At(4); }), "4: 4 bytes (2 left) at byte 4");
    in.Seek(3);
    EXPECT_EQ(Failure([&] { in.Text(4); }), "3: a text (4 bytes, 3 left) at byte 3");
    EXPECT_EQ(in.position(), 3u);
    EXPECT_EQ(Failure([&] { in.Seek(8, "a name"); }),
              "8: a name (0 bytes, the end at byte 6) at byte 8");
    const std::string minusOne = std::to_string(static_cast<size_t>(int64_t{-1}));
    EXPECT_EQ(Failure([&] { in.Int32At(static_cast<size_t>(int64_t{-1})); }),
              minusOne + ": 4 bytes (the end at byte 6) at byte " + minusOne);
    EXPECT_THROW(in.UInt8At(SIZE_MAX - 1), ReadPastEnd);
    EXPECT_THROW(in.Seek(7), ReadPastEnd);

    const ByteReader part = in.Part(2, 3, "a part");
    EXPECT_EQ(part.UInt8At(0), 3);
    EXPECT_EQ(Failure([&] { part.UInt16At(2); }), "4: 2 bytes (1 left) at byte 4");
    EXPECT_EQ(Failure([&] { part.Refuse(1, "a size of 9"); }), "3: a size of 9 at byte 3");
    EXPECT_EQ(Failure([&] { in.Part(5, 2, "a part"); }), "5: a part (2 bytes, 1 left) at byte 5");
    try {
        in.UInt32At(4);
    } catch (const ReadPastEnd& fault) {
        EXPECT_EQ(std::tuple(fault.count(), fault.expected()), std::tuple(4u, "4 bytes (2 left)"));
    }
}

}  // namespace
}  // namespace scopewatch
