#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geo/MagVarGrid.h"
#include "model/AircraftNotes.h"
#include "model/AirportData.h"
#include "model/ConflictAlert.h"
#include "model/TrackHistory.h"

namespace scopewatch {

// How a row of the traffic list stands out.
enum class RowMark {
    Plain,
    Filtered,  // the altitude filter hides the aircraft from the scope: greyed
    Conflict,  // in conflict: red
};

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
    RowMark mark = RowMark::Plain;
    // For a conflict still to come: the seconds until the aircraft are nearest.
    std::optional<double> closestSeconds;
    std::string note;
};

// What the aids add to the list: the filter, the conflicts and the notes.
struct TrafficListAids {
    const ControllerAids& choices;
    const std::vector<Conflict>& conflicts;
    const AircraftNotes& notes;
};

// The traffic list, nearest aircraft first.
std::vector<TrafficListRow> TrafficListRows(const TrackHistory& history,
                                            const AirportRecord& airport, const MagVarGrid& grid,
                                            const TrafficListAids* aids = nullptr);

// The texts of a row's cells, in the list's column order.
std::vector<std::string> TrafficListCells(const TrafficListRow& row);

inline constexpr const char* kTrafficListColumns[] = {
    "Name",           "Type",     "Altitude (ft)", "Ground Speed (kt)", "Heading", "Distance (nm)",
    "Bearing (\xB0)", "Conflict", "Note"};
inline constexpr int kNoteColumn = 8;

}  // namespace scopewatch
