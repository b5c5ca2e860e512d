// The airspace file walk, as "GET AIRPORT" runs it on every BGL file of the facility data
// folder, and the scope drawing what it found. The input starts with the airport the
// airspaces must contain (latitude and longitude words as scenery files encode them, then
// its elevation in feet); the rest is the file.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "airport/AirspaceLookup.h"
#include "bgl/BglEncodings.h"
#include "bgl/FileBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scopewatch;
    using namespace scopewatch::fuzzing;
    InputPrefix input(data, size);
    LoadedAirportData loaded;
    loaded.magVarGrid = SpreadGrid();
    AirportRecord& airport = loaded.currentAirport;
    airport.latitude = LatitudeFromRaw(input.Int32());
    airport.longitude = LongitudeFromRaw(input.Int32());
    airport.altitudeFt = input.Int32();
    airport.departureFreq = "124.7";
    const FileBuffer buffer(input.Rest());

    const AirspaceTarget target{airport, loaded.magVarGrid};
    const auto problem = ExamineAirspaceFile(buffer, target, loaded.airspaces);
    Require(!problem || !problem->what.empty(), "a walk that stopped says why");
    for (AirspaceRecord& airspace : loaded.airspaces) {
        airspace.typeName = AirspaceTypeFor(airspace);
    }
    if (auto tracon = GeneratedTracon(airport)) {
        loaded.airspaces.push_back(std::move(*tracon));
    }
    const AirspaceRecord& first = loaded.airspaces.front();
    PaintAndHover(loaded, kInitialZoomLevel, first.latitude, first.longitude);
    PaintAndHover(loaded, 1, airport.latitude, airport.longitude);
    return 0;
}
