#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geo/MagVarGrid.h"
#include "model/AirportData.h"
#include "model/TrackHistory.h"

namespace scopewatch {

// One line of the traffic list: an aircraft whose position has arrived, with its distance and
// magnetic bearing from the airport, wherever it is (on the scope or off it).
struct TrafficListRow {
    std::string name;
    std::string aircraftType;
    int32_t altitudeFt = 0;
    std::optional<int32_t> groundSpeedKt;  // unknown until seen twice
    int32_t magHeading = 0;
    double distanceNm = 0.0;
    int32_t bearing = 0;  // magnetic, from the airport
    double latitude = 0.0;
    double longitude = 0.0;
};

// The traffic list, nearest aircraft first.
std::vector<TrafficListRow> TrafficListRows(const TrackHistory& history,
                                            const AirportRecord& airport, const MagVarGrid& grid);

// The texts of a row's cells, in the list's column order.
std::vector<std::string> TrafficListCells(const TrafficListRow& row);

inline constexpr const char* kTrafficListColumns[] = {
    "Name",    "Type",          "Altitude (ft)", "Ground Speed (kt)",
    "Heading", "Distance (nm)", "Bearing (\xB0)"};

}  // namespace scopewatch
