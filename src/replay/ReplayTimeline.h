#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace scopewatch::replay {

inline constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

// One game message of the recorded session, as the replay hands it on: when the capture saw
// it, who sent it, and its bytes (kind, length, payload) in the timeline's store.
struct TimelineEntry {
    int64_t micros = 0;
    uint64_t offset = 0;
    uint32_t length = 0;
    uint32_t sender = 0;
};

// A player of the recorded session: its names from when each held (Windows-1252), when it
// came and went, and what it answers the scope's requests with.
struct TimelinePlayer {
    uint32_t id = 0;
    std::vector<std::pair<int64_t, std::string>> names;
    int64_t since = 0;
    int64_t until = kNever;
    bool onHostMachine = false;
    std::vector<size_t> announcements;  // its "is a player" messages naming itself
    std::vector<size_t> aircraftInfo;   // its aircraft-information messages
};

// The session as the list of sessions shows it.
struct TimelineSession {
    std::string name;  // Windows-1252
    int32_t currentPlayers = 0;
    int32_t maxPlayers = 0;
    std::string notice;  // what the user should know of the file (it was read only in part)
};

// What a replay keeps of a recording: every game message in capture order with its sender,
// the players with their names and presence, and where the replay starts and ends. Compact:
// the messages' bytes sit one after the other in one store.
class ReplayTimeline {
  public:
    // ---- building, in capture order ----
    // Adds a message; a time before the last one's is taken as the last one's.
    size_t Add(int64_t micros, uint32_t sender, std::span<const uint8_t> bytes);
    // The player, entered at `micros` under `name` if new.
    TimelinePlayer& Player(uint32_t id, int64_t micros, const std::string& name);
    void Rename(uint32_t id, int64_t micros, const std::string& name);
    void Gone(uint32_t id, int64_t micros);
    TimelineSession& session() { return session_; }
    // The replay hands on the messages after `joined` (when the host let the recorded scope in)
    // and its clock begins at `start` (when the scope's main window opened), no earlier.
    void SetStart(int64_t joined, int64_t start) {
        joined_ = joined;
        start_ = std::max(joined, start);
    }
    void SetEnd(int64_t micros) { end_ = micros; }
    // Frees what building left unused.
    void Finish();

    // ---- reading ----
    size_t size() const { return entries_.size(); }
    const TimelineEntry& entry(size_t index) const { return entries_[index]; }
    std::span<const uint8_t> Bytes(size_t index) const;
    int32_t KindOf(size_t index) const;
    // The first message later than `micros`.
    size_t FirstAfter(int64_t micros) const;
    // The chat messages, in order.
    const std::vector<size_t>& chat() const { return chat_; }
    const TimelinePlayer* FindPlayer(uint32_t id) const;
    size_t players() const { return players_.size(); }
    // The player's name at the moment (its first name before it had one).
    std::optional<std::string> NameAt(uint32_t id, int64_t micros) const;
    // The players present at the moment, in the order they came.
    std::vector<const TimelinePlayer*> PresentAt(int64_t micros) const;
    // What the player said of itself (the message of `kind`: "is a player" or its aircraft
    // information) last by the moment, else first.
    std::optional<size_t> SaidAt(const TimelinePlayer& player, int32_t kind, int64_t micros) const;
    const TimelineSession& session() const { return session_; }
    int64_t joined() const { return joined_; }
    int64_t start() const { return start_; }
    int64_t end() const { return end_; }
    // The bytes the timeline holds.
    size_t MemoryBytes() const;

  private:
    std::vector<TimelineEntry> entries_;
    std::vector<uint8_t> store_;
    std::vector<size_t> chat_;
    std::map<uint32_t, TimelinePlayer> players_;
    std::vector<uint32_t> arrival_;  // player ids in the order they came
    TimelineSession session_;
    int64_t joined_ = 0;
    int64_t start_ = 0;
    int64_t end_ = 0;
};

}  // namespace scopewatch::replay
