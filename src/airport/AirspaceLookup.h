#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "airport/AirportData.h"

namespace scopewatch {

class FileBuffer;
class FileSystem;

// Where the examination of a scenery file stopped: the record it was in and the offset it
// could not read. The file's airspaces decoded before that record are kept.
struct AirspaceFileProblem {
    std::string file;
    int64_t recordOffset = 0;
    int32_t recordId = 0;
    std::string what;
};

// What an airspace must contain, and the grid its reference point is computed with.
struct AirspaceTarget {
    const AirportRecord& airport;
    const MagVarGrid& grid;
};

// Reports the scan's progress: the number of files first, then each file done.
struct AirspaceScanProgress {
    std::function<void(int fileCount)> started;
    std::function<void()> fileDone;
};

// Rebuilds the airspaces around the airport: every airspace of the facility data folder's
// BGL files whose bounding box strictly contains the airport's reference point, classified,
// then the generated TRACON when the airport has departure or approach frequencies. With an
// empty folder no file is examined. Returns the files whose examination stopped early.
std::vector<AirspaceFileProblem> FindAirspaces(const FileSystem& files,
                                               const std::string& facilityDataFolder,
                                               const AirspaceTarget& target, FileBuffer& buffer,
                                               std::vector<AirspaceRecord>& airspaces,
                                               const AirspaceScanProgress& progress = {});

// Walks the airspace chain of the file in the buffer and decodes the airspaces that are
// taken. Files without the marker, of another section format or without a chain add
// nothing. A record that leads outside the file ends the walk and is reported.
std::optional<AirspaceFileProblem> ExamineAirspaceFile(const FileBuffer& buffer,
                                                       const AirspaceTarget& target,
                                                       std::vector<AirspaceRecord>& airspaces);

// Decodes the airspace record starting at the position; appends it when its bounding box
// contains the airport. Throws BufferOverrun when a sub-record leads outside the file (the
// airspace is then not appended).
void DecodeAirspace(const FileBuffer& buffer, int64_t recordStart, const AirspaceTarget& target,
                    std::vector<AirspaceRecord>& airspaces);

// The type of an airspace from its names and limits: "ARTCC/FIR" with a full name and a
// frequency, else Class B, C (both limits below 4001) or D (both at most 2500).
std::string AirspaceTypeFor(const AirspaceRecord& airspace);

// The airport's own TRACON: a 20 nm circle from the field elevation up 10000 ft, with the
// departure and approach frequencies; none without either frequency.
std::optional<AirspaceRecord> GeneratedTracon(const AirportRecord& airport);

}  // namespace scopewatch
