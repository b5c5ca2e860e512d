#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace scopewatch::testing {

// A fresh directory under the system's temporary folder, removed with its content at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes a file (creating its folders) and returns its path.
    std::filesystem::path Write(const std::string& relative,
                                const std::vector<uint8_t>& bytes) const;
    std::filesystem::path Write(const std::string& relative, const std::string& text) const;

  private:
    std::filesystem::path path_;
};

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);

}  // namespace scopewatch::testing
