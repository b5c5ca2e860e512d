#pragma once

#include <cstdint>
#include <map>
#include <tuple>

#include "capture/CapturedFrame.h"

namespace scopewatch::replay {

// Which machine each address a capture saw stands for, by the machine's stream (listening)
// address. A machine sends from other ports than the one it listens on (a connection it opened,
// its datagram socket); every message carries its listening port in the header, so each
// source address it sent from is learnt as standing for it, and what goes back there is for it.
class EndpointBook {
  public:
    static constexpr size_t kMaxAliases = 65536;

    // The sender's listening address: its source address with the port of its header.
    static capture::Endpoint SenderOf(const capture::CapturedFrame& frame, uint16_t headerPort) {
        return capture::Endpoint{frame.from.ip, headerPort};
    }
    // Learns that the frame's source stands for its sender.
    void Learn(const capture::CapturedFrame& frame, uint16_t headerPort);
    // Learns that the address stands for the machine listening at `stream`.
    void Alias(capture::Carrier carrier, const capture::Endpoint& address,
               const capture::Endpoint& stream);
    // The listening address of the machine the frame went to (its own address when unknown).
    capture::Endpoint ReceiverOf(const capture::CapturedFrame& frame) const;

  private:
    using Key = std::tuple<capture::Carrier, uint32_t, uint16_t>;
    std::map<Key, capture::Endpoint> aliases_;
};

}  // namespace scopewatch::replay
