#pragma once

namespace scopewatch {

// The aids a controller may add to the scope: where each aircraft has been, where it will be,
// rings of distance around the airport, and labels placed where they can be read. All off
// until the user switches them on; the choice is the user's and outlives the run. With them,
// whether each session joined is recorded (on until the user switches it off).
struct ControllerAids {
    static constexpr int kVectorMinuteChoices[] = {1, 2, 3};

    bool historyTrails = false;
    bool trackVectors = false;
    bool rangeRings = false;
    bool readableLabels = false;
    int vectorMinutes = 1;  // how far ahead a track vector reaches
    bool recordSessions = true;

    bool operator==(const ControllerAids&) const = default;
};

}  // namespace scopewatch
