#include "mainwindow/TrafficList.h"

#include <algorithm>
#include <cmath>

#include "geo/Geodesy.h"
#include "shared/NumberText.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

// The row's note, and its mark: red for a conflict (a present one before any predicted, else
// the soonest), greyed when the filter hides it.
void MarkRow(TrafficListRow& row, const TrafficListAids& aids) {
    row.note = aids.notes.Of(row.name);
    bool present = false;
    std::optional<double> soonest;
    for (const Conflict& conflict : aids.conflicts) {
        if (conflict.first != row.name && conflict.second != row.name) {
            continue;
        }
        present = present || conflict.present;
        soonest = std::min(soonest.value_or(conflict.closestSeconds), conflict.closestSeconds);
    }
    if (present || soonest) {
        row.mark = RowMark::Conflict;
        row.closestSeconds = present ? std::nullopt : soonest;
    } else if (!aids.choices.Shows(row.altitudeFt)) {
        row.mark = RowMark::Filtered;
    }
}

std::string ConflictText(const TrafficListRow& row) {
    if (row.mark != RowMark::Conflict) {
        return "";
    }
    if (!row.closestSeconds) {
        return "now";
    }
    return "closest in " + std::to_string(static_cast<int>(std::lround(*row.closestSeconds))) +
           " s";
}

}  // namespace

std::vector<TrafficListRow> TrafficListRows(const TrackHistory& history,
                                            const AirportRecord& airport, const MagVarGrid& grid,
                                            const TrafficListAids* aids) {
    const GeoPoint field{airport.latitude, airport.longitude};
    std::vector<TrafficListRow> rows;
    for (const auto& [name, track] : history.tracks()) {
        const TrafficRecord& aircraft = track.latest;
        TrafficListRow row;
        row.name = name;
        row.aircraftType = aircraft.aircraftType;
        row.altitudeFt = aircraft.altitudeFt;
        if (const auto motion = history.Estimate(name)) {
            row.groundSpeedKt = RoundToInt32(motion->speedKt);
        }
        row.magHeading = RoundToInt32(aircraft.heading);
        row.latitude = aircraft.latitude;
        row.longitude = aircraft.longitude;
        row.distanceNm = GreatCircleNm(field, {aircraft.latitude, aircraft.longitude});
        row.bearing = MagneticCourse(field, {aircraft.latitude, aircraft.longitude}, grid);
        if (aids != nullptr) {
            MarkRow(row, *aids);
        }
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.distanceNm < b.distanceNm; });
    return rows;
}

std::vector<std::string> TrafficListCells(const TrafficListRow& row) {
    return {row.name,
            row.aircraftType,
            std::to_string(row.altitudeFt),
            row.groundSpeedKt ? std::to_string(*row.groundSpeedKt) : "",
            std::to_string(row.magHeading),
            FixedNumberText(row.distanceNm, 1),
            std::to_string(row.bearing),
            ConflictText(row),
            row.note};
}

}  // namespace scopewatch
