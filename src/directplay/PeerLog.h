#pragma once

#include <QHostAddress>
#include <QtGlobal>
#include <cstddef>
#include <functional>
#include <string>

#include "directplay/DirectPlayCodec.h"
#include "directplay/DirectPlayTransport.h"

namespace scopewatch::directplay {

using Logger = std::function<void(const std::string&)>;

// "ip:port", as the log names a place.
std::string Where(const QHostAddress& ip, quint16 port);

// What one machine writes in its log, and the count of messages it refused: what a sender may
// not send is dropped unread and counted, and the log says so at most once a second, so a
// flood of it cannot flood the log.
class PeerLog {
  public:
    void SetLogger(Logger logger) { logger_ = std::move(logger); }
    void Line(const std::string& line) const;
    void Refused(const Decoded& decoded, const Origin& origin, qint64 nowMs);
    size_t refused() const { return refused_; }

  private:
    Logger logger_;
    size_t refused_ = 0;
    size_t refusedSinceLine_ = 0;
    qint64 lastRefusalLineMs_ = -1000000;
};

}  // namespace scopewatch::directplay
