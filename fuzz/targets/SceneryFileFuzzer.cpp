// The scenery file walk with facility decoding, as the database build runs it on every BGL
// file of the airport areas. The input is the file. The airports found then go through the
// database writer and reader, which must give them back unchanged.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "bgl/BglWalker.h"
#include "bgl/FileBuffer.h"
#include "builder/AirportDatabaseFile.h"

namespace scopewatch::fuzzing {
namespace {

void CheckDatabaseRoundTrip(const std::vector<AirportRecord>& airports) {
    const std::vector<uint8_t> written = EncodeAirportDatabase(airports);
    const auto count = static_cast<int32_t>(airports.size());
    AirportDatabaseContent read = DecodeAirportDatabase(written, count);
    Require(read.problem.empty(), "the database reader takes what the writer wrote");
    Require(airports.empty() || read.recordsRead == count + 1,
            "the database reader reads every record written, the empty last one included");
    read.records.resize(airports.size());
    Require(EncodeAirportDatabase(read.records) == written,
            "airports read back from the database are written as they were");
}

}  // namespace
}  // namespace scopewatch::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scopewatch;
    using namespace scopewatch::fuzzing;
    const FileBuffer buffer(std::vector<uint8_t>(data, data + size));
    std::vector<AirportRecord> airports;
    const SceneryScanResult result = ScanSceneryFile(buffer, SpreadGrid(), airports);
    Require(result.airportsFound == static_cast<int>(airports.size()),
            "the scan counts the airports it appended");
    Require(result.complete() || !result.problem->what.empty(), "a walk that stopped says why");
    CheckDatabaseRoundTrip(airports);
    return 0;
}
