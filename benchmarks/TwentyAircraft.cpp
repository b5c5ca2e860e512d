#include "TwentyAircraft.h"

#include "geo/Geodesy.h"

namespace scopewatch {

Crowd TwentyWithinAMile() {
    AirportRecord field;
    field.name = "Crowded Field";
    field.latitude = 36.4;
    field.longitude = -97.0;
    return TwentyWithinAMile(field);
}

Crowd TwentyWithinAMile(const AirportRecord& field) {
    Crowd crowd;
    crowd.field = field;
    const GeoPoint centre{crowd.field.latitude, crowd.field.longitude};
    for (int second = 0; second <= 30; ++second) {
        crowd.traffic.trafficCount = TrafficTable::kCapacity;
        for (int i = 1; i <= TrafficTable::kCapacity; ++i) {
            const double heading = i * 360.0 / TrafficTable::kCapacity;
            const double outNm = 0.05 * i;  // 0.05 to 1 nm from the field
            const GeoPoint at = AdvanceNm(AdvanceNm(centre, 137.0 * i, outNm), heading,
                                          90.0 * (second - 30) / 3600.0);
            TrafficRecord& entry = crowd.traffic.trafficTable[static_cast<size_t>(i)];
            entry = {"N" + std::to_string(100 + i),
                     1500 + 100 * i,
                     heading,
                     at.longitude,
                     at.latitude,
                     "Piston Plane",
                     ""};
        }
        crowd.history.Record(crowd.traffic, second);
    }
    return crowd;
}

ControllerAids EveryAidOn() {
    ControllerAids aids{.historyTrails = true,
                        .trackVectors = true,
                        .rangeRings = true,
                        .readableLabels = true,
                        .vectorMinutes = 3,
                        .conflictAlert = true};
    aids.conflictLimits.lookAheadSeconds = ConflictLimits::kMaxLookAheadSeconds;
    aids.altitudeFilter = true;
    aids.sounds = {true, true, true};
    return aids;
}

AircraftNotes NotesOnEveryOther(const TrafficTable& traffic) {
    AircraftNotes notes;
    for (size_t i = 1; i <= traffic.InUse().size(); i += 2) {
        notes.Set(traffic.trafficTable[i].playerName, std::string(AircraftNotes::kMaxLength, 'W'));
    }
    return notes;
}

}  // namespace scopewatch
