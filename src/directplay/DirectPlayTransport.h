#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QUdpSocket>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>

#include "directplay/DirectPlayCodec.h"
#include "shared/Outcome.h"

class QTcpSocket;

namespace scopewatch::directplay {

// Where our sockets live. The defaults are DirectPlay's; tests move them elsewhere so that
// they neither collide with each other nor with a session running on the same machine.
struct PortPlan {
    uint16_t enumPort = 47624;
    uint16_t rangeFirst = 2300;
    uint16_t rangeLast = 2400;
    bool listenForEnumeration = false;  // a host listens on enumPort too
    QHostAddress bindAddress = QHostAddress::AnyIPv4;
};

// Limits that keep a hostile or broken peer from growing our memory without bound.
struct TransportLimits {
    int maxInboundConnections = 64;
    qint64 maxPendingWriteBytes = 1024 * 1024;  // per outbound connection
    int maxOutboundConnections = 128;
    int maxProbes = 16;
    int connectTimeoutMs = 5000;
    int idleInboundMs = 10000;  // an inbound connection with no whole message by then is closed
};

// Where a received message came from.
struct Origin {
    QHostAddress sourceIp;
    bool datagram = false;
    quint16 sourcePort = 0;  // the socket's source port (ephemeral on TCP)
    quint64 connection = 0;  // the TCP connection it came over (0 for datagrams)
};

// A frame that crossed one of the transport's sockets, for a recording of the session: sent or
// received, over a connection or in a datagram, between the addresses the socket has (a socket
// bound to every address has 0.0.0.0 as its local one).
struct Crossing {
    bool sent = false;
    bool datagram = false;
    QHostAddress localIp;
    quint16 localPort = 0;
    QHostAddress peerIp;
    quint16 peerPort = 0;
    // The frame; for a stream given up on after an impossible size word, all it still held.
    std::span<const uint8_t> bytes;
};

// The TCP/IP service provider: listens on the first free port of the range (TCP and UDP),
// reads whole messages from every connection, inbound or outbound, and sends each message
// over one outbound connection per remote listening address, opened on demand.
class DirectPlayTransport : public QObject {
    Q_OBJECT
  public:
    using MessageHandler = std::function<void(const Decoded&, const Origin&)>;
    // `unanswered`: the connection was never accepted within the connect time-out (a lossy
    // link may lose every handshake for that long), rather than refused or broken.
    using FailureHandler = std::function<void(const QHostAddress&, quint16 port,
                                              const std::string& reason, bool unanswered)>;
    // The remote side ended a connection we know the machine of (by its listening address).
    using ClosedHandler = std::function<void(const QHostAddress&, quint16 port)>;
    // The outcome of a probe: done when the address accepted a connection, else why not.
    using ProbeHandler = std::function<void(const Status& answer)>;
    using Tap = std::function<void(const Crossing&)>;

    explicit DirectPlayTransport(PortPlan plan, TransportLimits limits = {});
    ~DirectPlayTransport() override;

    // Binds the sockets; a failure says why in words a user can act on.
    Status Open();
    void Close();

    quint16 streamPort() const { return streamPort_; }
    quint16 datagramPort() const { return datagramPort_; }
    const PortPlan& plan() const { return plan_; }
    // The address to put in every header we send.
    SockAddr OurAddress() const { return SockAddr{streamPort_, 0}; }

    void SetMessageHandler(MessageHandler handler) { onMessage_ = std::move(handler); }
    // Called when a connection to a remote listening address could not be made or broke.
    void SetFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }
    // Called when a peer closes or resets a connection: an outbound one, or an inbound one
    // named with NameConnection. Not called for connections we close ourselves.
    void SetClosedHandler(ClosedHandler handler) { onClosed_ = std::move(handler); }
    // Shown every frame sent and received, on every socket, and a frame received that did not
    // decode too. A frame sent over a connection still being made is shown once it is made, and
    // never when it is not.
    void SetTap(Tap tap) { tap_ = std::move(tap); }
    // Records whose listening address an inbound connection belongs to (the connection of an
    // Origin), so that its end can be reported.
    void NameConnection(quint64 connection, const QHostAddress& ip, quint16 port);

    void SendStream(const QHostAddress& ip, quint16 port, const Bytes& bytes);
    void SendDatagram(const QHostAddress& ip, quint16 port, const Bytes& bytes);
    // Drops the outbound connection to that address (the next send opens a new one).
    void Disconnect(const QHostAddress& ip, quint16 port);
    // Opens a connection of its own to a listening address, closes it as soon as it is
    // accepted and reports whether it was. Nothing is sent over it. One probe per address at
    // a time; a probe asked for while another runs to that address is dropped.
    void Probe(const QHostAddress& ip, quint16 port, ProbeHandler done);

    // True when every outbound connection is up and has nothing left to write.
    bool AllWritten() const;
    // Hands what the outbound connections hold to the system now, as far as it takes it.
    void Flush();

    // Counters for tests and logs.
    int rejectedInputs() const { return rejectedInputs_; }
    int openConnectionCount() const;

  private:
    struct Connection;

    void AcceptStreams(QTcpServer* server);
    int InboundCount() const;
    // The longest-open inbound connection that has completed no message, or none.
    QTcpSocket* OldestIdleInbound() const;
    // Closes an inbound connection that has completed no message yet.
    void CloseIfIdle(QTcpSocket* socket);
    void Watch(QTcpSocket* socket, bool outbound, const QHostAddress& ip, quint16 port);
    void ReadStream(QTcpSocket* socket);
    void DeliverFrames(QTcpSocket* socket);
    void TapStream(QTcpSocket* socket, bool sent, std::span<const uint8_t> bytes) const;
    // The frames sent before the connection was made, now that it is.
    void TapWhenConnected(QTcpSocket* socket);
    void FinishProbe(const std::string& key, QTcpSocket* socket, const Status& answer);
    void ReadDatagrams(QUdpSocket* socket);
    // Passes a decoded message on, or counts one that did not decode.
    void Deliver(const Outcome<Decoded>& result, const Origin& origin);
    void Forget(QTcpSocket* socket);
    static std::string Key(const QHostAddress& ip, quint16 port);

    PortPlan plan_;
    TransportLimits limits_;
    MessageHandler onMessage_;
    FailureHandler onFailure_;
    ClosedHandler onClosed_;
    Tap tap_;
    std::unique_ptr<QTcpServer> streamServer_;
    std::unique_ptr<QUdpSocket> datagramSocket_;
    std::unique_ptr<QTcpServer> enumServer_;
    std::unique_ptr<QUdpSocket> enumSocket_;
    quint16 streamPort_ = 0;
    quint16 datagramPort_ = 0;
    std::map<QTcpSocket*, Connection> connections_;
    std::map<std::string, QTcpSocket*> outbound_;
    std::map<std::string, std::pair<QTcpSocket*, ProbeHandler>> probes_;
    quint64 lastConnectionId_ = 0;
    int rejectedInputs_ = 0;
};

}  // namespace scopewatch::directplay
