#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "bgl/BglRecord.h"
#include "geo/MagVarGrid.h"
#include "model/AirportData.h"
#include "shared/ByteReader.h"

// Reading the airspaces of a scenery file: the walk through its record chains and the
// decoding of the airspace records around one airport.
namespace scopewatch {

class FileBuffer;

// What an airspace must contain, and the grid its reference point is computed with.
struct AirspaceTarget {
    const AirportRecord& airport;
    const MagVarGrid& grid;
};

// Whether the file in the buffer carries the marker of a scenery file with facility data.
bool IsMarkedSceneryFile(const FileBuffer& buffer);

// Walks the airspace chain of the file in the buffer and decodes the airspaces that are
// taken. Files of another section format or without a chain add nothing. A record that leads
// outside the file ends the walk and is reported (without the file's name, which the caller
// knows); the airspaces decoded before it are kept.
std::optional<BglProblem> ExamineAirspaceFile(const FileBuffer& buffer,
                                              const AirspaceTarget& target,
                                              std::vector<AirspaceRecord>& airspaces);

// Decodes the airspace record starting at the position; appends it when its bounding box
// contains the airport. Throws MalformedBytes when a sub-record leads outside the file (the
// airspace is then not appended).
void DecodeAirspace(const ByteReader& file, int64_t recordStart, const AirspaceTarget& target,
                    std::vector<AirspaceRecord>& airspaces);

}  // namespace scopewatch
