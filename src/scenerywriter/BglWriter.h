#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "bgl/BglLayout.h"
#include "geo/Headings.h"
#include "shared/ByteWriter.h"

// Writes BGL scenery files with airport data: the header, the airport index and the facility
// blocks, from airports described in plain terms (degrees, feet, true headings, megahertz,
// names). Encodings are the inverse of those the program's decoder reads.
namespace scopewatch::scenery {

using Bytes = std::vector<uint8_t>;

// ---- Encodings ----------------------------------------------------------------------------
int32_t EncodeLatitude(double degrees);     // raw * 90 / 10001750 = degrees
int32_t EncodeLongitude(double degrees);    // raw * 360 / 2^32 = degrees (wraps at 180)
int32_t EncodeElevation(double feet);       // whole metres
int32_t EncodeHeading(double trueDegrees);  // fraction of a full turn in 32 bits
int32_t EncodeFrequency(double megahertz);  // 118.3 -> 0x01183000

// ---- Building blocks for any BGL file -------------------------------------------------------

// One record: id, the length of the payload, the payload.
Bytes BglRecord(int32_t id, const Bytes& payload);
// A record that ends a chain or a facility block: id 0, no payload.
Bytes EndRecord();

// The fields of a record or a list item, each written at the offset the layout names (for a
// record, counting from its start), zeros between them. Text grows it to hold its bytes.
class Fields {
  public:
    explicit Fields(int64_t size) { writer_.ZerosTo(static_cast<size_t>(size)); }
    Fields& Int32(int64_t at, int32_t value);
    Fields& Float(int64_t at, float value);
    Fields& Text(int64_t at, const Bytes& text);
    Bytes Take() { return writer_.Take(); }

  private:
    ByteWriter writer_;
};
// A whole record of the fields: its id and length go into the head.
Bytes FieldRecord(int32_t id, Fields fields);
// Byte strings one after the other.
Bytes Concat(const std::vector<Bytes>& parts);

// A BGL file under construction: the header (marker at 118, section format 1 at 144, no
// sections) followed by whatever is appended. Append returns the file offset of the bytes,
// which is what the header's section offsets and the index's facility positions hold.
class BglFile {
  public:
    static constexpr int32_t kHeaderSize = 176;

    BglFile();

    int32_t Append(const Bytes& bytes);
    int32_t End() const { return static_cast<int32_t>(writer_.Size()); }

    void SetMarker(int32_t marker);
    void SetSectionFormat(int32_t format);
    void SetFirstSection(int32_t offset);
    void SetSecondSection(int32_t offset);

    const Bytes& bytes() const { return writer_.bytes(); }
    Bytes Take() { return writer_.Take(); }

  private:
    ByteWriter writer_;
};

// ---- Airports in plain terms ---------------------------------------------------------------

struct BglIls {
    std::string ident;
    double latitude = 0.0;
    double longitude = 0.0;
    double trueHeading = 0.0;  // localizer course, degrees true
    double frequencyMhz = 0.0;
    int32_t kind = bgl::kLocalizerKind;  // only the localizer kind is taken by the decoder
};

struct BglRunway {
    double latitude = 0.0;  // centre
    double longitude = 0.0;
    double elevationFt = 0.0;
    double trueHeading = 0.0;  // from the primary end, degrees true
    int32_t lengthFt = 0;
    int32_t widthFt = 0;
    int32_t number = 0;                         // 1..36 for the primary end
    int32_t designator = bgl::kDesignatorNone;  // bgl::kDesignator...
    std::vector<BglIls> ils;                    // written right after the runway
};

struct BglFrequency {
    int32_t type = bgl::kTowerFrequency;  // bgl::k...Frequency
    double megahertz = 0.0;
};

// Taxi points and parkings stand in metres east and north of the airport reference point.
struct BglTaxiPoint {
    double eastM = 0.0;
    double northM = 0.0;
    int32_t pointWord = 0;  // first word of the item, kept by the decoder as it is
};

struct BglParking {
    double eastM = 0.0;
    double northM = 0.0;
    double upM = 0.0;
    double radiusM = 20.0;   // written, not read
    int32_t nameCode = 1;    // 1 "Parking" ... 10 "Gate", 11 "Dock", 12..37 "Gate A".."Gate Z"
    int32_t number = 0;      // 0..8191
    uint32_t upperBits = 0;  // bits 20..31 of the parking word (type and the like), not read
};

struct BglTaxiSegment {
    int32_t kind = 0;  // 0 taxi point to taxi point, 1 runway, 2 taxi point to parking
    int32_t firstIndex = 0;
    int32_t secondIndex = 0;
    // Kind 0: index into BglAirport::taxiwayNames; kind 1: index of the runway.
    int32_t nameIndex = 0;
};

struct BglAirport {
    std::string name;  // as the airport index names it
    std::string icao;
    double latitude = 0.0;
    double longitude = 0.0;
    double elevationFt = 0.0;
    std::vector<BglFrequency> frequencies;
    std::vector<BglRunway> runways;
    std::vector<BglTaxiPoint> taxiPoints;
    std::vector<BglParking> parkings;
    std::vector<BglTaxiSegment> taxiSegments;
    std::vector<std::string> taxiwayNames;  // up to 8 characters each
};

// Where a point given in metres east and north of the airport reference lands, computed the
// way the decoder places taxi points and parkings.
GeoPoint PositionOf(const BglAirport& airport, double eastM, double northM);

// ---- Facility records ----------------------------------------------------------------------
Bytes AirportHeaderBytes(double latitude, double longitude, double elevationFt);
Bytes IcaoBytes(const std::string& icao);
Bytes FrequencyBytes(const BglFrequency& frequency);
Bytes RunwayBytes(const BglRunway& runway);  // the runway alone, without its ILS
Bytes IlsBytes(const BglIls& ils);
// The taxi data record: the non-empty sub-lists of points, parkings and segments, then the
// names (always, ending the record). Empty when the airport has no taxi data at all.
Bytes TaxiDataBytes(const BglAirport& airport);

// The records of one airport in the usual order: header, ICAO, frequencies, each runway with
// its ILS, taxi data.
std::vector<Bytes> FacilityRecords(const BglAirport& airport);
// A facility block: the four header words, the records, an end record.
Bytes FacilityBlock(const std::vector<Bytes>& records, int32_t firstWord = 1,
                    int32_t thirdWord = 1);

// ---- Airport index -------------------------------------------------------------------------
Bytes IndexEntry(const std::string& name, int32_t facilityPosition,
                 int32_t kind = bgl::kAirportEntryKind, int32_t id = bgl::kAirportIndexEntry);
Bytes IndexGroup(const std::vector<Bytes>& entries);

// ---- Whole files ---------------------------------------------------------------------------
struct AirportFileLayout {
    size_t airportsPerGroup = 8;  // entries per index group
    // Airports from this index on are indexed in the second section, after a record the
    // walker passes over; the others in the first section.
    size_t secondSectionFrom = std::numeric_limits<size_t>::max();
};

// A complete airport scenery file: facility blocks, then the index chain(s), each chain
// closed by an end record.
Bytes BuildAirportBgl(const std::vector<BglAirport>& airports,
                      const AirportFileLayout& layout = {});

}  // namespace scopewatch::scenery
