#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace scopewatch::fuzzing {

// The seed corpus of one fuzz target: a folder of small files, one input each.
class SeedFolder {
  public:
    SeedFolder(const std::filesystem::path& root, const std::string& target);

    // Writes the input under the name; throws std::runtime_error when it cannot.
    void Add(const std::string& name, const std::vector<uint8_t>& input) const;
    void Add(const std::string& name, const std::string& input) const;

  private:
    std::filesystem::path folder_;
};

// The bytes with a prefix in front, for targets that take a few values before the file.
std::vector<uint8_t> Prefixed(const std::vector<uint8_t>& prefix,
                              const std::vector<uint8_t>& bytes);
// A 32-bit word, little-endian, as the targets' prefixes hold them.
std::vector<uint8_t> Word(int32_t value);

}  // namespace scopewatch::fuzzing
