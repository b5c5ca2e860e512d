#include "directplay/TransportCloser.h"

namespace scopewatch::directplay {

namespace {
constexpr int kClosingPollMs = 5;
}  // namespace

TransportCloser::TransportCloser(DirectPlayTransport& transport, int flushTimeoutMs)
    : transport_(transport), flushTimeoutMs_(flushTimeoutMs) {
    QObject::connect(&poll_, &QTimer::timeout, [this] {
        if (transport_.AllWritten() || since_.elapsed() >= flushTimeoutMs_) {
            Finish();
        }
    });
}

Status TransportCloser::Open() {
    if (closing_) {
        closing_ = false;
        poll_.stop();
        if (finished_) {
            finished_();
        }
    }
    if (transport_.streamPort() != 0) {
        return Status::Done();
    }
    return transport_.Open();
}

void TransportCloser::CloseWhenSent() {
    transport_.Flush();
    if (transport_.AllWritten() || transport_.streamPort() == 0) {
        transport_.Close();
        if (closing_) {
            Finish();
        }
        return;
    }
    if (!closing_) {
        closing_ = true;
        since_.start();
        poll_.start(kClosingPollMs);
    }
}

void TransportCloser::Finish() {
    poll_.stop();
    transport_.Close();
    if (closing_) {
        closing_ = false;
        if (finished_) {
            finished_();
        }
    }
}

}  // namespace scopewatch::directplay
