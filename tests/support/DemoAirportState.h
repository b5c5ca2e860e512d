#pragma once

#include "model/AirportData.h"

namespace scopewatch::testing {

// The demo simulator's large airport, "Eldorado Intl", as the program holds it after
// "GET AIRPORT": its runways, taxiways and stands, the magnetic variation grid and the
// airspaces around it. The demo folder and its database are built once per test executable,
// on the first call; every call returns the same data.
const LoadedAirportData& DemoAirportLoaded();

}  // namespace scopewatch::testing
