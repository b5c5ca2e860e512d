#include "app/RetiredWindows.h"

#include <QThread>

#include "platform/MessageBoxes.h"

namespace scopewatch {
namespace {
// How soon a sweep that found it unsafe looks again.
constexpr int kRetryMs = 50;
}  // namespace

RetiredWindows::RetiredWindows(const MessageBoxes& messages) : messages_(messages) {
    sweep_.setSingleShot(true);
    connect(&sweep_, &QTimer::timeout, this, [this] { Sweep(); });
}

void RetiredWindows::Add(std::unique_ptr<QWidget> window) {
    if (!window) {
        return;
    }
    window->hide();
    windows_.push_back(std::move(window));
    if (!sweep_.isActive()) {
        sweep_.start(0);
    }
}

void RetiredWindows::Sweep() {
    const bool nested = QThread::currentThread()->loopLevel() > 1;
    if (nested || messages_.showing()) {
        sweep_.start(kRetryMs);
        return;
    }
    windows_.clear();
}

}  // namespace scopewatch
