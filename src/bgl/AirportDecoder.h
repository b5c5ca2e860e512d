#pragma once

#include <cstdint>

#include "bgl/BglRecord.h"
#include "bgl/FileBuffer.h"
#include "geo/MagVarGrid.h"
#include "model/AirportData.h"

namespace scopewatch {

// Decodes the facility records of one airport, starting after the 16-byte facility block
// header at facilityBlock, into the record (whose name the caller has set). Decoding ends
// quietly at the first record id it does not know. Reads outside the file and contradicting
// records throw MalformedBytes; the record keeps what was decoded up to there, and the trace
// names the record being read.
void DecodeAirport(const ByteReader& file, int64_t facilityBlock, const MagVarGrid& grid,
                   AirportRecord& airport, RecordTrace& trace);

// The same without a trace.
void DecodeAirport(const FileBuffer& buffer, int64_t facilityBlock, const MagVarGrid& grid,
                   AirportRecord& airport);

// The name for a parking name code ("Gate C" for 14); empty for a code outside 1..37.
std::string ParkingName(int32_t nameCode);

}  // namespace scopewatch
