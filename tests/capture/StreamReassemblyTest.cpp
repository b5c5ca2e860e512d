// The stream reassembly on its own, where a capture file cannot easily show it: what a hostile
// stream can make it hold, and a connection opened anew between the same addresses.
#include <gtest/gtest.h>

#include "capture/CaptureLayout.h"
#include "capture/StreamReassembly.h"
#include "directplay/DirectPlayCodec.h"

namespace scopewatch::capture {
namespace {

const Endpoint kFrom{1, 2300}, kTo{2, 2301};

// Segments that always leave a hole before them give it up once they pass the stream's share;
// a crowd of streams that each hold a frame begun is thinned to the bounds, those heard from
// longest ago forgotten first.
TEST(StreamReassembly, AHostileCaptureCannotMakeItHoldMoreThanItsLimits) {
    const ReassemblyLimits limits{1000, 4, 3000, 8};
    StreamReassembly reassembly(limits);
    const auto ignore = [](const Endpoint&, const Endpoint&, std::vector<uint8_t>&&) {};
    const std::vector<uint8_t> bytes(299, 0xAB);
    for (uint32_t i = 0; i < 100; ++i) {
        reassembly.Add({kFrom, kTo, 1000 + 300 * i, tcp::kAck, bytes}, ignore);
        ASSERT_LE(reassembly.heldBytes(), limits.waitingBytes + bytes.size());
    }
    EXPECT_GT(reassembly.counts().gapsSkipped, 10u);
    const auto whole = directplay::EncodePlayerData({}, 1, 2, std::vector<uint8_t>(900));
    const std::vector<uint8_t> begun(whole.begin(), whole.begin() + 500);
    for (uint16_t port = 1; port <= 50; ++port) {
        reassembly.Add({{3, port}, kTo, 0, tcp::kSyn, begun}, ignore);
        ASSERT_LE(reassembly.streamCount(), limits.streams);
        ASSERT_LE(reassembly.heldBytes(), limits.totalBytes + begun.size());
    }
    EXPECT_GE(reassembly.counts().streamsDropped, 42u);
}

TEST(StreamReassembly, ASynBetweenTheSameAddressesStartsTheStreamAnew) {
    StreamReassembly reassembly;
    std::vector<std::vector<uint8_t>> frames;
    const auto keep = [&](const Endpoint&, const Endpoint&, std::vector<uint8_t>&& frame) {
        frames.push_back(std::move(frame));
    };
    const auto frame = directplay::EncodePlayerData({}, 1, 2, std::vector<uint8_t>(10, 1));
    reassembly.Add({kFrom, kTo, 99, tcp::kSyn, {}}, keep);
    reassembly.Add({kFrom, kTo, 100, tcp::kAck, std::span(frame).first(12)}, keep);
    reassembly.Add({kFrom, kTo, 99, tcp::kSyn, {}}, keep);  // sent again: nothing changes
    reassembly.Add({kFrom, kTo, 112, tcp::kAck, std::span(frame).subspan(12)}, keep);
    reassembly.Add({kFrom, kTo, 5000, tcp::kSyn, {}}, keep);  // a new connection
    reassembly.Add({kFrom, kTo, 5001, tcp::kAck, frame}, keep);
    EXPECT_EQ(frames, (std::vector{frame, frame}));
}

}  // namespace
}  // namespace scopewatch::capture
