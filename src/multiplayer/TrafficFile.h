#pragma once

#include <string>

#include "model/TrafficTable.h"

namespace scopewatch {

struct TrafficFileResult {
    TrafficTable traffic;
    std::string error;  // the first bad line and why; empty when every line was read
};

// Reads a traffic list, one aircraft per line:
// "name;latitude;longitude;altitude feet;magnetic heading". Blank lines are passed over;
// names are UTF-8 and stored in Windows-1252. More than 20 aircraft, a missing field or a
// number that does not read whole or is not finite ("nan", "inf") stops at that line (the
// lines before it are kept).
TrafficFileResult ParseTrafficText(const std::string& text);

}  // namespace scopewatch
