#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bgl/AirspaceFile.h"
#include "model/AirportData.h"

namespace scopewatch {

class FileSystem;

// Reports the scan's progress: the number of files first, then each file done.
struct AirspaceScanProgress {
    std::function<void(int fileCount)> started;
    std::function<void()> fileDone;
};

// Rebuilds the airspaces around the airport: every airspace of the facility data folder's
// BGL files whose bounding box strictly contains the airport's reference point, classified,
// then the generated TRACON when the airport has departure or approach frequencies. With an
// empty folder no file is examined. Returns the files whose examination stopped early.
std::vector<BglProblem> FindAirspaces(const FileSystem& files,
                                      const std::string& facilityDataFolder,
                                      const AirspaceTarget& target, FileBuffer& buffer,
                                      std::vector<AirspaceRecord>& airspaces,
                                      const AirspaceScanProgress& progress = {});

// The type of an airspace from its names and limits: "ARTCC/FIR" with a full name and a
// frequency, else Class B, C (both limits below 4001) or D (both at most 2500).
std::string AirspaceTypeFor(const AirspaceRecord& airspace);

// The airport's own TRACON: a 20 nm circle from the field elevation up 10000 ft, with the
// departure and approach frequencies; none without either frequency.
std::optional<AirspaceRecord> GeneratedTracon(const AirportRecord& airport);

}  // namespace scopewatch
