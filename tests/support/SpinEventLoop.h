#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace scopewatch::testing {

// Runs the event loop until `done` holds or the time is up; returns `done()`.
inline bool SpinUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= timeoutMs) {
            loop.quit();
        }
    });
    poll.start(5);
    if (!done()) {
        loop.exec();
    }
    return done();
}

// Runs the event loop for a fixed time.
inline void Spin(int ms) {
    SpinUntil([] { return false; }, ms);
}

}  // namespace scopewatch::testing
