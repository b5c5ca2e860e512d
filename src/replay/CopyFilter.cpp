#include "replay/CopyFilter.h"

#include <algorithm>

namespace scopewatch::replay {

namespace {

// FNV-1a over the sender's id and the bytes.
uint64_t SentHash(uint32_t sender, std::span<const uint8_t> bytes) {
    constexpr uint64_t kPrime = 1099511628211ULL;
    uint64_t hash = 14695981039346656037ULL;
    for (int shift = 0; shift < 32; shift += 8) {
        hash = (hash ^ ((sender >> shift) & 0xFF)) * kPrime;
    }
    for (const uint8_t byte : bytes) {
        hash = (hash ^ byte) * kPrime;
    }
    return hash;
}

}  // namespace

void CopyFilter::Forget(int64_t now) {
    while (!order_.empty() &&
           (order_.front().first < now - kWindowMicros || order_.size() > kMaxRemembered)) {
        const auto [micros, hash] = order_.front();
        order_.pop_front();
        const auto found = recent_.find(hash);
        if (found != recent_.end() && found->second.micros == micros) {
            recent_.erase(found);
        }
    }
}

bool CopyFilter::IsCopy(uint32_t sender, std::span<const uint8_t> bytes, const Receiver& to,
                        int64_t micros) {
    Forget(micros);
    const uint64_t hash = SentHash(sender, bytes);
    Sent& sent = recent_[hash];
    const bool known = !sent.to.empty() && micros - sent.micros <= kWindowMicros;
    if (known && std::find(sent.to.begin(), sent.to.end(), to) == sent.to.end()) {
        if (sent.to.size() < kMaxReceivers) {
            sent.to.push_back(to);
        }
        return true;
    }
    sent.micros = micros;
    sent.to.assign(1, to);
    order_.emplace_back(micros, hash);
    return false;
}

}  // namespace scopewatch::replay
