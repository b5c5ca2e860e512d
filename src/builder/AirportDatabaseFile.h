#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/AirportData.h"
#include "platform/AtomicFile.h"

namespace scopewatch {

// world_airports.dat: the airport records one after the other from offset 0, no header and
// no count (the settings file knows the highest index). Texts carry a 16-bit length, lists a
// dimension word (0: absent) then the element count and a lower bound of 0. Runway and ILS
// lists carry one empty element after their real ones; the taxi lists carry exactly theirs.

// The records alone, one after the other: a stretch of the file.
std::vector<uint8_t> EncodeAirportRecords(const std::vector<AirportRecord>& airports);
// Appends one record to such a stretch.
void AppendAirportRecord(std::vector<uint8_t>& bytes, const AirportRecord& airport);

// The whole file for the airports found: each airport, then one empty record. No airports
// give no bytes at all.
std::vector<uint8_t> EncodeAirportDatabase(const std::vector<AirportRecord>& airports);

// Replaces the file in one step.
Status WriteAirportDatabase(const std::filesystem::path& file,
                            const std::vector<AirportRecord>& airports,
                            const AtomicWriteHook& hook = {});

// The highest airport index a database may announce; a larger count in the settings is damage.
inline constexpr int32_t kMaxAirportCount = 500000;

struct AirportDatabaseContent {
    // The records read whole from the start of the file, indices 0 up to airportCount at
    // most: a file that holds fewer gives fewer (nothing is made for records it lacks).
    std::vector<AirportRecord> records;
    // Records read whole from the start of the file.
    int32_t recordsRead = 0;
    bool fileFound = true;
    // Why reading stopped early (offset and record), empty when the file simply ended at
    // a record boundary or held every record.
    std::string problem;
};

// Reads up to airportCount + 1 records from the bytes, making room only for as many as the
// bytes can hold, however many the settings announce. Every read is bounds-checked: a record
// that runs past the end or announces an impossible list stops the reading there.
AirportDatabaseContent DecodeAirportDatabase(const std::vector<uint8_t>& bytes,
                                             int32_t airportCount);
AirportDatabaseContent ReadAirportDatabase(const std::filesystem::path& file, int32_t airportCount);

}  // namespace scopewatch
