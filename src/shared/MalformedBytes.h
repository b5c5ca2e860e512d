#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace scopewatch {

// Outside bytes (a file, a message from the network) that do not hold what their reader
// expects: a read past their end, or fields that contradict each other. The one exception the
// readers of outside bytes throw; it says at which offset what was expected, and is caught at
// the edge of the reader that met it.
class MalformedBytes : public std::runtime_error {
  public:
    MalformedBytes(size_t offset, const std::string& expected)
        : std::runtime_error(expected + " at byte " + std::to_string(offset)),
          offset_(offset),
          expected_(expected) {}

    size_t offset() const { return offset_; }
    // What was expected, without the offset: for a format whose reports place the offset
    // in words of their own.
    const std::string& expected() const { return expected_; }

  private:
    size_t offset_;
    std::string expected_;
};

}  // namespace scopewatch
