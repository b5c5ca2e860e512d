#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <unordered_map>
#include <vector>

#include "capture/CapturedFrame.h"

namespace scopewatch::replay {

// A message to all goes to every player of a session as a copy of its own, several to one
// machine where it holds several players (and, where the host relays, once to the host and
// again from it). An observer that sees several copies counts the message once: a copy is the
// same sender and bytes going to another player or machine within a short time. The same bytes
// to the same player again are a new message (a standing aircraft repeats itself).
class CopyFilter {
  public:
    static constexpr int64_t kWindowMicros = 2'000'000;
    static constexpr size_t kMaxRemembered = 65536;
    static constexpr size_t kMaxReceivers = 256;  // receivers remembered per message

    // Where a message went: the machine, and the player there (0 where the data names none).
    struct Receiver {
        capture::Endpoint machine;
        uint32_t player = 0;
        bool operator==(const Receiver&) const = default;
    };

    // True when the message is a copy of one counted before; else it is remembered.
    bool IsCopy(uint32_t sender, std::span<const uint8_t> bytes, const Receiver& to,
                int64_t micros);

  private:
    struct Sent {
        int64_t micros = 0;
        std::vector<Receiver> to;
    };
    void Forget(int64_t now);

    std::unordered_map<uint64_t, Sent> recent_;  // by a hash of sender and bytes
    std::deque<std::pair<int64_t, uint64_t>> order_;
};

}  // namespace scopewatch::replay
