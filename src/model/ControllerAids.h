#pragma once

#include <cstdint>

namespace scopewatch {

// When two aircraft count as too close: nearer than the lateral limit while their altitudes
// differ by less than the vertical limit, now or within the look-ahead.
struct ConflictLimits {
    static constexpr int kMinLateralNm = 1;
    static constexpr int kMaxLateralNm = 10;
    static constexpr int kMinVerticalFt = 500;
    static constexpr int kMaxVerticalFt = 3000;
    static constexpr int kMinLookAheadSeconds = 0;
    static constexpr int kMaxLookAheadSeconds = 180;

    int lateralNm = 3;
    int verticalFt = 1000;
    int lookAheadSeconds = 60;

    bool operator==(const ConflictLimits&) const = default;
};

// The altitudes of the aircraft the scope draws, both bounds included.
struct AltitudeBand {
    static constexpr int kLowestFt = 0;
    static constexpr int kHighestFt = 60000;

    int floorFt = kLowestFt;
    int ceilingFt = kHighestFt;

    bool Contains(int32_t altitudeFt) const {
        return altitudeFt >= floorFt && altitudeFt <= ceilingFt;
    }
    bool operator==(const AltitudeBand&) const = default;
};

// What the controller wants to hear.
struct SoundChoices {
    bool newConflict = false;
    bool chatLine = false;
    bool pilotJoined = false;

    bool operator==(const SoundChoices&) const = default;
};

// The aids a controller may add to the scope: where each aircraft has been, where it will be,
// rings of distance around the airport, labels placed where they can be read, warnings of
// aircraft too close, a filter by altitude and sounds. All off until the user switches them
// on; the choice is the user's and outlives the run. With them, whether each session joined is
// recorded (on until the user switches it off).
struct ControllerAids {
    static constexpr int kVectorMinuteChoices[] = {1, 2, 3};

    bool historyTrails = false;
    bool trackVectors = false;
    bool rangeRings = false;
    bool readableLabels = false;
    int vectorMinutes = 1;  // how far ahead a track vector reaches
    bool conflictAlert = false;
    ConflictLimits conflictLimits{};
    bool altitudeFilter = false;
    AltitudeBand altitudeBand{};
    SoundChoices sounds{};
    bool recordSessions = true;

    // Whether the scope draws an aircraft at that altitude.
    bool Shows(int32_t altitudeFt) const {
        return !altitudeFilter || altitudeBand.Contains(altitudeFt);
    }
    bool operator==(const ControllerAids&) const = default;
};

}  // namespace scopewatch
