#pragma once

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>
#include <cstdint>
#include <functional>

#include "directplay/DirectPlayCodec.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::testing {

// A peer that speaks to our DirectPlay client directly, over a TCP connection of its own to
// the client's listening port: it sends whatever bytes it is given, framed or not, and may
// leave in the middle of a message. Nothing it sends passes through our own encoder's or
// host's limits.
class RawPeer {
  public:
    // Connects, and waits for the connection unless told not to.
    explicit RawPeer(quint16 port, bool wait = true) {
        socket_.connectToHost(QHostAddress::LocalHost, port);
        if (wait) {
            SpinUntil([&] { return connected(); }, 2000);
        }
    }

    bool connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    void Send(const directplay::Bytes& bytes) {
        socket_.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qint64>(bytes.size()));
        socket_.flush();
    }
    // Player data as a peer of the session sends it: from one player to another.
    void SendPlayerData(uint32_t from, uint32_t to, const directplay::Bytes& payload) {
        Send(directplay::EncodePlayerData(directplay::SockAddr{40000, 0}, from, to, payload));
    }
    // Goes without a word: the connection is reset.
    void Vanish() { socket_.abort(); }
    qint64 unsentBytes() const { return socket_.bytesToWrite(); }

  private:
    QTcpSocket socket_;
};

// Sends player data at a steady rate over a raw connection while it runs, counting what it
// sent. It writes no faster than the receiver reads: a message that finds more than 4 MiB
// unsent is skipped and counted, so the test's own socket buffer does not grow.
class Flood {
  public:
    // The payload of the n-th message.
    using Payload = std::function<directplay::Bytes(int64_t n)>;

    Flood(quint16 port, uint32_t from, uint32_t to, int perSecond, Payload payload)
        : peer_(port), from_(from), to_(to), perSecond_(perSecond), payload_(std::move(payload)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { SendDue(); });
    }

    void Start() {
        clock_.start();
        timer_.start(5);
    }
    void Stop() { timer_.stop(); }
    int64_t sent() const { return sent_; }
    int64_t skipped() const { return skipped_; }

  private:
    void SendDue() {
        for (const int64_t due = clock_.elapsed() * perSecond_ / 1000; sent_ + skipped_ < due;) {
            if (peer_.unsentBytes() > kMostUnsent) {
                ++skipped_;
            } else {
                peer_.SendPlayerData(from_, to_, payload_(sent_++));
            }
        }
    }

    static constexpr qint64 kMostUnsent = 4 * 1024 * 1024;
    RawPeer peer_;
    uint32_t from_, to_;
    int perSecond_;
    Payload payload_;
    QTimer timer_;
    QElapsedTimer clock_;
    int64_t sent_ = 0, skipped_ = 0;
};

}  // namespace scopewatch::testing
