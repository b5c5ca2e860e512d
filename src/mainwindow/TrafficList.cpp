#include "mainwindow/TrafficList.h"

#include <algorithm>

#include "geo/Geodesy.h"
#include "shared/NumberText.h"
#include "shared/Rounding.h"

namespace scopewatch {

std::vector<TrafficListRow> TrafficListRows(const TrackHistory& history,
                                            const AirportRecord& airport, const MagVarGrid& grid) {
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
            std::to_string(row.bearing)};
}

}  // namespace scopewatch
