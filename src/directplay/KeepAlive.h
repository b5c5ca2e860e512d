#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <map>
#include <string>

#include "directplay/DirectPlayTransport.h"
#include "directplay/NameTable.h"
#include "directplay/Outbox.h"
#include "directplay/PeerLog.h"
#include "directplay/Timings.h"

namespace scopewatch::directplay {

// Notices the machines of the session that have gone. In a keep-alive session a machine silent
// for keepAliveMs is pinged, and one that leaves maxMissedPings pings unanswered is gone. In
// every session a connection to a machine that fails when we send means it is gone, and when
// a machine ends a connection, a knock on its listening port tells whether it is still there.
class KeepAlive {
  public:
    // `unanswered`: a connection to the machine was not accepted in time, which a lossy link
    // can cause as well as a machine that is gone.
    using GoneHandler =
        std::function<void(uint32_t systemId, const std::string& reason, bool unanswered)>;

    KeepAlive(DirectPlayTransport& transport, const NameTable& table, Outbox& outbox,
              const PeerLog& log, const Timings& timings, const QElapsedTimer& clock);

    void SetGoneHandler(GoneHandler gone) { gone_ = std::move(gone); }
    // Starts the pings if the session asks for them.
    void Start();
    void Stop() { timer_.stop(); }
    // A machine was heard from (or has just joined): its silence starts anew.
    void Heard(uint32_t systemId);
    void Forget(uint32_t systemId) { silence_.erase(systemId); }
    void Clear() { silence_.clear(); }

  private:
    struct Silence {
        qint64 lastHeardMs = 0;
        int missedPings = 0;
    };

    void Tick();
    void ConnectionFailed(const QHostAddress& ip, quint16 port, const std::string& reason,
                          bool unanswered);
    void ConnectionClosed(const QHostAddress& ip, quint16 port);
    void Knocked(const QHostAddress& ip, quint16 port, const Status& answer);
    void Gone(uint32_t systemId, const std::string& reason, bool unanswered = false) const;

    DirectPlayTransport& transport_;
    const NameTable& table_;
    Outbox& outbox_;
    const PeerLog& log_;
    const Timings& timings_;
    const QElapsedTimer& clock_;
    GoneHandler gone_;
    std::map<uint32_t, Silence> silence_;
    QTimer timer_;
};

}  // namespace scopewatch::directplay
