#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "directplay/DirectPlayTransport.h"
#include "shared/Outcome.h"

namespace scopewatch::directplay {

// Opens and closes a machine's sockets. Leaving sends its last messages and returns: the
// sockets close once those are written, or after the flush time-out, and then the closing is
// reported as finished.
class TransportCloser {
  public:
    TransportCloser(DirectPlayTransport& transport, int flushTimeoutMs);

    // Called once a closing has finished (also when it is called off by opening again).
    void SetFinishedHandler(std::function<void()> finished) { finished_ = std::move(finished); }
    // Opens the sockets unless they are open; a closing under way is called off and its
    // sockets kept.
    Status Open();
    // Sends what is still queued and closes the sockets once it is out, or after the flush
    // time-out. Returns at once.
    void CloseWhenSent();
    bool closing() const { return closing_; }

  private:
    void Finish();

    DirectPlayTransport& transport_;
    int flushTimeoutMs_;
    std::function<void()> finished_;
    bool closing_ = false;
    QTimer poll_;
    QElapsedTimer since_;
};

}  // namespace scopewatch::directplay
