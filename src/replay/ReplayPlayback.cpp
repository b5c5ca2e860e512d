#include "replay/ReplayPlayback.h"

#include <algorithm>
#include <cmath>

#include "replay/ReplaySession.h"
#include "shared/TimerClock.h"

namespace scopewatch::replay {

std::string StepCaption(int seconds) {
    const std::string sign = seconds < 0 ? "-" : "+";
    const int size = std::abs(seconds);
    return size % 60 == 0 ? sign + std::to_string(size / 60) + " min"
                          : sign + std::to_string(size) + " s";
}

std::string SpeedCaption(int speed) {
    return std::to_string(speed) + "\u00d7";
}

ReplayPlayback::ReplayPlayback(ReplaySession& replay, TimerClock& clock, MainWindowCalls calls)
    : replay_(replay), clock_(clock), calls_(std::move(calls)) {}

void ReplayPlayback::Play() {
    clock_.Hold(false);
    calls_.followClock();
}

void ReplayPlayback::Pause() {
    clock_.Hold(true);
    calls_.followClock();
}

bool ReplayPlayback::paused() const {
    return clock_.held();
}

void ReplayPlayback::SetSpeed(int speed) {
    clock_.SetPace(speed);
    calls_.followClock();
}

int ReplayPlayback::speed() const {
    return static_cast<int>(std::lround(clock_.pace()));
}

void ReplayPlayback::JumpTo(double seconds) {
    if (std::isnan(seconds)) {
        return;  // no moment at all
    }
    const double target = std::clamp(seconds, 0.0, length());
    const int lookback = std::min(kJumpLookbackSeconds, static_cast<int>(std::floor(target)));
    replay_.Seek(target - lookback);
    calls_.rerun(lookback);
}

double ReplayPlayback::elapsed() const {
    return replay_.elapsed();
}

double ReplayPlayback::length() const {
    return replay_.length();
}

void ReplayPlayback::Release() {
    clock_.SetPace(1.0);
    clock_.Hold(false);
}

}  // namespace scopewatch::replay
