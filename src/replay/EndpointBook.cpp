#include "replay/EndpointBook.h"

namespace scopewatch::replay {

void EndpointBook::Learn(const capture::CapturedFrame& frame, uint16_t headerPort) {
    if (headerPort != 0) {
        Alias(frame.carrier, frame.from, SenderOf(frame, headerPort));
    }
}

void EndpointBook::Alias(capture::Carrier carrier, const capture::Endpoint& address,
                         const capture::Endpoint& stream) {
    const Key key{carrier, address.ip, address.port};
    const auto found = aliases_.find(key);
    if (found != aliases_.end()) {
        found->second = stream;  // a port used again by another socket
    } else if (aliases_.size() < kMaxAliases) {
        aliases_.emplace(key, stream);
    }
}

capture::Endpoint EndpointBook::ReceiverOf(const capture::CapturedFrame& frame) const {
    const auto found = aliases_.find(Key{frame.carrier, frame.to.ip, frame.to.port});
    if (found != aliases_.end()) {
        return found->second;
    }
    // A stream sent to a listening port is for the machine listening there.
    return frame.to;
}

}  // namespace scopewatch::replay
