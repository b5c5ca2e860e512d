#pragma once

#include <string>
#include <vector>

#include "model/AirportData.h"

namespace scopewatch {

// The result lines for a search text: every airport whose name contains the text (leading
// and trailing spaces removed, letter case ignored), in database order, as the name, the
// ten characters "   Index: " and the record's index. A text of spaces alone matches every
// airport with a name. Texts are Windows-1252 bytes.
std::vector<std::string> SearchAirports(const std::vector<AirportRecord>& airports,
                                        const std::string& searchText);

// The line shown for the airport at an index.
std::string ResultLine(const std::string& name, size_t index);

}  // namespace scopewatch
