#include "directplay/DirectPlayTransport.h"

#include <QNetworkDatagram>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <utility>

#include "shared/ByteReader.h"

namespace scopewatch::directplay {

namespace {
// Qt stops reading from the kernel once this much is buffered, so one connection never
// holds more than this plus one partial message.
constexpr qint64 kSocketReadBuffer = 256 * 1024;
}  // namespace

struct DirectPlayTransport::Connection {
    quint64 id = 0;
    bool outbound = false;
    // The remote machine's listening address: where an outbound connection goes, or whose
    // machine an inbound one was named for (port 0 until then).
    QHostAddress ip;
    quint16 port = 0;
    Bytes pending;     // received bytes not yet delivered
    size_t start = 0;  // the first byte of pending not yet delivered
    size_t skip = 0;   // bytes still to come of a message too large to keep
    // Whether a whole, well-formed message has come over it. An inbound connection without
    // one may be closed to make room, and is closed once the idle time is up.
    bool completedMessage = false;
    std::vector<Bytes> untapped;  // sent before the connection was made
};

DirectPlayTransport::DirectPlayTransport(PortPlan plan, TransportLimits limits)
    : plan_(std::move(plan)), limits_(limits) {}

DirectPlayTransport::~DirectPlayTransport() {
    Close();
}

Status DirectPlayTransport::Open() {
    Close();
    streamServer_ = std::make_unique<QTcpServer>();
    datagramSocket_ = std::make_unique<QUdpSocket>();
    for (int port = plan_.rangeFirst; port <= plan_.rangeLast && streamPort_ == 0; ++port) {
        if (streamServer_->listen(plan_.bindAddress, static_cast<quint16>(port))) {
            streamPort_ = static_cast<quint16>(port);
        }
    }
    // The same number for the datagram port when it is free; peers learn it from our
    // player's address data anyway.
    for (int port = streamPort_; streamPort_ != 0 && port <= plan_.rangeLast; ++port) {
        if (datagramSocket_->bind(plan_.bindAddress, static_cast<quint16>(port))) {
            datagramPort_ = static_cast<quint16>(port);
            break;
        }
    }
    const std::string range =
        std::to_string(plan_.rangeFirst) + "-" + std::to_string(plan_.rangeLast);
    if (streamPort_ == 0 || datagramPort_ == 0) {
        Close();
        return Status::Failed("No free network port in " + range +
                              " (is another session program running?)");
    }
    if (plan_.listenForEnumeration) {
        enumServer_ = std::make_unique<QTcpServer>();
        enumSocket_ = std::make_unique<QUdpSocket>();
        const bool bound =
            enumServer_->listen(plan_.bindAddress, plan_.enumPort) &&
            enumSocket_->bind(plan_.bindAddress, plan_.enumPort,
                              QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
        if (!bound) {
            Close();
            return Status::Failed("Port " + std::to_string(plan_.enumPort) +
                                  " is in use: another session host runs on this machine");
        }
        connect(enumServer_.get(), &QTcpServer::newConnection, this,
                [this] { AcceptStreams(enumServer_.get()); });
        connect(enumSocket_.get(), &QUdpSocket::readyRead, this,
                [this] { ReadDatagrams(enumSocket_.get()); });
    }
    connect(streamServer_.get(), &QTcpServer::newConnection, this,
            [this] { AcceptStreams(streamServer_.get()); });
    connect(datagramSocket_.get(), &QUdpSocket::readyRead, this,
            [this] { ReadDatagrams(datagramSocket_.get()); });
    return Status::Done();
}

namespace {
// Close may run inside a handler of the very socket being closed: delete it later.
template <typename Socket>
void DisposeLater(std::unique_ptr<Socket>& socket) {
    if (socket) {
        socket->disconnect();
        socket->close();
        socket.release()->deleteLater();
    }
}
}  // namespace

void DirectPlayTransport::Close() {
    for (auto& [socket, connection] : connections_) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    connections_.clear();
    outbound_.clear();
    for (auto& [key, probe] : probes_) {
        probe.first->disconnect(this);
        probe.first->abort();
        probe.first->deleteLater();
    }
    probes_.clear();
    DisposeLater(streamServer_);
    DisposeLater(datagramSocket_);
    DisposeLater(enumServer_);
    DisposeLater(enumSocket_);
    streamPort_ = 0;
    datagramPort_ = 0;
}

int DirectPlayTransport::openConnectionCount() const {
    return static_cast<int>(connections_.size());
}

bool DirectPlayTransport::AllWritten() const {
    for (const auto& [key, socket] : outbound_) {
        if (socket->state() != QAbstractSocket::ConnectedState || socket->bytesToWrite() > 0) {
            return false;
        }
    }
    return true;
}

// A write that fails at once reports the error on the spot, and that forgets the connection:
// the sockets are flushed from a copy of the table.
void DirectPlayTransport::Flush() {
    std::vector<QPointer<QTcpSocket>> sockets;
    for (const auto& [key, socket] : outbound_) {
        sockets.emplace_back(socket);
    }
    for (const QPointer<QTcpSocket>& socket : sockets) {
        if (socket && socket->state() == QAbstractSocket::ConnectedState) {
            socket->flush();
        }
    }
}

std::string DirectPlayTransport::Key(const QHostAddress& ip, quint16 port) {
    return ip.toString().toStdString() + ":" + std::to_string(port);
}

// A full table makes room by closing its oldest connection that has sent no whole message:
// peers that connect and stay silent cannot keep the ones that talk out. Only a table of
// connections that all sent one refuses the newcomer.
void DirectPlayTransport::AcceptStreams(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        if (InboundCount() >= limits_.maxInboundConnections) {
            ++rejectedInputs_;
            QTcpSocket* const idle = OldestIdleInbound();
            if (idle == nullptr) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            Forget(idle);
        }
        Watch(socket, false, socket->peerAddress(), 0);
        QTimer::singleShot(limits_.idleInboundMs, socket, [this, socket] { CloseIfIdle(socket); });
        ReadStream(socket);
    }
}

int DirectPlayTransport::InboundCount() const {
    int inbound = 0;
    for (const auto& entry : connections_) {
        inbound += entry.second.outbound ? 0 : 1;
    }
    return inbound;
}

// Connection ids grow with every connection, so the smallest is the oldest.
QTcpSocket* DirectPlayTransport::OldestIdleInbound() const {
    QTcpSocket* oldest = nullptr;
    quint64 oldestId = 0;
    for (const auto& [socket, connection] : connections_) {
        const bool idle = !connection.outbound && !connection.completedMessage;
        if (idle && (oldest == nullptr || connection.id < oldestId)) {
            oldest = socket;
            oldestId = connection.id;
        }
    }
    return oldest;
}

void DirectPlayTransport::CloseIfIdle(QTcpSocket* socket) {
    const auto found = connections_.find(socket);
    if (found != connections_.end() && !found->second.completedMessage) {
        ++rejectedInputs_;
        Forget(socket);
    }
}

void DirectPlayTransport::Watch(QTcpSocket* socket, bool outbound, const QHostAddress& ip,
                                quint16 port) {
    socket->setParent(this);
    socket->setReadBufferSize(kSocketReadBuffer);
    Connection connection;
    connection.id = ++lastConnectionId_;
    connection.outbound = outbound;
    connection.ip = ip;
    connection.port = port;
    connections_[socket] = std::move(connection);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { ReadStream(socket); });
    connect(socket, &QTcpSocket::connected, this, [this, socket] { TapWhenConnected(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { Forget(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError error) {
                const auto found = connections_.find(socket);
                if (found == connections_.end()) {
                    return;
                }
                const QHostAddress ip = found->second.ip;
                const quint16 port = found->second.port;
                const bool outbound = found->second.outbound;
                const std::string reason = error == QAbstractSocket::ConnectionRefusedError
                                               ? "refused the connection"
                                               : socket->errorString().toStdString();
                Forget(socket);
                // A connection that could not be made, or broke while we sent, is a failure;
                // the peer ending a connection is only reported (the peer may just be
                // closing a connection it no longer needs).
                if (outbound && error != QAbstractSocket::RemoteHostClosedError) {
                    if (onFailure_) {
                        onFailure_(ip, port, reason, false);
                    }
                } else if (port != 0 && onClosed_) {
                    onClosed_(ip, port);
                }
            });
}

void DirectPlayTransport::NameConnection(quint64 connection, const QHostAddress& ip, quint16 port) {
    for (auto& [socket, known] : connections_) {
        if (known.id == connection && !known.outbound) {
            known.ip = ip;
            known.port = port;
            return;
        }
    }
}

void DirectPlayTransport::Forget(QTcpSocket* socket) {
    const auto found = connections_.find(socket);
    if (found == connections_.end()) {
        return;
    }
    if (found->second.outbound) {
        outbound_.erase(Key(found->second.ip, found->second.port));
    }
    connections_.erase(found);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void DirectPlayTransport::ReadStream(QTcpSocket* socket) {
    while (connections_.count(socket) != 0 && socket->bytesAvailable() > 0) {
        const QByteArray chunk = socket->read(kSocketReadBuffer);
        Connection& connection = connections_[socket];
        Bytes& pending = connection.pending;
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(connection.start));
        connection.start = 0;
        pending.insert(pending.end(), chunk.begin(), chunk.end());
        DeliverFrames(socket);
    }
}

// Each message counts as taken before it is delivered, so a handler that runs the event loop
// (which may read this connection again) never sees a message twice.
void DirectPlayTransport::DeliverFrames(QTcpSocket* socket) {
    for (;;) {
        const auto found = connections_.find(socket);
        if (found == connections_.end()) {
            return;  // a handler closed the connection
        }
        Connection& connection = found->second;
        const Bytes& buffer = connection.pending;
        if (connection.skip > 0) {
            const size_t skipped = std::min(connection.skip, buffer.size() - connection.start);
            connection.start += skipped;
            connection.skip -= skipped;
            if (connection.skip > 0) {
                return;
            }
        }
        const size_t at = connection.start;
        const ByteReader pending(buffer);
        if (!pending.Contains(at + prefix::kSizeWord, sizeof(uint32_t))) {
            return;
        }
        const uint32_t word = pending.UInt32At(at + prefix::kSizeWord);
        const auto size = FrameSize(word);
        if (!size && IsLargeFrame(word)) {
            // A well-formed message larger than we keep: its bytes are passed over as they
            // come, and the connection goes on with the next message.
            ++rejectedInputs_;
            connection.skip = SizeInWord(word);
            continue;
        }
        if (!size) {
            // The stream cannot be resynchronised after a bad size word.
            ++rejectedInputs_;
            TapStream(socket, false, std::span<const uint8_t>(buffer).subspan(at));
            Forget(socket);
            return;
        }
        if (buffer.size() - at < *size) {
            return;
        }
        const Bytes frame(buffer.begin() + static_cast<long>(at),
                          buffer.begin() + static_cast<long>(at + *size));
        connection.start += *size;
        TapStream(socket, false, frame);
        const Outcome<Decoded> result = Decode(frame.data(), frame.size());
        // Marked before the handler runs: it may wait in an event loop while the idle time
        // runs out.
        connection.completedMessage = connection.completedMessage || result.ok();
        const Origin origin{socket->peerAddress(), false, socket->peerPort(), connection.id};
        Deliver(result, origin);
    }
}

void DirectPlayTransport::ReadDatagrams(QUdpSocket* socket) {
    const auto stillOurs = [this, socket] {
        return socket == datagramSocket_.get() || socket == enumSocket_.get();
    };
    while (stillOurs() && socket->hasPendingDatagrams()) {
        const qint64 size = socket->pendingDatagramSize();
        if (size < 0 || static_cast<size_t>(size) > kMaxMessageSize) {
            socket->readDatagram(nullptr, 0);  // discard it
            ++rejectedInputs_;
            continue;
        }
        const QNetworkDatagram datagram = socket->receiveDatagram(size);
        const QByteArray data = datagram.data();
        const Origin origin{datagram.senderAddress(), true,
                            static_cast<quint16>(datagram.senderPort())};
        if (tap_) {
            const QHostAddress to = datagram.destinationAddress();
            tap_({false, true, to.isNull() ? socket->localAddress() : to, socket->localPort(),
                  origin.sourceIp, origin.sourcePort,
                  std::span(reinterpret_cast<const uint8_t*>(data.constData()),
                            static_cast<size_t>(data.size()))});
        }
        Deliver(DecodeDatagram(reinterpret_cast<const uint8_t*>(data.constData()),
                               static_cast<size_t>(data.size())),
                origin);
    }
}

// A stream frame was cut at its size word already and decoded whole. A datagram is taken
// whole from the socket and decoded as the message its size word describes, as a sender may
// pad it after the message.
void DirectPlayTransport::Deliver(const Outcome<Decoded>& result, const Origin& origin) {
    if (!result.ok()) {
        ++rejectedInputs_;
        return;
    }
    if (onMessage_) {
        onMessage_(*result.value, origin);
    }
}

void DirectPlayTransport::SendStream(const QHostAddress& ip, quint16 port, const Bytes& bytes) {
    if (!streamServer_) {
        return;
    }
    const std::string key = Key(ip, port);
    QTcpSocket* socket = nullptr;
    if (const auto found = outbound_.find(key); found != outbound_.end()) {
        socket = found->second;
    } else {
        if (static_cast<int>(outbound_.size()) >= limits_.maxOutboundConnections) {
            ++rejectedInputs_;
            return;
        }
        socket = new QTcpSocket(this);
        Watch(socket, true, ip, port);
        outbound_[key] = socket;
        socket->connectToHost(ip, port);
        QTimer::singleShot(limits_.connectTimeoutMs, socket, [this, socket] {
            if (socket->state() != QAbstractSocket::ConnectedState) {
                const auto found = connections_.find(socket);
                if (found == connections_.end()) {
                    return;
                }
                const Connection connection = found->second;
                Forget(socket);
                if (onFailure_) {
                    onFailure_(connection.ip, connection.port,
                               "did not accept a connection within " +
                                   std::to_string(limits_.connectTimeoutMs / 1000) + " seconds",
                               true);
                }
            }
        });
    }
    if (socket->bytesToWrite() + static_cast<qint64>(bytes.size()) > limits_.maxPendingWriteBytes) {
        // The peer stopped reading: give up on this connection rather than buffer forever.
        Forget(socket);
        if (onFailure_) {
            onFailure_(ip, port, "stopped reading our messages", false);
        }
        return;
    }
    socket->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (tap_ && socket->state() == QAbstractSocket::ConnectedState) {
        TapStream(socket, true, bytes);
    } else if (tap_) {
        connections_[socket].untapped.push_back(bytes);
    }
}

void DirectPlayTransport::TapStream(QTcpSocket* socket, bool sent,
                                    std::span<const uint8_t> bytes) const {
    if (tap_) {
        tap_({sent, false, socket->localAddress(), socket->localPort(), socket->peerAddress(),
              socket->peerPort(), bytes});
    }
}

void DirectPlayTransport::TapWhenConnected(QTcpSocket* socket) {
    const auto found = connections_.find(socket);
    if (found != connections_.end()) {
        for (const Bytes& bytes : std::exchange(found->second.untapped, {})) {
            TapStream(socket, true, bytes);
        }
    }
}

void DirectPlayTransport::SendDatagram(const QHostAddress& ip, quint16 port, const Bytes& bytes) {
    if (!datagramSocket_) {
        return;
    }
    datagramSocket_->writeDatagram(reinterpret_cast<const char*>(bytes.data()),
                                   static_cast<qint64>(bytes.size()), ip, port);
    if (tap_) {
        tap_({true, true, datagramSocket_->localAddress(), datagramPort_, ip, port, bytes});
    }
}

void DirectPlayTransport::Disconnect(const QHostAddress& ip, quint16 port) {
    if (const auto found = outbound_.find(Key(ip, port)); found != outbound_.end()) {
        Forget(found->second);
    }
}

void DirectPlayTransport::Probe(const QHostAddress& ip, quint16 port, ProbeHandler done) {
    const std::string key = Key(ip, port);
    if (!streamServer_ || probes_.count(key) != 0 ||
        static_cast<int>(probes_.size()) >= limits_.maxProbes) {
        return;
    }
    auto* socket = new QTcpSocket(this);
    probes_[key] = {socket, std::move(done)};
    connect(socket, &QTcpSocket::connected, this,
            [this, key, socket] { FinishProbe(key, socket, Status::Done()); });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, key, socket](QAbstractSocket::SocketError error) {
                FinishProbe(key, socket,
                            Status::Failed(error == QAbstractSocket::ConnectionRefusedError
                                               ? "refused the connection"
                                               : socket->errorString().toStdString()));
            });
    QTimer::singleShot(limits_.connectTimeoutMs, socket, [this, key, socket] {
        FinishProbe(key, socket,
                    Status::Failed("did not accept a connection within " +
                                   std::to_string(limits_.connectTimeoutMs / 1000) + " seconds"));
    });
    socket->connectToHost(ip, port);
}

void DirectPlayTransport::FinishProbe(const std::string& key, QTcpSocket* socket,
                                      const Status& answer) {
    const auto found = probes_.find(key);
    if (found == probes_.end() || found->second.first != socket) {
        return;
    }
    const ProbeHandler done = std::move(found->second.second);
    probes_.erase(found);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    if (done) {
        done(answer);
    }
}

}  // namespace scopewatch::directplay
