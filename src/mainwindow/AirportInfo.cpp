#include "mainwindow/AirportInfo.h"

#include <array>
#include <utility>

namespace scopewatch {

std::string AirportGeneralInfoText(const AirportRecord& airport) {
    const std::array<std::pair<const char*, const std::string*>, 9> lines{{
        {"Airport Name: ", &airport.name},
        {"ICAO ID: ", &airport.icaoId},
        {"ATIS Freq: ", &airport.atisFreq},
        {"Clearance Freq: ", &airport.clearanceFreq},
        {"Ground Freq: ", &airport.groundFreq},
        {"Tower Freq: ", &airport.towerFreq},
        {"Departure Freq: ", &airport.departureFreq},
        {"Approach Freq: ", &airport.approachFreq},
        {"Center Freq: ", &airport.centerFreq},
    }};
    std::string text;
    for (const auto& [label, field] : lines) {
        if (!text.empty()) {
            text += "\r\n";
        }
        text += label;
        text += *field;
    }
    return text;
}

}  // namespace scopewatch
