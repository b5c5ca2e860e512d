#include "demo/DemoAirspaces.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "geo/Geodesy.h"
#include "platform/AtomicFile.h"
#include "scenerywriter/AirspaceWriter.h"

// The airspaces of the demo's facility data: around Eldorado Intl a Class B of three tiers
// (an inner circle, and two half rings drawn with arcs both ways and lines), a Class C shelf
// and a Class D surface area, inside the Fort Worth Center whose northern border passes just
// north of the field; elsewhere airspaces that no central airport lies in.
namespace scopewatch::demo {

using namespace scenery;
namespace {

constexpr double kEldoradoLat = 36.42;
constexpr double kEldoradoLon = -97.0;

BglBoundaryElement At(BoundaryStep step, int16_t bearing, int16_t distanceNm) {
    const GeoPoint point = DestinationNm({kEldoradoLat, kEldoradoLon}, bearing, distanceNm);
    return {step, point.latitude, point.longitude, 0};
}

BglBoundaryElement Centre() {
    return {BoundaryStep::Centre, kEldoradoLat, kEldoradoLon, 0};
}

BglAirspace InnerClassB() {
    BglAirspace airspace = CircleAirspace({kEldoradoLat, kEldoradoLon}, 10, 0, 10000);
    airspace.shortNames = {"KELD", "B1"};
    return airspace;
}

// The ring between 10 and 20 nm on one side of the field, from north round to south (east
// side) or from south round to north (west side).
BglAirspace HalfRingClassB(bool eastSide, int32_t floorFt, const std::string& name) {
    const int16_t start = eastSide ? 360 : 180;
    const int16_t end = eastSide ? 180 : 360;
    BglAirspace airspace;
    airspace.shortNames = {"KELD", name};
    airspace.lowerFt = floorFt;
    airspace.upperFt = 10000;
    airspace.boundary = {Centre(),
                         At(BoundaryStep::Move, start, 20),
                         At(BoundaryStep::ClockwiseArc, end, 20),
                         At(BoundaryStep::Line, end, 10),
                         At(BoundaryStep::CounterClockwiseArc, start, 10),
                         At(BoundaryStep::Line, start, 20)};
    return airspace;
}

// A shelf south-west of the field, drawn with lines.
BglAirspace ClassCShelf() {
    BglAirspace airspace;
    airspace.shortNames = {"KELD", "C"};
    airspace.lowerFt = 1500;
    airspace.upperFt = 4000;
    airspace.boundary = {At(BoundaryStep::Move, 200, 24), At(BoundaryStep::Line, 235, 30),
                         At(BoundaryStep::Line, 270, 26), At(BoundaryStep::Line, 300, 24),
                         At(BoundaryStep::Line, 270, 21), At(BoundaryStep::Line, 220, 21),
                         At(BoundaryStep::Line, 200, 24)};
    // Its box reaches over the field, as shelves of a terminal area do.
    airspace.box =
        BglBox{kEldoradoLat - 0.6, kEldoradoLon - 0.75, kEldoradoLat + 0.3, kEldoradoLon + 0.1};
    return airspace;
}

BglAirspace SurfaceClassD() {
    BglAirspace airspace = CircleAirspace({kEldoradoLat, kEldoradoLon}, 4, 0, 2500);
    airspace.shortNames = {"KELD", "D"};
    return airspace;
}

BglAirspace FortWorthCenter() {
    const double border = kEldoradoLat + 0.2;
    BglAirspace airspace;
    airspace.shortNames = {"ZFW"};
    airspace.fullName = "FORT WORTH CENTER";
    airspace.frequenciesMhz = {132.45, 127.6};
    airspace.lowerFt = 0;
    airspace.upperFt = 60000;
    airspace.boundary = {
        {BoundaryStep::Move, border, -100.0, 0},       {BoundaryStep::Line, border, -98.2, 0},
        {BoundaryStep::Line, border + 0.15, -97.4, 0}, {BoundaryStep::Line, border, -96.3, 0},
        {BoundaryStep::Line, border, -94.0, 0},        {BoundaryStep::Line, 33.0, -94.0, 0},
        {BoundaryStep::Line, 33.0, -100.0, 0},         {BoundaryStep::Line, border, -100.0, 0}};
    return airspace;
}

BglAirspace KansasCityCenter() {
    const double border = kEldoradoLat + 0.2;
    BglAirspace airspace;
    airspace.shortNames = {"ZKC"};
    airspace.fullName = "KANSAS CITY CENTER";
    airspace.frequenciesMhz = {133.2};
    airspace.lowerFt = 0;
    airspace.upperFt = 60000;
    airspace.boundary = {{BoundaryStep::Move, border, -100.0, 0},
                         {BoundaryStep::Line, 40.0, -100.0, 0},
                         {BoundaryStep::Line, 40.0, -94.0, 0},
                         {BoundaryStep::Line, border, -94.0, 0}};
    return airspace;
}

// Class D areas of other fields: none of them holds a central demo airport.
std::vector<BglAirspace> OtherFields() {
    BglAirspace cimarron = CircleAirspace({36.88, -97.62}, 4, 0, 2600);
    cimarron.shortNames = {"KCRF"};
    BglAirspace harbor = CircleAirspace({47.33, -122.61}, 8, 0, 4000);
    harbor.shortNames = {"KHPI"};
    BglAirspace nordhavn = CircleAirspace({55.91, 10.63}, 5, 0, 2500);
    nordhavn.shortNames = {"EKNH"};
    return {cimarron, harbor, nordhavn};
}

void Write(const std::filesystem::path& path, const Bytes& bytes) {
    if (const Status written = WriteFileAtomically(path, bytes); !written.ok()) {
        throw std::runtime_error("cannot write " + path.string() + ": " + written.failure);
    }
}

}  // namespace

void WriteDemoAirspaces(const std::filesystem::path& folder) {
    Write(folder / "Eldorado_Airspace.bgl",
          BuildAirspaceBgl({InnerClassB(), HalfRingClassB(true, 3000, "B2"),
                            HalfRingClassB(false, 4000, "B3"), ClassCShelf(), SurfaceClassD()},
                           3));
    Write(folder / "Centers.BGL", BuildAirspaceBgl({KansasCityCenter(), FortWorthCenter()}));
    Write(folder / "Other_Fields.bgl", BuildAirspaceBgl(OtherFields()));
}

}  // namespace scopewatch::demo
