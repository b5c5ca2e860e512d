#pragma once

#include "demohost/DemoPilots.h"
#include "scenerywriter/BglWriter.h"

namespace scopewatch::demo {

// What the demo's simulated pilots need of an airport: its first runway for take-offs and
// circuits, the first runway with an ILS for approaches, and a taxi route from its smallest
// stand along the taxiways to where take-offs start.
DemoAirportPlan TrafficPlanOf(const scenery::BglAirport& airport);

// The plan of the demo's large airport.
DemoAirportPlan DemoLargeAirportPlan();

}  // namespace scopewatch::demo
