#pragma once

namespace scopewatch {

// Keeps a timer's work from running inside itself: a message box or a session call runs an
// event loop of its own, in which the same timer (or another of the window's) may fire.
// The work runs only when entered() holds.
class TickGuard {
  public:
    explicit TickGuard(bool& running) : running_(running), entered_(!running) { running_ = true; }
    ~TickGuard() {
        if (entered_) {
            running_ = false;
        }
    }
    TickGuard(const TickGuard&) = delete;
    TickGuard& operator=(const TickGuard&) = delete;

    bool entered() const { return entered_; }

  private:
    bool& running_;
    bool entered_;
};

}  // namespace scopewatch
