#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "multiplayer/SessionService.h"

namespace scopewatch {

struct MagVarGrid;
struct SessionState;
struct TrafficTable;
struct TrafficRecord;

// Seconds without a player-present or keep-alive message before the link counts as lost.
inline constexpr int16_t kLinkWatchdogSeconds = 60;

inline constexpr const char* kConnectionLostMessage =
    "The multiplayer connection is lost, Scopewatch closes multiplayer session.";
inline constexpr const char* kRemovedByHostMessage =
    "The host had removed you from the multiplayer session, Scopewatch closes multiplayer "
    "session.";

// How a receive tick ended: normally, or with the session to be left (the window then shows
// the matching message and disconnects).
enum class IntakeEnd { Normal, ConnectionLost, RemovedByHost };

// Where a received chat line goes: the sender's name, ": " and the text.
using ChatLineSink = std::function<void(const std::string& line)>;

// The main window's intake of session messages: once a second it drains the queue into the
// traffic table, answers identification requests, keeps the link watchdog and hands chat
// lines on; every 30 seconds it empties the table and asks everyone to announce themselves
// again, which is how players who left disappear.
class MessageIntake {
  public:
    MessageIntake(SessionService& session, SessionState& state, TrafficTable& traffic,
                  const MagVarGrid& grid);

    // One tick of the receive timer. A failing session call or a message that cannot be read
    // ends the tick without a word; that message is gone and the next tick goes on. Any other
    // error is a fault of the program and is not caught here.
    IntakeEnd ReceiveMessages(const ChatLineSink& chat);
    // One tick of the refresh timer.
    void RefreshTraffic();

    int16_t linkWatchdog() const { return linkWatchdog_; }
    // Messages taken off the queue so far, and ticks an error ended early.
    int64_t messagesTaken() const { return messagesTaken_; }
    int64_t ticksCutShort() const { return ticksCutShort_; }
    void ResetWatchdog() { linkWatchdog_ = kLinkWatchdogSeconds; }

  private:
    // Handles one message; returns false when the tick must end there.
    bool Handle(const ReceivedMessage& received, const ChatLineSink& chat, IntakeEnd& end);
    // Applies the update to every listed entry that bears the sender's name.
    void UpdateEntriesOf(int32_t senderId, const std::function<void(TrafficRecord&)>& update);
    void UpdatePosition(int32_t senderId, SessionMessage& message, int32_t kind);
    void UpdateAircraftInfo(int32_t senderId, SessionMessage& message, int32_t length);
    void ReceiveChat(int32_t senderId, SessionMessage& message, int32_t length,
                     const ChatLineSink& chat);
    bool Connected() const;

    SessionService& session_;
    SessionState& state_;
    TrafficTable& traffic_;
    const MagVarGrid& grid_;
    int16_t linkWatchdog_ = kLinkWatchdogSeconds;
    int64_t messagesTaken_ = 0;
    int64_t ticksCutShort_ = 0;
};

// Adds a player to the table unless one of that name is listed: each name once, in order of
// first announcement. A table that is full (20 players) leaves a new name out.
void AddPlayer(TrafficTable& table, const std::string& name);
// Empties the table.
void ClearTraffic(TrafficTable& table);

}  // namespace scopewatch
