#pragma once

#include <cstdint>

// Where things stand in the simulator's BGL files: the header fields, the record ids and the
// offset of every field the program reads. The record walker, the facility decoder, the
// airspace walk and the magdec loader read by these names, and the scenery writer writes by
// them, so a field misplaced in one of them shows as a mismatch against the other.
//
// Offsets inside a record count from the record's start: its id at +0, then the length of
// what follows the first 8 bytes at +4, then the record's own fields.
namespace scopewatch::bgl {

// Header fields (file offsets).
inline constexpr int64_t kMarkerOffset = 118;
inline constexpr int32_t kMarker = static_cast<int32_t>(0x87654321U);
inline constexpr int64_t kSectionFormatOffset = 144;
inline constexpr int32_t kAirportSectionFormat = 1;
inline constexpr int64_t kFirstSectionOffset = 156;
inline constexpr int64_t kSecondSectionOffset = 164;

// Every record: id at +0, length of what follows the first 8 bytes at +4.
inline constexpr int64_t kRecordIdOffset = 0;
inline constexpr int64_t kRecordLengthOffset = 4;
inline constexpr int64_t kRecordHeadSize = 8;

// ---- The airport index --------------------------------------------------------------------

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
inline constexpr int64_t kFacilityBlockFirstWord = 0;
inline constexpr int64_t kFacilityBlockThirdWord = 8;
inline constexpr int64_t kFacilityBlockHeaderSize = 16;

// ---- Facility records ---------------------------------------------------------------------

inline constexpr int32_t kAirportHeader = 0x10001;
inline constexpr int32_t kRunway = 0x10002;
inline constexpr int32_t kOtherFacility3 = 0x10003;
inline constexpr int32_t kIls = 0x10004;
inline constexpr int32_t kOtherFacility5 = 0x10005;
inline constexpr int32_t kIcao = 0x10006;
inline constexpr int32_t kTaxiData = 0x11001;
inline constexpr int32_t kFrequency = 0x20001;

// The airport header: the reference point and the elevation (whole metres).
namespace airport_header {
inline constexpr int64_t kLatitude = 12;
inline constexpr int64_t kLongitude = 20;
inline constexpr int64_t kElevation = 28;
inline constexpr int64_t kSize = 32;
}  // namespace airport_header

// The ICAO identifier: its text fills the record.
namespace icao {
inline constexpr int64_t kText = 8;
}  // namespace icao

// A frequency: the word (hexadecimal digits read as decimal) and its type.
namespace frequency {
inline constexpr int64_t kWord = 8;
inline constexpr int64_t kType = 12;
inline constexpr int64_t kSize = 16;
}  // namespace frequency

// A runway: centre, elevation, true heading, length and width (feet), designator, number.
namespace runway {
inline constexpr int64_t kLatitude = 12;
inline constexpr int64_t kLongitude = 20;
inline constexpr int64_t kElevation = 28;
inline constexpr int64_t kHeading = 32;
inline constexpr int64_t kLength = 40;
inline constexpr int64_t kWidth = 44;
inline constexpr int64_t kDesignator = 48;
inline constexpr int64_t kNumber = 52;
inline constexpr int64_t kSize = 56;
}  // namespace runway

// An ILS after its runway: position, true heading, frequency, kind, then its ident.
namespace ils {
inline constexpr int64_t kLatitude = 12;
inline constexpr int64_t kLongitude = 20;
inline constexpr int64_t kHeading = 32;
inline constexpr int64_t kFrequency = 36;
inline constexpr int64_t kKind = 40;
inline constexpr int64_t kIdent = 56;
}  // namespace ils

// The one ILS kind that is taken (the localizer).
inline constexpr int32_t kLocalizerKind = 4;

// Taxi data: lists from +8, each a count and an item size, then the items.
namespace taxi {
inline constexpr int64_t kFirstList = 8;
inline constexpr int64_t kListCount = 0;
inline constexpr int64_t kListItemSize = 4;
inline constexpr int64_t kListItems = 8;
// A taxi point: its word, then metres east and north of the reference point (singles).
inline constexpr int64_t kPointWord = 0;
inline constexpr int64_t kPointEast = 4;
inline constexpr int64_t kPointNorth = 8;
// A parking: metres east, north and up, its radius (singles), its name word.
inline constexpr int64_t kParkingEast = 0;
inline constexpr int64_t kParkingNorth = 4;
inline constexpr int64_t kParkingUp = 8;
inline constexpr int64_t kParkingRadius = 12;
inline constexpr int64_t kParkingName = 16;
// A segment: its kind, the two taxi points it joins, its width, its name's index.
inline constexpr int64_t kSegmentKind = 0;
inline constexpr int64_t kSegmentFirst = 12;
inline constexpr int64_t kSegmentSecond = 16;
inline constexpr int64_t kSegmentWidth = 20;
inline constexpr int64_t kSegmentNameIndex = 28;
}  // namespace taxi

// Item sizes that tell the taxi data lists apart.
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

// ---- Airspaces ----------------------------------------------------------------------------

// The second section's chains: records of id 1 say by their type what they hold, a group of
// airspace records or one airspace record; records of the airport index's group id are passed
// over.
namespace airspace {
inline constexpr int32_t kChainRecord = 1;
inline constexpr int32_t kGroupType = 4;
inline constexpr int32_t kAirspaceType = 5;
inline constexpr int64_t kChainType = 8;
inline constexpr int64_t kChainContent = 16;  // a group's chain, an airspace's sub-records

// Sub-records of an airspace record.
inline constexpr int32_t kBoundingBox = 0x1000B;
inline constexpr int32_t kShortName = 0x10006;
inline constexpr int32_t kFrequencyName = 0x20001;
inline constexpr int32_t kCentrePoint = 0x12001;
inline constexpr int32_t kMovePoint = 0x12002;
inline constexpr int32_t kSkippedPoint = 0x12003;
inline constexpr int32_t kLinePoint = 0x12005;
inline constexpr int32_t kClockwisePoint = 0x12006;
inline constexpr int32_t kCounterClockwisePoint = 0x12007;
inline constexpr int32_t kCirclePoint = 0x12008;

// The bounding box: its south, west, north and east edges.
inline constexpr int64_t kBoxSouth = 8;
inline constexpr int64_t kBoxWest = 12;
inline constexpr int64_t kBoxNorth = 16;
inline constexpr int64_t kBoxEast = 20;
inline constexpr int64_t kBoxSize = 24;
// A short name fills its record; a frequency name holds the word, then the full name.
inline constexpr int64_t kNameText = 8;
inline constexpr int64_t kFrequencyWord = 8;
inline constexpr int64_t kFrequencyFullName = 16;
// A boundary point; the first (move) point also carries the limits.
inline constexpr int64_t kPointLatitude = 12;
inline constexpr int64_t kPointLongitude = 20;
inline constexpr int64_t kPointSize = 24;
inline constexpr int64_t kMoveFloor = 24;
inline constexpr int64_t kMoveCeiling = 28;
inline constexpr int64_t kMoveSize = 32;
// A circle: its radius (nautical miles) and the limits.
inline constexpr int64_t kCircleRadius = 8;
inline constexpr int64_t kCircleFloor = 16;
inline constexpr int64_t kCircleCeiling = 20;
inline constexpr int64_t kCircleSize = 24;
}  // namespace airspace

// ---- magdec.bgl ---------------------------------------------------------------------------

// The table's position at 110; the table, after a header of 8 bytes, holds a signed 16-bit
// value for each whole degree, longitude-major.
inline constexpr int64_t kMagdecTableOffsetPosition = 110;
inline constexpr int64_t kMagdecTableHeaderSize = 8;
inline constexpr int64_t kMagdecTableBytes = 2 * 181 * 360;

}  // namespace scopewatch::bgl
