#pragma once

#include <cstdint>

// Where things stand in a BGL scenery file that carries airport data: the header fields,
// the record ids of the airport index and of the facility records. The walker and decoder
// read by these numbers; the fixture writer writes by them.
namespace scopewatch::bgl {

// Header fields (file offsets).
inline constexpr int64_t kMarkerOffset = 118;
inline constexpr int32_t kMarker = static_cast<int32_t>(0x87654321U);
inline constexpr int64_t kSectionFormatOffset = 144;
inline constexpr int32_t kAirportSectionFormat = 1;
inline constexpr int64_t kFirstSectionOffset = 156;
inline constexpr int64_t kSecondSectionOffset = 164;

// Every record: id at +0, length of what follows the first 8 bytes at +4.
inline constexpr int64_t kRecordHeadSize = 8;

// Section chains.
inline constexpr int32_t kSkippedSectionRecord = 1;  // passed over in the second section
inline constexpr int32_t kAirportIndexGroup = 0x30001;
inline constexpr int32_t kAirportIndexEntry = 0x30002;
inline constexpr int32_t kAirportEntryKind = 0x50001;  // an entry with a facility block

// Airport index group: entry count at +20, entries from +24.
inline constexpr int64_t kGroupEntryCountOffset = 20;
inline constexpr int64_t kGroupEntriesOffset = 24;
// Index entry: kind at +8, facility block position at +12, name from +16.
inline constexpr int64_t kEntryKindOffset = 8;
inline constexpr int64_t kEntryFacilityOffset = 12;
inline constexpr int64_t kEntryNameOffset = 16;

// Facility block: four words (the first and third are 1), then the facility records.
inline constexpr int64_t kFacilityBlockHeaderSize = 16;

// Facility records.
inline constexpr int32_t kAirportHeader = 0x10001;
inline constexpr int32_t kRunway = 0x10002;
inline constexpr int32_t kOtherFacility3 = 0x10003;
inline constexpr int32_t kIls = 0x10004;
inline constexpr int32_t kOtherFacility5 = 0x10005;
inline constexpr int32_t kIcao = 0x10006;
inline constexpr int32_t kTaxiData = 0x11001;
inline constexpr int32_t kFrequency = 0x20001;

// The one ILS kind that is taken (the localizer).
inline constexpr int32_t kLocalizerKind = 4;

// Item sizes that tell the taxi data sub-lists apart.
inline constexpr int32_t kTaxiPointItemSize = 12;
inline constexpr int32_t kParkingItemSize = 20;
inline constexpr int32_t kTaxiSegmentItemSize = 32;
inline constexpr int32_t kTaxiNameItemSize = 8;

// Frequency record types.
inline constexpr int32_t kAtisFrequency = 1;
inline constexpr int32_t kGroundFrequency = 5;
inline constexpr int32_t kTowerFrequency = 6;
inline constexpr int32_t kClearanceFrequency = 7;
inline constexpr int32_t kApproachFrequency = 8;
inline constexpr int32_t kDepartureFrequency = 9;
inline constexpr int32_t kCenterFrequency = 10;

// Runway designator codes.
inline constexpr int32_t kDesignatorNone = 0;
inline constexpr int32_t kDesignatorLeft = 1;
inline constexpr int32_t kDesignatorRight = 2;
inline constexpr int32_t kDesignatorCentre = 3;
inline constexpr int32_t kDesignatorHelipad = 4;

// magdec.bgl: the table's position at 110; the table, after a header of 8 bytes, holds a
// signed 16-bit value for each whole degree, longitude-major.
inline constexpr int64_t kMagdecTableOffsetPosition = 110;
inline constexpr int64_t kMagdecTableHeaderSize = 8;
inline constexpr int64_t kMagdecTableBytes = 2 * 181 * 360;

}  // namespace scopewatch::bgl
