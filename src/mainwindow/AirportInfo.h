#pragma once

#include <string>

#include "model/AirportData.h"

namespace scopewatch {

// The text of the "Airport General Info" box: nine lines joined by "\r\n", each a label
// followed directly by the airport's field as stored (Windows-1252 bytes, no units, no
// trimming). An empty field leaves the label alone on its line.
std::string AirportGeneralInfoText(const AirportRecord& airport);

}  // namespace scopewatch
