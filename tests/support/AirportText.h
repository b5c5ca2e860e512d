#pragma once

#include <string>

#include "model/AirportData.h"
#include "shared/NumberText.h"

namespace scopewatch::testing {

// An airport record as text for golden files: every field, positions to six places, one line
// for the airport and one for each element of its lists.
inline std::string AirportText(const AirportRecord& a) {
    const auto at = [](double latitude, double longitude) {
        return FixedNumberText(latitude, 6) + "," + FixedNumberText(longitude, 6);
    };
    std::string text = "airport '" + a.name + "' '" + a.icaoId + "' " +
                       at(a.latitude, a.longitude) + " " + std::to_string(a.altitudeFt) +
                       " ft, frequencies clr '" + a.clearanceFreq + "' gnd '" + a.groundFreq +
                       "' twr '" + a.towerFreq + "' dep '" + a.departureFreq + "' app '" +
                       a.approachFreq + "' ctr '" + a.centerFreq + "' atis '" + a.atisFreq + "'\n";
    for (const RunwayRecord& r : a.runways) {
        text += "  runway " + r.primaryName + "/" + r.secondaryName + " " +
                at(r.end1Latitude, r.end1Longitude) + " to " + at(r.end2Latitude, r.end2Longitude) +
                " " + std::to_string(r.altitudeFt) + " ft, " + std::to_string(r.primaryMagHeading) +
                "/" + std::to_string(r.secondaryMagHeading) + " mag, " +
                std::to_string(r.lengthFt) + "x" + std::to_string(r.widthFt) + " ft\n";
    }
    for (const IlsRecord& i : a.ilsList) {
        text += "  ils '" + i.ident + "' " + at(i.latitude, i.longitude) + " " +
                std::to_string(i.magHeading) + " mag '" + i.frequency + "'\n";
    }
    for (const TaxiPointRecord& p : a.taxiPoints) {
        text += "  taxi point " + std::to_string(p.pointWord) + " " + at(p.latitude, p.longitude) +
                "\n";
    }
    for (const ParkingRecord& p : a.parkings) {
        text += "  parking '" + p.label + "' " + at(p.latitude, p.longitude) + " " +
                std::to_string(p.altitudeFt) + " ft\n";
    }
    for (const TaxiSegmentRecord& s : a.taxiSegments) {
        text += "  segment kind " + std::to_string(s.kind) + " " + std::to_string(s.firstIndex) +
                "-" + std::to_string(s.secondIndex) + " '" + s.name + "'\n";
    }
    return text;
}

}  // namespace scopewatch::testing
