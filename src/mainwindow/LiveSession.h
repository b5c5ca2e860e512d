#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "multiplayer/MessageIntake.h"
#include "shared/Outcome.h"

namespace scopewatch {

class AircraftNotes;
class TimerClock;
class TrackHistory;

// The main window's timers, in the program's milliseconds: the intake and the repaint once a
// second, the traffic refresh every 30 seconds.
inline constexpr int kReceiveIntervalMs = 1000;
inline constexpr int kRepaintIntervalMs = 1000;
inline constexpr int kRefreshIntervalMs = 30000;

// What one receive tick brought.
struct ReceiveTickResult {
    bool chatChanged = false;
    // The session ends: the message to tell the user before leaving it.
    std::optional<std::string> farewell;
    // The session's recording stopped: why, to tell the user once.
    std::string recordingFailure;
};

// The running session behind the main window, without a widget: the intake of messages into
// the traffic table, the aircraft's tracks, the session's clock, the chat history, the link
// watchdog and the 30-second refresh; the controller's notes last as long as the session. The
// window's timers drive it and its controls show it.
//
// The session's clock counts a second for every receive tick, and the time the window stands
// locked (a child window or a box is open, the intake held back): the pilots fly on meanwhile,
// and their motion is judged by this clock. Once the session ends (the link lost, removed by
// the host, a recording played to its end) or is left, no tick acts any more.
class LiveSession {
  public:
    using SteadyClock = std::chrono::steady_clock;
    using Now = std::function<SteadyClock::time_point()>;

    // `clock` turns the real time the window stands locked into the program's time; `now`
    // reads the real time.
    LiveSession(SessionService& session, SessionState& state, TrafficTable& traffic,
                TrackHistory& tracks, AircraftNotes& notes, const MagVarGrid& grid,
                const TimerClock& clock, Now now = SteadyClock::now);

    // The window has loaded: the watchdog is full and everyone is asked to announce
    // themselves in our player's name.
    void Start();
    // One receive tick: the waiting messages into the table and the chat history, a second on
    // the session's clock and the aircraft's positions into their tracks.
    ReceiveTickResult Receive();
    // One refresh tick: the table is emptied and everyone asked again.
    void Refresh();
    // Runs the session through `seconds` of its time at once (a replay that jumped): the
    // picture starts anew (no traffic, tracks or chat), then comes a receive tick for every
    // second, with the refresh before the first and every 30 of them so that the last one
    // comes before the last tick. What the ticks brought, together; a farewell ends it early.
    ReceiveTickResult Rerun(int seconds);

    // The window is locked: the session's clock counts the real time until Unlock. A lock
    // within a lock counts once.
    void Lock();
    // False once the session has ended or been left: the window stays as it is.
    bool Unlock();

    // Sends the line to every player and puts it on top of the history; a failed send says why
    // and leaves the history as it was.
    Status Say(const std::string& text);
    // Leaves the session (our player destroyed, the session closed, the traffic, the tracks
    // and the notes forgotten); false when it was left before.
    bool Leave();

    // The session has ended or is being left: no tick acts.
    bool leaving() const { return phase_ == Phase::Ending || phase_ == Phase::Left; }
    bool left() const { return phase_ == Phase::Left; }
    double secondsInSession() const { return secondsInSession_; }
    // The newest line on top, each line ending with a carriage return and a line feed.
    const std::string& chatText() const { return chatHistory_; }
    const MessageIntake& intake() const { return intake_; }

  private:
    enum class Phase { Waiting, Running, Locked, Ending, Left };

    SessionService& session_;
    SessionState& state_;
    TrafficTable& traffic_;
    TrackHistory& tracks_;
    AircraftNotes& notes_;
    const TimerClock& clock_;
    Now now_;
    MessageIntake intake_;
    Phase phase_ = Phase::Waiting;
    double secondsInSession_ = 0.0;
    SteadyClock::time_point lockedSince_;
    std::string chatHistory_;
};

}  // namespace scopewatch
