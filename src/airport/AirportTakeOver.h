#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/AirportData.h"

namespace scopewatch {

// The airport index written into a result line: the number after the line's last "Index:"
// (spaces around it ignored; the longest leading numeric part, rounded halves to even; 0
// when there is none), so a name holding "Index:" cannot redirect the choice. Without
// "Index:" the number is read from the sixth character on.
int64_t ParseIndexFromLine(const std::string& line);

// Copies the record at the index into currentAirport (every text and list with it) and
// empties the airport list, which the airport window reads anew when it opens again.
// An index outside the list changes nothing and returns false.
bool TakeOverAirport(LoadedAirportData& data, int64_t index);

}  // namespace scopewatch
