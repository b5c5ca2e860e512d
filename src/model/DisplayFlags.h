#pragma once

#include "shared/Rounding.h"

namespace scopewatch {

// Which layers the scope draws; all on when the main window opens, switched by the
// display options window. A change shows at the next repaint.
struct DisplayFlags {
    Flag16 showAirspaces = kTrue16;
    Flag16 showParkings = kTrue16;
    Flag16 showTaxiways = kTrue16;
    Flag16 showTaxiwayIds = kTrue16;
    Flag16 showIls = kTrue16;
    Flag16 showAirportName = kTrue16;

    bool operator==(const DisplayFlags&) const = default;
};

}  // namespace scopewatch
