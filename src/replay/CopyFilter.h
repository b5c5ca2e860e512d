#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <unordered_map>
#include <vector>

#include "capture/CapturedFrame.h"

namespace scopewatch::replay {

// A message goes to every machine of a session as a copy of its own (and, where the host relays,
// once to the host and again from it). An observer that sees several copies counts the message
// once: a copy is the same sender and bytes going to another machine within a short time. The
// same bytes to the same machine again are a new message (a standing aircraft repeats itself).
class CopyFilter {
  public:
    static constexpr int64_t kWindowMicros = 2'000'000;
    static constexpr size_t kMaxRemembered = 65536;
    static constexpr size_t kMaxMachines = 256;  // machines remembered per message

    // True when the message is a copy of one counted before; else it is remembered.
    bool IsCopy(uint32_t sender, std::span<const uint8_t> bytes, const capture::Endpoint& to,
                int64_t micros);

  private:
    struct Sent {
        int64_t micros = 0;
        std::vector<capture::Endpoint> to;
    };
    void Forget(int64_t now);

    std::unordered_map<uint64_t, Sent> recent_;  // by a hash of sender and bytes
    std::deque<std::pair<int64_t, uint64_t>> order_;
};

}  // namespace scopewatch::replay
