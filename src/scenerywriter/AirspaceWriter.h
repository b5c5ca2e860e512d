#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geo/GeoPoint.h"
#include "scenerywriter/BglWriter.h"

// Writes airspace scenery: airspace records (bounding box, names, frequencies, boundary)
// grouped in the record chain of a BGL file's second section, from airspaces described in
// plain terms (degrees, feet, nautical miles, megahertz).
namespace scopewatch::scenery {

enum class BoundaryStep { Move, Centre, Circle, ClockwiseArc, CounterClockwiseArc, Line, Skipped };

// One element of an airspace's boundary. Arcs run about the last centre from the last
// position to the element's point; circles about the last centre with their radius.
struct BglBoundaryElement {
    BoundaryStep step = BoundaryStep::Move;
    double latitude = 0.0;
    double longitude = 0.0;
    int32_t radiusNm = 0;  // circles only
};

struct BglBox {
    double south = 0.0;
    double west = 0.0;
    double north = 0.0;
    double east = 0.0;
};

struct BglAirspace {
    std::vector<std::string> shortNames;
    std::vector<double> frequenciesMhz;  // each written with fullName
    std::string fullName;
    int32_t lowerFt = 0;  // written into every move and circle element
    int32_t upperFt = 0;
    // The bounding box; without one it is computed around the boundary.
    std::optional<BglBox> box;
    std::vector<BglBoundaryElement> boundary;
    // Writes the names and frequencies before the bounding box instead of after it.
    bool namesBeforeBox = false;
};

// The box that holds every point, circle and arc of the boundary, with a small margin.
BglBox BoundaryBox(const std::vector<BglBoundaryElement>& boundary);

// One airspace record (id 1, type 5) with its sub-records and their end record.
Bytes AirspaceRecordBytes(const BglAirspace& airspace);
// One record holding the sub-records of several airspaces one after the other, each
// starting with its bounding box.
Bytes SharedAirspaceRecordBytes(const std::vector<BglAirspace>& airspaces);
// A group record (id 1, type 4) holding the records' chain and its end record.
Bytes AirspaceGroupBytes(const std::vector<Bytes>& records);

// A complete airspace scenery file: the airspaces in groups of airspacesPerGroup, the
// groups' chain (ended by an end record) in the second section.
Bytes BuildAirspaceBgl(const std::vector<BglAirspace>& airspaces, size_t airspacesPerGroup = 4);

// A circle airspace of the radius about a centre.
BglAirspace CircleAirspace(GeoPoint centre, int32_t radiusNm, int32_t lowerFt, int32_t upperFt);

}  // namespace scopewatch::scenery
