#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace scopewatch {

// How often a timer's work ran and how long it took: the number of runs, the longest run and
// the total. A window keeps one per timer, so a long or a busy session shows whether its ticks
// stay short.
class TickStatistics {
  public:
    using Clock = std::chrono::steady_clock;

    void Add(Clock::duration duration) {
        ++count_;
        total_ += duration;
        longest_ = std::max(longest_, duration);
    }

    int64_t count() const { return count_; }
    Clock::duration longest() const { return longest_; }
    Clock::duration total() const { return total_; }

  private:
    int64_t count_ = 0;
    Clock::duration longest_{};
    Clock::duration total_{};
};

// Adds the time from its making to its end to the statistics.
class TickStopwatch {
  public:
    explicit TickStopwatch(TickStatistics& statistics)
        : statistics_(statistics), start_(TickStatistics::Clock::now()) {}
    ~TickStopwatch() { statistics_.Add(TickStatistics::Clock::now() - start_); }
    TickStopwatch(const TickStopwatch&) = delete;
    TickStopwatch& operator=(const TickStopwatch&) = delete;

  private:
    TickStatistics& statistics_;
    TickStatistics::Clock::time_point start_;
};

}  // namespace scopewatch
