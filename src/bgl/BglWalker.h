#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bgl/BglRecord.h"
#include "bgl/FileBuffer.h"
#include "geo/MagVarGrid.h"
#include "model/AirportData.h"

namespace scopewatch {

struct SceneryScanResult {
    int airportsFound = 0;              // airports appended by this file
    std::optional<BglProblem> problem;  // where and why a malformed file stopped the walk

    bool complete() const { return !problem.has_value(); }
};

// Where a walk puts the airports it decodes, one after the other in file order.
class AirportSink {
  public:
    virtual ~AirportSink() = default;
    // An empty record for the next airport, which the walk then fills; it stays in place
    // until the next call.
    virtual AirportRecord& NextAirport() = 0;
};

// Examines one scenery file already loaded into the buffer (the caller checked the marker
// at 118), handing each airport it decodes to the sink: the one a malformed file stops as
// far as it got.
SceneryScanResult ScanSceneryFile(const FileBuffer& buffer, const MagVarGrid& grid,
                                  AirportSink& airports);

// Examines one scenery file already loaded into the buffer (the caller checked the marker
// at 118). Appends one decoded AirportRecord per indexed airport to airportList. The list
// holds only real airports (no trailing empty record; the database writer adds that).
// When the file turns out malformed, the walk stops there: the airports appended so far stay,
// the one being decoded as far as it got, and the result says where it stopped.
SceneryScanResult ScanSceneryFile(const FileBuffer& buffer, const MagVarGrid& grid,
                                  std::vector<AirportRecord>& airportList);

// The first record after a chain of airport index groups, and where it stands.
struct IndexChainEnd {
    int64_t position = 0;
    int32_t id = 0;
};

// Walks the chain of airport index groups (id 0x30001) that starts at the position, appending
// and decoding one airport per airport entry whose facility block is sound. Reads outside the
// file and contradicting records throw MalformedBytes; the trace then names the record being
// read.
IndexChainEnd WalkAirportIndex(const ByteReader& file, int64_t position, const MagVarGrid& grid,
                               AirportSink& airports, RecordTrace& trace);

}  // namespace scopewatch
