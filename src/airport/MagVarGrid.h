#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace scopewatch {

class FileBuffer;
class FileSystem;

// Magnetic variation by whole degree: index lon * 181 + (lat + 90), lon 0..359 east,
// lat -90..90. A value v means v * 360 / 65536 degrees, easterly positive.
struct MagVarGrid {
    static constexpr int kLatitudes = 181;
    static constexpr int kLongitudes = 360;
    static constexpr int kFilled = kLatitudes * kLongitudes;  // 65160
    static constexpr int64_t kTableBytes = 2 * kFilled;       // 130320
    static constexpr int64_t kTableOffsetPosition = 110;

    std::array<int16_t, kFilled + 1> values{};

    // Grid index of the whole-degree cell nearest to the position (halves to even).
    static int IndexAt(double latitude, double longitude);
    // Variation in whole degrees (truncated toward zero) at the position.
    int VariationDegreesAt(double latitude, double longitude) const;
};

enum class MagVarLoadResult { Loaded, FileMissing, NoTable, FileTooShort };

// Loads magdec.bgl (given as a real file path) through the caller's buffer into the grid.
// Anything but Loaded leaves the grid as it was.
MagVarLoadResult LoadMagVarGrid(const std::string& realPath, FileBuffer& buffer, MagVarGrid& grid);
// The same from a buffer that already holds the file.
MagVarLoadResult LoadMagVarGrid(const FileBuffer& buffer, MagVarGrid& grid);

// Loads the simulator's own variation file (simFolder followed by "\scenery\magdec.bgl")
// through the buffer, which is emptied afterwards.
MagVarLoadResult LoadSimulatorMagVars(const FileSystem& files, const std::string& simFolder,
                                      FileBuffer& buffer, MagVarGrid& grid);

// What the user is told when the grid could not be loaded; empty when it was (a file that
// holds no table leaves the grid as it was without a word).
std::string MagVarLoadNote(MagVarLoadResult result);

}  // namespace scopewatch
