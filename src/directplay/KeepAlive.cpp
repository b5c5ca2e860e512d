#include "directplay/KeepAlive.h"

namespace scopewatch::directplay {

KeepAlive::KeepAlive(DirectPlayTransport& transport, const NameTable& table, Outbox& outbox,
                     const PeerLog& log, const Timings& timings, const QElapsedTimer& clock)
    : transport_(transport),
      table_(table),
      outbox_(outbox),
      log_(log),
      timings_(timings),
      clock_(clock) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    transport_.SetFailureHandler(
        [this](const QHostAddress& ip, quint16 port, const std::string& reason, bool unanswered) {
            ConnectionFailed(ip, port, reason, unanswered);
        });
    transport_.SetClosedHandler(
        [this](const QHostAddress& ip, quint16 port) { ConnectionClosed(ip, port); });
}

void KeepAlive::Start() {
    if ((table_.desc().flags & session_flags::kKeepAlive) != 0) {
        timer_.start(timings_.keepAliveMs);
    }
}

void KeepAlive::Heard(uint32_t systemId) {
    silence_[systemId] = Silence{clock_.elapsed(), 0};
}

void KeepAlive::Gone(uint32_t systemId, const std::string& reason, bool unanswered) const {
    if (gone_) {
        gone_(systemId, reason, unanswered);
    }
}

void KeepAlive::Tick() {
    const qint64 now = clock_.elapsed();
    std::vector<uint32_t> gone;
    for (const auto& [id, machine] : table_.machines()) {
        Silence& silence = silence_.try_emplace(id, Silence{now, 0}).first->second;
        if (now - silence.lastHeardMs < timings_.keepAliveMs) {
            continue;
        }
        if (silence.missedPings >= timings_.maxMissedPings) {
            gone.push_back(id);
            continue;
        }
        ++silence.missedPings;
        outbox_.SendDatagram(machine.ip, machine.datagramPort,
                             Ping{table_.systemId(), static_cast<uint32_t>(now), false},
                             table_.DialectWith(machine));
    }
    for (uint32_t id : gone) {
        log_.Line("machine " + std::to_string(id) + " stopped answering");
        Gone(id, "stopped answering");
    }
}

void KeepAlive::ConnectionFailed(const QHostAddress& ip, quint16 port, const std::string& reason,
                                 bool unanswered) {
    if (const auto machine = table_.MachineAt(ip, port)) {
        log_.Line("no connection to " + Where(ip, port) + ": " + reason);
        Gone(*machine, reason, unanswered);
    }
}

// A peer closing a connection may be tidying up, or its machine may be gone. Knocking on its
// listening port tells the two apart: a machine that left has closed that port too.
void KeepAlive::ConnectionClosed(const QHostAddress& ip, quint16 port) {
    if (!table_.MachineAt(ip, port)) {
        return;
    }
    log_.Line("connection with " + Where(ip, port) +
              " closed by the peer; checking that it is still listening");
    transport_.Probe(ip, port,
                     [this, ip, port](const Status& answer) { Knocked(ip, port, answer); });
}

void KeepAlive::Knocked(const QHostAddress& ip, quint16 port, const Status& answer) {
    const auto machine = table_.MachineAt(ip, port);
    if (!machine) {
        return;
    }
    if (answer.ok()) {
        log_.Line(Where(ip, port) + " is still listening");
        return;
    }
    log_.Line(Where(ip, port) + " " + answer.failure + ": its machine has left");
    Gone(*machine, "closed its connections and " + answer.failure);
}

}  // namespace scopewatch::directplay
