#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geo/MagVarGrid.h"

namespace scopewatch {

// Texts are Windows-1252 bytes. Positions are degrees (north and east positive), lengths and
// altitudes whole feet, headings whole magnetic degrees. Each list's element count is the
// vector's size; the counts the database stores are derived from it.

struct RunwayRecord {
    std::string primaryName;
    std::string secondaryName;
    double end1Latitude = 0.0;
    double end1Longitude = 0.0;
    double end2Latitude = 0.0;
    double end2Longitude = 0.0;
    int32_t altitudeFt = 0;
    int16_t primaryMagHeading = 0;
    int16_t secondaryMagHeading = 0;
    int32_t lengthFt = 0;
    int32_t widthFt = 0;

    bool operator==(const RunwayRecord&) const = default;
};

struct IlsRecord {
    std::string ident;
    double latitude = 0.0;
    double longitude = 0.0;
    int16_t magHeading = 0;
    std::string frequency;

    bool operator==(const IlsRecord&) const = default;
};

struct TaxiPointRecord {
    int32_t pointWord = 0;
    double latitude = 0.0;
    double longitude = 0.0;

    bool operator==(const TaxiPointRecord&) const = default;
};

struct ParkingRecord {
    std::string label;
    double latitude = 0.0;
    double longitude = 0.0;
    int32_t altitudeFt = 0;

    bool operator==(const ParkingRecord&) const = default;
};

enum TaxiSegmentKind : int32_t {
    kTaxiToTaxi = 0,
    kRunwaySegment = 1,
    kTaxiToParking = 2,
};

struct TaxiSegmentRecord {
    int32_t kind = kTaxiToTaxi;
    int32_t firstIndex = 0;
    int32_t secondIndex = 0;  // into taxiPoints, or into parkings for kTaxiToParking
    std::string name;

    bool operator==(const TaxiSegmentRecord&) const = default;
};

struct AirportRecord {
    std::string name;
    std::string icaoId;
    double latitude = 0.0;
    double longitude = 0.0;
    int32_t altitudeFt = 0;
    std::string clearanceFreq;
    std::string groundFreq;
    std::string towerFreq;
    std::string departureFreq;
    std::string approachFreq;
    std::string centerFreq;
    std::string atisFreq;
    std::vector<RunwayRecord> runways;
    std::vector<IlsRecord> ilsList;
    std::vector<TaxiPointRecord> taxiPoints;
    std::vector<ParkingRecord> parkings;
    std::vector<TaxiSegmentRecord> taxiSegments;

    int32_t runwayCount() const { return static_cast<int32_t>(runways.size()); }
    int32_t ilsCount() const { return static_cast<int32_t>(ilsList.size()); }
    int32_t taxiPointCount() const { return static_cast<int32_t>(taxiPoints.size()); }
    int32_t parkingCount() const { return static_cast<int32_t>(parkings.size()); }
    int32_t taxiSegmentCount() const { return static_cast<int32_t>(taxiSegments.size()); }

    bool operator==(const AirportRecord&) const = default;
};

enum AirspacePointKind : uint8_t {
    kMoveTo = 0,
    kCentre = 1,
    kCircle = 2,
    kClockwiseArc = 3,
    kCounterClockwiseArc = 4,
    kLineTo = 5,
};

struct AirspacePoint {
    uint8_t kind = kMoveTo;
    double latitude = 0.0;
    double longitude = 0.0;
    int32_t radius = 0;  // nautical miles, circles only

    bool operator==(const AirspacePoint&) const = default;
};

struct AirspaceRecord {
    std::vector<AirspacePoint> points;
    double latitude = 0.0;
    double longitude = 0.0;
    int32_t floorFt = 0;
    int32_t ceilingFt = 0;
    std::string frequencyText;
    std::string typeName;
    std::string shortName;
    std::string fullName;

    int32_t pointCount() const { return static_cast<int32_t>(points.size()); }

    bool operator==(const AirspaceRecord&) const = default;
};

// The airport being controlled and what was loaded with it; one instance for the run.
struct LoadedAirportData {
    AirportRecord currentAirport;
    std::vector<AirspaceRecord> airspaces;  // airspaceCount = airspaces.size()
    MagVarGrid magVarGrid;
    // Every airport of the database (indices 0 to airportCount), while the airport
    // window is open.
    std::vector<AirportRecord> airportList;

    int32_t airspaceCount() const { return static_cast<int32_t>(airspaces.size()); }
};

}  // namespace scopewatch
