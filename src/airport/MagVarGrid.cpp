#include "airport/MagVarGrid.h"

#include "builder/FileBuffer.h"
#include "platform/FileSystem.h"
#include "platform/Rounding.h"

namespace scopewatch {

int MagVarGrid::IndexAt(double latitude, double longitude) {
    const int64_t lat = RoundToInt32(latitude);
    int64_t lon = RoundToInt32(longitude);
    if (lon < 0) {
        lon += 360;
    }
    const int64_t index = lon * kLatitudes + lat + 90;
    // Positions outside -90..90 / -180..359 would land outside the grid: use the spare cell.
    return (index >= 0 && index <= kFilled) ? static_cast<int>(index) : kFilled;
}

int MagVarGrid::VariationDegreesAt(double latitude, double longitude) const {
    const int value = values[static_cast<size_t>(IndexAt(latitude, longitude))];
    return TruncateTo<int>(value * 360.0 / 65536.0);
}

MagVarLoadResult LoadMagVarGrid(const std::string& realPath, FileBuffer& buffer, MagVarGrid& grid) {
    if (!buffer.LoadFile(realPath)) {
        return MagVarLoadResult::FileMissing;
    }
    return LoadMagVarGrid(buffer, grid);
}

MagVarLoadResult LoadMagVarGrid(const FileBuffer& buffer, MagVarGrid& grid) {
    if (buffer.FileLength() < MagVarGrid::kTableOffsetPosition + 4) {
        return MagVarLoadResult::FileTooShort;
    }
    const int64_t table = buffer.ReadInt32(MagVarGrid::kTableOffsetPosition);
    if (table < 1) {
        return MagVarLoadResult::NoTable;
    }
    const int64_t start = table + 8;
    if (start > buffer.FileLength() - MagVarGrid::kTableBytes) {
        return MagVarLoadResult::FileTooShort;
    }
    for (int i = 0; i < MagVarGrid::kFilled; ++i) {
        grid.values[static_cast<size_t>(i)] = buffer.ReadInt16(start + 2 * i);
    }
    return MagVarLoadResult::Loaded;
}

MagVarLoadResult LoadSimulatorMagVars(const FileSystem& files, const std::string& simFolder,
                                      FileBuffer& buffer, MagVarGrid& grid) {
    const std::string pathText = simFolder + "\\scenery\\magdec.bgl";
    const MagVarLoadResult result =
        LoadMagVarGrid(files.ToRealPath(pathText).string(), buffer, grid);
    buffer.Clear();
    return result;
}

std::string MagVarLoadNote(MagVarLoadResult result) {
    switch (result) {
        case MagVarLoadResult::Loaded:
        case MagVarLoadResult::NoTable:
            return {};
        case MagVarLoadResult::FileMissing:
            return "magdec.bgl not found, magnetic variation not loaded";
        case MagVarLoadResult::FileTooShort:
            return "magdec.bgl is too short, magnetic variation not loaded";
    }
    return {};
}

}  // namespace scopewatch
