#pragma once

#include <string>

#include "geo/MagVarGrid.h"

// Reading the simulator's magnetic variation file, magdec.bgl, into the grid.
namespace scopewatch {

class FileBuffer;
class FileSystem;

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
