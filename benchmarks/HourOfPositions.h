#pragma once

#include <cstdint>
#include <filesystem>

namespace scopewatch::benchmarks {

// One hour of a session as our recorder writes it: 20 pilots, each on a machine of its own,
// sending us their position (the long form) four times a second over its connection, and
// announcing themselves and their aircraft every 30 seconds as they answer a scope's refresh.
// Written once into a temporary file on first use, removed when the program ends.
class HourOfPositions {
  public:
    static constexpr int kPilots = 20;
    static constexpr int kReportsPerSecond = 4;
    static constexpr int kSeconds = 3600;

    static const HourOfPositions& Get();

    const std::filesystem::path& file() const { return file_; }
    uint64_t bytes() const { return bytes_; }
    uint64_t frames() const { return frames_; }

  private:
    HourOfPositions();
    ~HourOfPositions();

    std::filesystem::path file_;
    uint64_t bytes_ = 0;
    uint64_t frames_ = 0;
};

}  // namespace scopewatch::benchmarks
