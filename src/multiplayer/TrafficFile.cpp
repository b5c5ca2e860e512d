#include "multiplayer/TrafficFile.h"

#include <QString>
#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/CodePage.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ';')) {
        fields.push_back(Trimmed(field));
    }
    return fields;
}

// The number a field holds whole, or nothing. from_chars also reads "nan", "inf" and
// "infinity": no position, altitude or heading is one of those, and a NaN would pass every
// range check (its comparisons are all false).
std::optional<double> Number(const std::string& text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// One aircraft from a line's fields, or the reason it cannot be read.
std::optional<TrafficRecord> Aircraft(const std::vector<std::string>& fields, std::string& why) {
    if (fields.size() != 5 || fields[0].empty()) {
        why = "expected name;latitude;longitude;altitude feet;magnetic heading";
        return std::nullopt;
    }
    const auto latitude = Number(fields[1]);
    const auto longitude = Number(fields[2]);
    const auto altitude = Number(fields[3]);
    const auto heading = Number(fields[4]);
    if (!latitude || !longitude || !altitude || !heading || *latitude < -90 || *latitude > 90 ||
        *longitude < -180 || *longitude > 180 || *heading < 0 || *heading > 360) {
        why = "a position, altitude or heading is not a number in range";
        return std::nullopt;
    }
    TrafficRecord aircraft;
    aircraft.playerName = ToAnsi(QString::fromUtf8(fields[0]));
    aircraft.latitude = *latitude;
    aircraft.longitude = *longitude;
    aircraft.altitudeFt = RoundToInt32(*altitude);
    aircraft.heading = *heading;
    return aircraft;
}

}  // namespace

TrafficFileResult ParseTrafficText(const std::string& text) {
    TrafficFileResult result;
    std::stringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (Trimmed(line).empty()) {
            continue;
        }
        std::string why;
        const std::optional<TrafficRecord> aircraft = Aircraft(Fields(line), why);
        if (aircraft && result.traffic.trafficCount >= TrafficTable::kCapacity) {
            why = "more than 20 aircraft";
        }
        if (!why.empty()) {
            result.error = "line " + std::to_string(number) + ": " + why;
            return result;
        }
        result.traffic.trafficCount += 1;
        result.traffic.trafficTable[static_cast<size_t>(result.traffic.trafficCount)] = *aircraft;
    }
    return result;
}

}  // namespace scopewatch
