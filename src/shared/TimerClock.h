#pragma once

#include <algorithm>
#include <cmath>

namespace scopewatch {

// How the windows' timers turn the program's intervals into real time. The program runs at
// speed 1, so a 30-second timer waits 30 seconds; tests run the same windows and the same
// intervals on a faster clock, so that timers of 30 and 60 seconds pass in moments.
class TimerClock {
  public:
    explicit TimerClock(double speedUp = 1.0) : speedUp_(std::max(speedUp, 1.0)) {}

    // The real interval of a timer of `programMs`, at least 1 ms.
    int RealMs(int programMs) const {
        return std::max(1, static_cast<int>(std::lround(programMs / speedUp_)));
    }
    double speedUp() const { return speedUp_; }

  private:
    double speedUp_;
};

}  // namespace scopewatch
