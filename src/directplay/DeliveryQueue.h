#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>

#include "directplay/DirectPlayCodec.h"

namespace scopewatch::directplay {

// Caps on what a peer can make us hold. The game's messages are tens of bytes, so the byte
// cap only holds back a peer sending large player data: without it, 2048 messages of up to
// 128 KiB would be 256 MiB.
inline constexpr size_t kMaxQueuedDeliveries = 2048;
inline constexpr size_t kMaxQueuedBytes = 4 * 1024 * 1024;
// No one player may hold more than a quarter of the queue, by count or by bytes, so that a
// player who floods the session, or sends a burst of large messages (a simulator sends its
// aircraft files in segments), cannot shut the others' messages out.
inline constexpr size_t kMaxQueuedPerSender = kMaxQueuedDeliveries / 4;
inline constexpr size_t kMaxQueuedBytesPerSender = kMaxQueuedBytes / 4;

// Application data for one of our players.
struct Delivery {
    uint32_t idFrom = 0;
    uint32_t idTo = 0;
    Bytes payload;
    // The sender lives on the session host's machine (in a session without message ids: the
    // data came from the host's address).
    bool fromHost = false;
};

// Player data waiting for the program, oldest first. Once the queue is full (kMaxQueued-
// Deliveries messages or kMaxQueuedBytes of payload), or holds a sender's share
// (kMaxQueuedPerSender messages or kMaxQueuedBytesPerSender bytes), new data (of that sender)
// is dropped and counted. Data of a session without message ids names no sender (idFrom 0)
// and shares the whole queue.
class DeliveryQueue {
  public:
    // False when the delivery was dropped.
    bool Push(Delivery delivery);
    std::optional<Delivery> Take();
    void Clear();

    size_t count() const { return deliveries_.size(); }
    size_t bytes() const { return bytes_; }
    size_t dropped() const { return dropped_; }

  private:
    struct Share {
        size_t messages = 0;
        size_t bytes = 0;
    };

    std::deque<Delivery> deliveries_;
    size_t bytes_ = 0;
    std::map<uint32_t, Share> shares_;  // what waits, by sender
    size_t dropped_ = 0;
};

}  // namespace scopewatch::directplay
