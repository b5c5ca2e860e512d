#include "directplay/DeliveryQueue.h"

namespace scopewatch::directplay {

bool DeliveryQueue::Push(Delivery delivery) {
    const size_t size = delivery.payload.size();
    const auto share = shares_.find(delivery.idFrom);
    const bool senderFull = delivery.idFrom != 0 && share != shares_.end() &&
                            (share->second.messages >= kMaxQueuedPerSender ||
                             share->second.bytes + size > kMaxQueuedBytesPerSender);
    if (senderFull || deliveries_.size() >= kMaxQueuedDeliveries ||
        bytes_ + size > kMaxQueuedBytes) {
        ++dropped_;
        return false;
    }
    bytes_ += size;
    Share& held = shares_[delivery.idFrom];
    ++held.messages;
    held.bytes += size;
    deliveries_.push_back(std::move(delivery));
    return true;
}

std::optional<Delivery> DeliveryQueue::Take() {
    if (deliveries_.empty()) {
        return std::nullopt;
    }
    Delivery delivery = std::move(deliveries_.front());
    deliveries_.pop_front();
    bytes_ -= delivery.payload.size();
    if (const auto share = shares_.find(delivery.idFrom); share != shares_.end()) {
        share->second.bytes -= delivery.payload.size();
        if (--share->second.messages == 0) {
            shares_.erase(share);
        }
    }
    return delivery;
}

void DeliveryQueue::Clear() {
    deliveries_.clear();
    bytes_ = 0;
    shares_.clear();
}

}  // namespace scopewatch::directplay
