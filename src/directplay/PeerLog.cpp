#include "directplay/PeerLog.h"

namespace scopewatch::directplay {

namespace {
constexpr qint64 kRefusalLineIntervalMs = 1000;
}  // namespace

std::string Where(const QHostAddress& ip, quint16 port) {
    return ip.toString().toStdString() + ":" + std::to_string(port);
}

void PeerLog::Line(const std::string& line) const {
    if (logger_) {
        logger_(line);
    }
}

void PeerLog::Refused(const Decoded& decoded, const Origin& origin, qint64 nowMs) {
    ++refused_;
    ++refusedSinceLine_;
    if (nowMs - lastRefusalLineMs_ < kRefusalLineIntervalMs) {
        return;
    }
    Line("dropped " + std::to_string(refusedSinceLine_) +
         " message(s) from senders that may not send them, the last from " +
         Where(origin.sourceIp, origin.sourcePort) + (origin.datagram ? " (udp) " : " ") +
         Describe(decoded));
    refusedSinceLine_ = 0;
    lastRefusalLineMs_ = nowMs;
}

}  // namespace scopewatch::directplay
