#include <gtest/gtest.h>

#include "capture/CaptureReader.h"
#include "capture/CaptureWriter.h"
#include "directplay/DirectPlayCodec.h"
#include "support/TempDir.h"

namespace scopewatch::capture {
namespace {

TEST(CaptureRoundTrip, WhatTheWriterWritesTheReaderReads) {
    testing::TempDir dir;
    const Endpoint us{0x7F000001, 2300}, them{0x7F000001, 2301};
    std::vector<CapturedFrame> written;
    for (int i = 0; i < 5; ++i) {
        CapturedFrame frame;
        frame.microseconds = 1700000000000000 + i * 250000;
        frame.carrier = i % 2 == 0 ? Carrier::kStream : Carrier::kDatagram;
        frame.from = i % 3 == 0 ? us : them;
        frame.to = i % 3 == 0 ? them : us;
        frame.bytes =
            directplay::EncodePlayerData({2300, 0}, 1, 2, std::vector<uint8_t>(10 + i, uint8_t(i)));
        written.push_back(frame);
    }
    {
        auto writer = CaptureWriter::Create(dir / "one.pcap");
        ASSERT_TRUE(writer.ok()) << writer.failure;
        for (const auto& frame : written) {
            (*writer.value)->Write(frame);
        }
        EXPECT_TRUE((*writer.value)->Flush().ok());
    }
    std::vector<CapturedFrame> read;
    const auto summary =
        ReadCapture(dir / "one.pcap", [&](const CapturedFrame& frame) { read.push_back(frame); });
    ASSERT_TRUE(summary.ok()) << summary.failure;
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].bytes, written[i].bytes);
        EXPECT_EQ(read[i].from, written[i].from);
        EXPECT_EQ(read[i].microseconds, written[i].microseconds);
        EXPECT_EQ(read[i].carrier, written[i].carrier);
    }
    EXPECT_EQ(summary.value->resyncBytes, 0u);
}

}  // namespace
}  // namespace scopewatch::capture
