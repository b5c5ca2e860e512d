#include <gtest/gtest.h>

#include "directplay/DeliveryQueue.h"

namespace scopewatch::directplay {
namespace {

// A sender stops at its share of the queue, by count or by bytes, and the others go on until
// the queue's own caps; taking a message makes room for one more. A session without message
// ids names no sender (0): its data shares the whole queue. What is dropped is counted.
TEST(DeliveryQueue, EachSenderStopsAtItsShareAndEveryoneAtTheCaps) {
    DeliveryQueue queue;
    const auto push = [&](uint32_t from, size_t size) {
        return queue.Push(Delivery{from, 0, Bytes(size, 1), false});
    };
    for (size_t i = 0; i < kMaxQueuedPerSender; ++i) {
        ASSERT_TRUE(push(1, 1));
    }
    EXPECT_FALSE(push(1, 1));
    const size_t large = 100 * 1024;
    for (uint32_t sender = 2; sender <= 5; ++sender) {
        for (size_t i = 0; i < kMaxQueuedBytesPerSender / large; ++i) {
            push(sender, large);
        }
        EXPECT_FALSE(push(sender, large)) << sender;
    }
    EXPECT_FALSE(push(6, large));  // the bytes of the whole queue are taken up
    EXPECT_EQ(queue.dropped(), 6u);
    EXPECT_EQ(queue.Take()->idFrom, 1u);
    EXPECT_TRUE(push(1, 1));
    EXPECT_EQ(queue.count(), kMaxQueuedPerSender + 4 * (kMaxQueuedBytesPerSender / large));

    queue.Clear();
    for (size_t i = 0; i < kMaxQueuedDeliveries; ++i) {
        ASSERT_TRUE(push(0, 1)) << i;
    }
    EXPECT_FALSE(push(0, 1));
    EXPECT_FALSE(push(7, 1));
    EXPECT_EQ(queue.dropped(), 8u);
}

}  // namespace
}  // namespace scopewatch::directplay
