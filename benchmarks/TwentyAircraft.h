#pragma once

#include "model/AircraftNotes.h"
#include "model/AirportData.h"
#include "model/ControllerAids.h"
#include "model/TrackHistory.h"
#include "model/TrafficTable.h"

namespace scopewatch {

// Twenty aircraft within a mile of a field, each flying its own heading for half a minute at
// 1,600 to 3,500 ft.
struct Crowd {
    AirportRecord field;
    TrafficTable traffic;
    TrackHistory history;
};
// Around Crowded Field at 36.4 N 97 W, or around the given airport.
Crowd TwentyWithinAMile();
Crowd TwentyWithinAMile(const AirportRecord& field);

// Every aid on: vectors of 3 minutes, the conflict alert with the longest look-ahead, the
// altitude filter letting every aircraft through, every sound.
ControllerAids EveryAidOn();

// A note of the longest length on every other aircraft of the table.
AircraftNotes NotesOnEveryOther(const TrafficTable& traffic);

}  // namespace scopewatch
