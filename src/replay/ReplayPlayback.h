#pragma once

#include <array>
#include <functional>
#include <string>

namespace scopewatch {
class TimerClock;
}

namespace scopewatch::replay {

class ReplaySession;

// The speeds a replay plays at, and the steps it jumps by (seconds).
inline constexpr std::array<int, 6> kReplaySpeeds = {1, 2, 4, 8, 16, 64};
inline constexpr std::array<int, 4> kReplaySteps = {-60, -10, 10, 60};
// After a jump the session runs through this much of the recording before the moment at once,
// so that every aircraft stands where it stood then, with its trail and vector: the longest
// trail the scope draws.
inline constexpr int kJumpLookbackSeconds = 300;

// "-1 min", "-10 s", "+10 s", "+1 min"
std::string StepCaption(int seconds);
// "1×" ... "64×" (UTF-8)
std::string SpeedCaption(int speed);

// What the "Replay" window does to a replay that plays: play and pause, the speed, jumps. The
// speed is the pace of the program's clock, which the main window's timers follow; paused, the
// clock is held. A jump moves the recording to some minutes before the moment and has the main
// window run the session through them at once.
class ReplayPlayback {
  public:
    struct MainWindowCalls {
        std::function<void()> followClock;       // the clock's pace changed
        std::function<void(int seconds)> rerun;  // run the session on at once
    };

    ReplayPlayback(ReplaySession& replay, TimerClock& clock, MainWindowCalls calls);

    void Play();
    void Pause();
    bool paused() const;
    void SetSpeed(int speed);
    int speed() const;
    // Jumps to the moment, seconds from the start (kept within the recording).
    void JumpTo(double seconds);
    void Step(int seconds) { JumpTo(elapsed() + seconds); }
    double elapsed() const;
    double length() const;
    // Back to the program's own pace: the replay is over.
    void Release();

  private:
    ReplaySession& replay_;
    TimerClock& clock_;
    MainWindowCalls calls_;
};

}  // namespace scopewatch::replay
