#pragma once

#include "multiplayer/DemoPilots.h"
#include "scenerywriter/BglWriter.h"

namespace scopewatch::scenery {

// What the demo's simulated pilots need of an airport: its first runway for take-offs and
// circuits, the first runway with an ILS for approaches, and a route along its taxi network.
demo::DemoAirportPlan TrafficPlanOf(const BglAirport& airport);

// The plan of the demo's large airport.
demo::DemoAirportPlan DemoLargeAirportPlan();

}  // namespace scopewatch::scenery
