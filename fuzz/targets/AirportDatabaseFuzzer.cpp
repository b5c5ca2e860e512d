// world_airports.dat as the airport window reads it: every record the settings announce,
// the search, "GET AIRPORT" on a result line, and the scope drawing the airport taken over.
// The input starts with one byte, the highest airport index the settings announce; the rest
// is the file.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "airport/AirportSearch.h"
#include "airport/AirportTakeOver.h"
#include "builder/AirportDatabaseFile.h"

namespace scopewatch::fuzzing {
namespace {

// The records read whole are written and read again: that must give the same bytes.
void CheckRoundTrip(const AirportDatabaseContent& content) {
    const std::vector<AirportRecord> whole(content.records.begin(),
                                           content.records.begin() + content.recordsRead);
    const std::vector<uint8_t> written = EncodeAirportDatabase(whole);
    AirportDatabaseContent again = DecodeAirportDatabase(written, content.recordsRead);
    Require(again.problem.empty(), "the reader takes what the writer wrote");
    again.records.resize(whole.size());
    Require(EncodeAirportDatabase(again.records) == written, "records survive a round trip");
}

void TakeOverAndPaint(const AirportDatabaseContent& content) {
    LoadedAirportData loaded;
    loaded.magVarGrid = SpreadGrid();
    loaded.airportList = content.records;
    const std::vector<std::string> lines = SearchAirports(loaded.airportList, " ");
    if (lines.empty() || !TakeOverAirport(loaded, ParseIndexFromLine(lines.front()))) {
        return;
    }
    const AirportRecord& airport = loaded.currentAirport;
    const RunwayRecord firstRunway = airport.runways.empty() ? RunwayRecord{} : airport.runways[0];
    PaintAndHover(loaded, kSurfaceZoomLevel + 3, firstRunway.end1Latitude,
                  firstRunway.end1Longitude);
    PaintAndHover(loaded, kInitialZoomLevel, airport.latitude, airport.longitude);
}

}  // namespace
}  // namespace scopewatch::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scopewatch;
    using namespace scopewatch::fuzzing;
    InputPrefix input(data, size);
    const int32_t airportCount = input.Byte();
    const AirportDatabaseContent content = DecodeAirportDatabase(input.Rest(), airportCount);
    Require(content.records.size() == static_cast<size_t>(content.recordsRead),
            "the records are those read whole");
    Require(content.recordsRead <= airportCount + 1, "no more records are read than announced");
    CheckRoundTrip(content);
    SearchAirports(content.records, "intl");
    TakeOverAndPaint(content);
    return 0;
}
