#pragma once

#include "model/AircraftNotes.h"
#include "model/AirportData.h"
#include "model/ControllerAids.h"
#include "model/DisplayFlags.h"
#include "model/SessionState.h"
#include "model/SettingsValues.h"
#include "model/TrackHistory.h"
#include "model/TrafficTable.h"

namespace scopewatch {

// The program-wide state: one instance, created in main() and passed by reference to every
// window. Nothing else in the program is global. The logic below the windows takes the part it
// works on: the files and settings, the session, the airport data or the traffic table.
struct ProgramState : SettingsState, SessionState {
    LoadedAirportData airport;
    TrafficTable traffic;
    DisplayFlags displayFlags;
    // Beyond the options: the controller's aids, the aircraft's paths they draw from and the
    // controller's notes on the aircraft.
    ControllerAids aids;
    TrackHistory tracks;
    AircraftNotes notes;
};

}  // namespace scopewatch
