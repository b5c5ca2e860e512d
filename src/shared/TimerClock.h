#pragma once

#include <algorithm>
#include <cmath>

namespace scopewatch {

// How the windows' timers turn the program's intervals into real time. The program runs at
// speed 1, so a 30-second timer waits 30 seconds; tests run the same windows and the same
// intervals on a faster clock, so that timers of 30 and 60 seconds pass in moments.
//
// A replay sets the pace on top of that: the program's time runs `pace` times as fast again,
// or is held (the windows that follow the clock stop the timers that move the session on).
class TimerClock {
  public:
    explicit TimerClock(double speedUp = 1.0) : speedUp_(std::max(speedUp, 1.0)) {}

    // The real interval of a timer of `programMs` at the present pace, at least 1 ms.
    int RealMs(int programMs) const {
        return std::max(1, static_cast<int>(std::lround(programMs / (speedUp_ * pace_))));
    }
    // Program seconds per real second: 0 while held.
    double speedUp() const { return held_ ? 0.0 : speedUp_ * pace_; }

    void SetPace(double pace) { pace_ = std::max(pace, 1.0); }
    void Hold(bool held) { held_ = held; }
    double pace() const { return pace_; }
    bool held() const { return held_; }

  private:
    double speedUp_;
    double pace_ = 1.0;
    bool held_ = false;
};

}  // namespace scopewatch
