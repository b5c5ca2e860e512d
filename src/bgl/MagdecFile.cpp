#include "bgl/MagdecFile.h"

#include "bgl/BglLayout.h"
#include "bgl/FileBuffer.h"
#include "platform/FileSystem.h"

namespace scopewatch {

MagVarLoadResult LoadMagVarGrid(const std::string& realPath, FileBuffer& buffer, MagVarGrid& grid) {
    if (!buffer.LoadFile(realPath)) {
        return MagVarLoadResult::FileMissing;
    }
    return LoadMagVarGrid(buffer, grid);
}

MagVarLoadResult LoadMagVarGrid(const FileBuffer& buffer, MagVarGrid& grid) {
    if (buffer.FileLength() < bgl::kMagdecTableOffsetPosition + 4) {
        return MagVarLoadResult::FileTooShort;
    }
    ByteReader file = buffer.reader();
    const int64_t table = file.Int32At(bgl::kMagdecTableOffsetPosition);
    if (table < 1) {
        return MagVarLoadResult::NoTable;
    }
    const int64_t start = table + bgl::kMagdecTableHeaderSize;
    if (start > buffer.FileLength() - bgl::kMagdecTableBytes) {
        return MagVarLoadResult::FileTooShort;
    }
    file.Seek(start);
    for (int i = 0; i < MagVarGrid::kFilled; ++i) {
        grid.values[static_cast<size_t>(i)] = file.Int16();
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
