#include "airport/AirspaceLookup.h"

#include <algorithm>
#include <limits>

#include "bgl/AirspaceFile.h"
#include "bgl/FileBuffer.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace scopewatch {
namespace {

constexpr const char* kClassB = "Airspace Class B";
constexpr const char* kClassC = "Airspace Class C";
constexpr const char* kClassD = "Airspace Class D";
constexpr const char* kArtcc = "ARTCC/FIR";
constexpr const char* kTracon = "TRACON (Departure/Approach)";
constexpr int16_t kTraconRadiusNm = 20;
constexpr int32_t kTraconHeightFt = 10000;

}  // namespace

std::string AirspaceTypeFor(const AirspaceRecord& airspace) {
    if (!airspace.fullName.empty() && !airspace.frequencyText.empty()) {
        return kArtcc;
    }
    std::string type = kClassB;
    if (airspace.floorFt < 4001 && airspace.ceilingFt < 4001) {
        type = kClassC;
    }
    if (airspace.floorFt <= 2500 && airspace.ceilingFt <= 2500) {
        type = kClassD;
    }
    return type;
}

std::optional<AirspaceRecord> GeneratedTracon(const AirportRecord& airport) {
    if (airport.departureFreq.empty() && airport.approachFreq.empty()) {
        return std::nullopt;
    }
    AirspaceRecord tracon;
    tracon.latitude = airport.latitude;
    tracon.longitude = airport.longitude;
    tracon.typeName = kTracon;
    tracon.floorFt = airport.altitudeFt;
    // A damaged database can hold any elevation: the ceiling stops at the largest value.
    tracon.ceilingFt = static_cast<int32_t>(std::min<int64_t>(
        int64_t{airport.altitudeFt} + kTraconHeightFt, std::numeric_limits<int32_t>::max()));
    for (const std::string* frequency : {&airport.departureFreq, &airport.approachFreq}) {
        if (!frequency->empty()) {
            tracon.frequencyText += *frequency + " Mhz  ";
        }
    }
    tracon.points = {{kCentre, airport.latitude, airport.longitude, 0},
                     {kCircle, 0.0, 0.0, kTraconRadiusNm}};
    return tracon;
}

std::vector<BglProblem> FindAirspaces(const FileSystem& files,
                                      const std::string& facilityDataFolder,
                                      const AirspaceTarget& target, FileBuffer& buffer,
                                      std::vector<AirspaceRecord>& airspaces,
                                      const AirspaceScanProgress& progress) {
    airspaces.clear();
    std::vector<BglProblem> problems;
    // Without a facility data folder there is nothing to scan (not the file-system root).
    const std::vector<std::string> names =
        facilityDataFolder.empty() ? std::vector<std::string>{}
                                   : files.ListFiles(JoinPathText(facilityDataFolder, "*.bgl"));
    if (progress.started) {
        progress.started(static_cast<int>(names.size()));
    }
    for (const std::string& name : names) {
        const std::string pathText = AnsiLower(JoinPathText(facilityDataFolder, name));
        if (!buffer.LoadFile(files.ToRealPath(pathText).string())) {
            problems.push_back({pathText, 0, 0, "the file cannot be read"});
        } else if (IsMarkedSceneryFile(buffer)) {
            if (auto problem = ExamineAirspaceFile(buffer, target, airspaces)) {
                problem->file = pathText;
                problems.push_back(*problem);
            }
        }
        if (progress.fileDone) {
            progress.fileDone();
        }
    }
    buffer.Clear();
    for (AirspaceRecord& airspace : airspaces) {
        airspace.typeName = AirspaceTypeFor(airspace);
    }
    if (std::optional<AirspaceRecord> tracon = GeneratedTracon(target.airport)) {
        airspaces.push_back(std::move(*tracon));
    }
    return problems;
}

}  // namespace scopewatch
