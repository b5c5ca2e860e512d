#include "mainwindow/LiveSession.h"

#include <vector>

#include "model/AircraftNotes.h"
#include "model/SessionState.h"
#include "model/TrackHistory.h"
#include "multiplayer/Chat.h"
#include "multiplayer/ConnectionSteps.h"
#include "multiplayer/GameMessages.h"
#include "shared/TimerClock.h"

namespace scopewatch {

LiveSession::LiveSession(SessionService& session, SessionState& state, TrafficTable& traffic,
                         TrackHistory& tracks, AircraftNotes& notes, const MagVarGrid& grid,
                         const TimerClock& clock, Now now)
    : session_(session),
      state_(state),
      traffic_(traffic),
      tracks_(tracks),
      notes_(notes),
      clock_(clock),
      now_(std::move(now)),
      intake_(session, state, traffic, grid) {}

void LiveSession::Start() {
    phase_ = Phase::Running;
    intake_.ResetWatchdog();
    try {
        session_.SendToAll(state_.myPlayerId, MakeSignal(kinds::kIdentifyRequest));
    } catch (const SessionError&) {
        // The refresh asks again in 30 seconds; a link that broke shows through the watchdog.
    }
}

ReceiveTickResult LiveSession::Receive() {
    ReceiveTickResult result;
    if (leaving()) {
        return result;
    }
    // The lines of a tick go on top of the history together: the window shows the history
    // once per tick, not once per line.
    std::vector<std::string> lines;
    session_.ClockAt(secondsInSession_ + 1.0);  // the second this tick takes the session to
    const IntakeEnd end =
        intake_.ReceiveMessages([&lines](const std::string& line) { lines.push_back(line); });
    if (!lines.empty()) {
        chatHistory_ = PrependChatLines(chatHistory_, lines);
        result.chatChanged = true;
    }
    secondsInSession_ += 1.0;
    tracks_.Record(traffic_, secondsInSession_);
    result.recordingFailure = session_.TakeRecordingFailure();
    if (end != IntakeEnd::Normal) {
        phase_ = Phase::Ending;
        result.farewell =
            end == IntakeEnd::ConnectionLost ? kConnectionLostMessage : kRemovedByHostMessage;
    } else if (std::optional<std::string> over = session_.EndOfSession()) {
        phase_ = Phase::Ending;
        result.farewell = std::move(over);
    }
    return result;
}

ReceiveTickResult LiveSession::Rerun(int seconds) {
    ReceiveTickResult result;
    if (leaving()) {
        return result;
    }
    ClearTraffic(traffic_);
    tracks_.Clear();
    result.chatChanged = !chatHistory_.empty();
    chatHistory_.clear();
    intake_.ResetWatchdog();
    const int refreshTicks = kRefreshIntervalMs / kReceiveIntervalMs;
    for (int left = seconds; left > 0 && !result.farewell; --left) {
        if (left == seconds || (left - 1) % refreshTicks == 0) {
            Refresh();
        }
        ReceiveTickResult tick = Receive();
        result.chatChanged = result.chatChanged || tick.chatChanged;
        result.farewell = std::move(tick.farewell);
    }
    return result;
}

void LiveSession::Refresh() {
    if (!leaving()) {
        intake_.RefreshTraffic();
    }
}

void LiveSession::Lock() {
    if (phase_ == Phase::Running) {
        phase_ = Phase::Locked;
        lockedSince_ = now_();
    }
}

bool LiveSession::Unlock() {
    if (leaving()) {
        return false;
    }
    if (phase_ == Phase::Locked) {
        const std::chrono::duration<double> locked = now_() - lockedSince_;
        secondsInSession_ += locked.count() * clock_.speedUp();
    }
    phase_ = Phase::Running;
    return true;
}

Status LiveSession::Say(const std::string& text) {
    try {
        if (const std::optional<std::string> line = SendChat(session_, state_, text)) {
            chatHistory_ = PrependChatLine(chatHistory_, *line);
        }
    } catch (const SessionError& error) {
        return Status::Failed(error.what());
    }
    return Status::Done();
}

bool LiveSession::Leave() {
    if (phase_ == Phase::Left) {
        return false;
    }
    // Left before anything else: a tick that comes while the session closes does nothing.
    phase_ = Phase::Left;
    LeaveSession(session_, state_, traffic_);
    tracks_.Clear();
    notes_.Clear();
    return true;
}

}  // namespace scopewatch
