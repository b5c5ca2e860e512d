#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A world-size simulator folder for timing the database build: scenery.cfg with one airport
// area, the demo's magdec.bgl, and some 21,000 airports (about 88 MB) in a few hundred
// scenery files, made of the demo's airports moved all over the globe.
namespace scopewatch::benchmarks {

class WorldScenery {
  public:
    // Writes the folder under the system's temporary folder; removed again at the end.
    WorldScenery();
    ~WorldScenery();
    WorldScenery(const WorldScenery&) = delete;
    WorldScenery& operator=(const WorldScenery&) = delete;

    const std::filesystem::path& simFolder() const { return simFolder_; }
    // A working directory for the build, beside the simulator folder.
    const std::filesystem::path& workFolder() const { return workFolder_; }
    // Empties the working directory: a build then starts as the program's own builds do,
    // with no database yet (setup runs when it is missing).
    void EmptyWorkFolder() const;
    // Every scenery file the build examines.
    const std::vector<std::filesystem::path>& sceneryFiles() const { return sceneryFiles_; }
    int airportCount() const { return airportCount_; }
    uintmax_t sceneryBytes() const { return sceneryBytes_; }

  private:
    std::filesystem::path root_;
    std::filesystem::path simFolder_;
    std::filesystem::path workFolder_;
    std::vector<std::filesystem::path> sceneryFiles_;
    int airportCount_ = 0;
    uintmax_t sceneryBytes_ = 0;
};

// Reads every byte of the files, as plainly as the system allows; returns the byte count.
uintmax_t ReadEveryByte(const std::vector<std::filesystem::path>& files);

}  // namespace scopewatch::benchmarks
