#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace scopewatch {

// One other player's aircraft, keyed by the player's name.
struct TrafficRecord {
    std::string playerName;
    int32_t altitudeFt = 0;
    double heading = 0.0;  // magnetic, whole degrees 0 to 360
    double longitude = 0.0;
    double latitude = 0.0;
    std::string aircraftType;   // "Piston Plane", "Jet Plane", "-None-", "Helicopter" or ""
    std::string aircraftTitle;  // the aircraft's title text, "" until known

    bool operator==(const TrafficRecord&) const = default;
};

// The other players' aircraft: entries 1 to trafficCount are in use; entry 0 never is.
struct TrafficTable {
    static constexpr int16_t kCapacity = 20;

    std::array<TrafficRecord, kCapacity + 1> trafficTable{};
    int16_t trafficCount = 0;

    // The entries in use (1 to trafficCount, never beyond the table).
    std::span<const TrafficRecord> InUse() const {
        const int16_t count = std::clamp<int16_t>(trafficCount, 0, kCapacity);
        return std::span<const TrafficRecord>(trafficTable).subspan(1, count);
    }
};

}  // namespace scopewatch
