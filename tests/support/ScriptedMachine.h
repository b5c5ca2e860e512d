#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "directplay/DirectPlayCodec.h"
#include "shared/ByteReader.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::testing {

// A DirectPlay machine driven by hand, standing in for an implementation we did not write: it
// listens on a port of its own, sends exactly the bytes it is given (over one connection per
// destination port, opened on demand) and keeps every message it receives, raw and decoded.
class ScriptedMachine {
  public:
    struct Received {
        directplay::Bytes bytes;
        directplay::Decoded decoded;
    };

    // Lives at `address`: it listens there and sends from there (any 127.x.y.z is this
    // machine's loopback, so one test can hold machines at several addresses).
    explicit ScriptedMachine(QHostAddress address = QHostAddress::LocalHost)
        : address_(std::move(address)) {
        server_.listen(address_);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                Watch(std::unique_ptr<QTcpSocket>(socket));
            }
        });
    }

    quint16 port() const { return server_.serverPort(); }
    directplay::SockAddr address() const { return directplay::SockAddr{port(), 0}; }
    // Called for every message as it arrives (it is kept for Take as well).
    void OnReceive(std::function<void(const Received&)> respond) { respond_ = std::move(respond); }

    // Sends one datagram from this machine's address.
    void SendDatagram(quint16 port, const directplay::Bytes& bytes) {
        QUdpSocket socket;
        socket.bind(address_, 0);
        socket.writeDatagram(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qint64>(bytes.size()), QHostAddress::LocalHost, port);
    }
    void SendTo(quint16 port, const directplay::Bytes& bytes) {
        if (outbound_.count(port) == 0) {
            auto socket = std::make_unique<QTcpSocket>();
            socket->bind(address_);
            socket->connectToHost(QHostAddress::LocalHost, port);
            outbound_[port] = socket.get();
            Watch(std::move(socket));
        }
        outbound_[port]->write(reinterpret_cast<const char*>(bytes.data()),
                               static_cast<qint64>(bytes.size()));
    }

    // The first message with this command not taken before (0 for player data).
    std::optional<Received> Take(uint16_t command, int timeoutMs = 3000) {
        std::optional<Received> taken;
        SpinUntil(
            [&] {
                for (auto it = received_.begin(); !taken && it != received_.end(); ++it) {
                    if (it->decoded.command == command) {
                        taken = std::move(*it);
                        received_.erase(it);
                        break;
                    }
                }
                return taken.has_value();  // asked again once done: takes nothing more
            },
            timeoutMs);
        return taken;
    }

    // Leaves the way a program that quits does: no message, every socket closed.
    void Vanish() {
        server_.close();
        for (auto& socket : sockets_) {
            socket->abort();
        }
        outbound_.clear();
    }

  private:
    void Watch(std::unique_ptr<QTcpSocket> socket) {
        QTcpSocket* raw = socket.get();
        sockets_.push_back(std::move(socket));
        auto pending = std::make_shared<directplay::Bytes>();
        QObject::connect(raw, &QTcpSocket::readyRead, [this, raw, pending] {
            const QByteArray chunk = raw->readAll();
            pending->insert(pending->end(), chunk.begin(), chunk.end());
            while (pending->size() >= sizeof(uint32_t)) {
                const auto size = directplay::FrameSize(
                    ByteReader(*pending).UInt32At(directplay::prefix::kSizeWord));
                if (!size || pending->size() < *size) {
                    return;
                }
                const auto end = pending->begin() + static_cast<long>(*size);
                directplay::Bytes frame(pending->begin(), end);
                pending->erase(pending->begin(), end);
                if (const auto result = directplay::Decode(frame); result.ok()) {
                    received_.push_back(Received{std::move(frame), *result.value});
                    if (respond_) {
                        respond_(received_.back());
                    }
                }
            }
        });
    }

    QHostAddress address_;
    QTcpServer server_;
    std::vector<std::unique_ptr<QTcpSocket>> sockets_;
    std::map<quint16, QTcpSocket*> outbound_;
    std::vector<Received> received_;
    std::function<void(const Received&)> respond_;
};

}  // namespace scopewatch::testing
