#include "scenerywriter/BglWriter.h"

#include <algorithm>
#include <cmath>

#include "geo/Destinations.h"
#include "shared/Rounding.h"

namespace scopewatch::scenery {

namespace {

int32_t WrapToInt32(double value) {
    const auto whole = static_cast<int64_t>(RoundHalfEven(value));
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(whole)));
}

// Text padded with zero bytes to a multiple of four (zero bytes are skipped when read).
Bytes PaddedText(const std::string& text, size_t minimum) {
    Bytes bytes(text.begin(), text.end());
    bytes.resize(std::max(minimum, (bytes.size() + 3) / 4 * 4), 0);
    return bytes;
}

uint32_t ParkingWord(const BglParking& parking) {
    return (static_cast<uint32_t>(parking.nameCode) & 0x7FU) |
           ((static_cast<uint32_t>(parking.number) & 0x1FFFU) << 7) | (parking.upperBits << 20);
}

// One taxi data list: its count and item size, then the items.
template <typename Item, typename WriteItem>
void WriteTaxiList(ByteWriter& writer, const std::vector<Item>& items, int32_t itemSize,
                   WriteItem write) {
    writer.Bytes(Fields(bgl::taxi::kListItems)
                     .Int32(bgl::taxi::kListCount, static_cast<int32_t>(items.size()))
                     .Int32(bgl::taxi::kListItemSize, itemSize)
                     .Take());
    for (const Item& item : items) {
        Fields fields(itemSize);
        write(fields, item);
        writer.Bytes(fields.Take());
    }
}

void WriteTaxiPoints(ByteWriter& writer, const std::vector<BglTaxiPoint>& points) {
    namespace at = bgl::taxi;
    WriteTaxiList(writer, points, bgl::kTaxiPointItemSize,
                  [](Fields& fields, const BglTaxiPoint& point) {
                      fields.Int32(at::kPointWord, point.pointWord)
                          .Float(at::kPointEast, static_cast<float>(point.eastM))
                          .Float(at::kPointNorth, static_cast<float>(point.northM));
                  });
}

void WriteParkings(ByteWriter& writer, const std::vector<BglParking>& parkings) {
    namespace at = bgl::taxi;
    WriteTaxiList(writer, parkings, bgl::kParkingItemSize,
                  [](Fields& fields, const BglParking& parking) {
                      fields.Float(at::kParkingEast, static_cast<float>(parking.eastM))
                          .Float(at::kParkingNorth, static_cast<float>(parking.northM))
                          .Float(at::kParkingUp, static_cast<float>(parking.upM))
                          .Float(at::kParkingRadius, static_cast<float>(parking.radiusM))
                          .Int32(at::kParkingName, static_cast<int32_t>(ParkingWord(parking)));
                  });
}

void WriteSegments(ByteWriter& writer, const std::vector<BglTaxiSegment>& segments) {
    namespace at = bgl::taxi;
    WriteTaxiList(writer, segments, bgl::kTaxiSegmentItemSize,
                  [](Fields& fields, const BglTaxiSegment& segment) {
                      fields.Int32(at::kSegmentKind, segment.kind)
                          .Int32(at::kSegmentFirst, segment.firstIndex)
                          .Int32(at::kSegmentSecond, segment.secondIndex)
                          .Float(at::kSegmentWidth, segment.kind == 1 ? 45.0F : 23.0F)  // not read
                          .Int32(at::kSegmentNameIndex, segment.nameIndex);
                  });
}

void WriteNames(ByteWriter& writer, const std::vector<std::string>& names) {
    WriteTaxiList(
        writer, names, bgl::kTaxiNameItemSize, [](Fields& fields, const std::string& name) {
            fields.Text(
                0, Bytes(name.begin(), name.begin() + static_cast<long>(std::min<size_t>(
                                                          name.size(), bgl::kTaxiNameItemSize))));
        });
}

Bytes IndexChain(const std::vector<BglAirport>& airports, const std::vector<int32_t>& positions,
                 size_t from, size_t to, size_t perGroup) {
    std::vector<Bytes> groups;
    for (size_t start = from; start < to; start += perGroup) {
        std::vector<Bytes> entries;
        for (size_t i = start; i < std::min(to, start + perGroup); ++i) {
            entries.push_back(IndexEntry(airports[i].name, positions[i]));
        }
        groups.push_back(IndexGroup(entries));
    }
    groups.push_back(EndRecord());
    return Concat(groups);
}

}  // namespace

int32_t EncodeLatitude(double degrees) {
    return RoundToInt32(degrees * 10001750.0 / 90.0);
}

int32_t EncodeLongitude(double degrees) {
    return WrapToInt32(degrees * 4294967296.0 / 360.0);
}

int32_t EncodeElevation(double feet) {
    return RoundToInt32(feet * 0.3048);
}

int32_t EncodeHeading(double trueDegrees) {
    const double turn = std::fmod(std::fmod(trueDegrees, 360.0) + 360.0, 360.0);
    return WrapToInt32(turn / 360.0 * 4294967296.0);
}

int32_t EncodeFrequency(double megahertz) {
    int64_t decimal = std::llround(megahertz * 10000.0);
    uint32_t word = 0;
    for (int digit = 0; digit < 8 && decimal > 0; ++digit, decimal /= 10) {
        word |= static_cast<uint32_t>(decimal % 10) << (4 * digit);
    }
    return static_cast<int32_t>(word);
}

Bytes BglRecord(int32_t id, const Bytes& payload) {
    ByteWriter writer;
    writer.Int32(id);
    writer.Int32(static_cast<int32_t>(payload.size()));
    writer.Bytes(payload);
    return writer.Take();
}

Bytes EndRecord() {
    return BglRecord(0, {});
}

Fields& Fields::Int32(int64_t at, int32_t value) {
    writer_.Int32At(static_cast<size_t>(at), value);
    return *this;
}

Fields& Fields::Float(int64_t at, float value) {
    writer_.FloatAt(static_cast<size_t>(at), value);
    return *this;
}

Fields& Fields::Text(int64_t at, const Bytes& text) {
    writer_.BytesAt(static_cast<size_t>(at), text);
    return *this;
}

Bytes FieldRecord(int32_t id, Fields fields) {
    Bytes bytes = fields.Take();
    const auto length = static_cast<int32_t>(bytes.size() - bgl::kRecordHeadSize);
    return Fields(0)
        .Text(0, bytes)
        .Int32(bgl::kRecordIdOffset, id)
        .Int32(bgl::kRecordLengthOffset, length)
        .Take();
}

Bytes Concat(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

BglFile::BglFile() {
    writer_.Zeros(kHeaderSize);
    SetMarker(bgl::kMarker);
    SetSectionFormat(bgl::kAirportSectionFormat);
}

int32_t BglFile::Append(const Bytes& bytes) {
    const int32_t offset = End();
    writer_.Bytes(bytes);
    return offset;
}

void BglFile::SetMarker(int32_t marker) {
    writer_.Int32At(bgl::kMarkerOffset, marker);
}

void BglFile::SetSectionFormat(int32_t format) {
    writer_.Int32At(bgl::kSectionFormatOffset, format);
}

void BglFile::SetFirstSection(int32_t offset) {
    writer_.Int32At(bgl::kFirstSectionOffset, offset);
}

void BglFile::SetSecondSection(int32_t offset) {
    writer_.Int32At(bgl::kSecondSectionOffset, offset);
}

GeoPoint PositionOf(const BglAirport& airport, double eastM, double northM) {
    const auto east = static_cast<float>(eastM);
    const auto north = static_cast<float>(northM);
    GeoPoint point{airport.latitude, airport.longitude};
    if (east != 0.0F) {
        point.longitude = DestinationPoint({airport.latitude, airport.longitude},
                                           east > 0 ? 90 : 270, std::fabs(east))
                              .longitude;
    }
    if (north != 0.0F) {
        point.latitude = DestinationPoint({airport.latitude, airport.longitude},
                                          north > 0 ? 0 : 180, std::fabs(north))
                             .latitude;
    }
    return point;
}

Bytes AirportHeaderBytes(double latitude, double longitude, double elevationFt) {
    namespace at = bgl::airport_header;
    return FieldRecord(bgl::kAirportHeader,
                       Fields(at::kSize)
                           .Int32(at::kLatitude, EncodeLatitude(latitude))
                           .Int32(at::kLongitude, EncodeLongitude(longitude))
                           .Int32(at::kElevation, EncodeElevation(elevationFt)));
}

Bytes IcaoBytes(const std::string& icao) {
    return FieldRecord(bgl::kIcao,
                       Fields(bgl::icao::kText).Text(bgl::icao::kText, PaddedText(icao, 8)));
}

Bytes FrequencyBytes(const BglFrequency& frequency) {
    namespace at = bgl::frequency;
    return FieldRecord(bgl::kFrequency, Fields(at::kSize)
                                            .Int32(at::kWord, EncodeFrequency(frequency.megahertz))
                                            .Int32(at::kType, frequency.type));
}

Bytes RunwayBytes(const BglRunway& runway) {
    namespace at = bgl::runway;
    return FieldRecord(bgl::kRunway, Fields(at::kSize)
                                         .Int32(at::kLatitude, EncodeLatitude(runway.latitude))
                                         .Int32(at::kLongitude, EncodeLongitude(runway.longitude))
                                         .Int32(at::kElevation, EncodeElevation(runway.elevationFt))
                                         .Int32(at::kHeading, EncodeHeading(runway.trueHeading))
                                         .Int32(at::kLength, runway.lengthFt)
                                         .Int32(at::kWidth, runway.widthFt)
                                         .Int32(at::kDesignator, runway.designator)
                                         .Int32(at::kNumber, runway.number));
}

Bytes IlsBytes(const BglIls& ils) {
    namespace at = bgl::ils;
    return FieldRecord(bgl::kIls, Fields(at::kIdent)
                                      .Int32(at::kLatitude, EncodeLatitude(ils.latitude))
                                      .Int32(at::kLongitude, EncodeLongitude(ils.longitude))
                                      .Int32(at::kHeading, EncodeHeading(ils.trueHeading))
                                      .Int32(at::kFrequency, EncodeFrequency(ils.frequencyMhz))
                                      .Int32(at::kKind, ils.kind)
                                      .Text(at::kIdent, PaddedText(ils.ident, 8)));
}

Bytes TaxiDataBytes(const BglAirport& airport) {
    if (airport.taxiPoints.empty() && airport.parkings.empty() && airport.taxiSegments.empty() &&
        airport.taxiwayNames.empty()) {
        return {};
    }
    ByteWriter payload;
    if (!airport.taxiPoints.empty()) {
        WriteTaxiPoints(payload, airport.taxiPoints);
    }
    if (!airport.parkings.empty()) {
        WriteParkings(payload, airport.parkings);
    }
    if (!airport.taxiSegments.empty()) {
        WriteSegments(payload, airport.taxiSegments);
    }
    WriteNames(payload, airport.taxiwayNames);
    return FieldRecord(bgl::kTaxiData,
                       Fields(bgl::taxi::kFirstList).Text(bgl::taxi::kFirstList, payload.Take()));
}

std::vector<Bytes> FacilityRecords(const BglAirport& airport) {
    std::vector<Bytes> records;
    records.push_back(AirportHeaderBytes(airport.latitude, airport.longitude, airport.elevationFt));
    if (!airport.icao.empty()) {
        records.push_back(IcaoBytes(airport.icao));
    }
    for (const BglFrequency& frequency : airport.frequencies) {
        records.push_back(FrequencyBytes(frequency));
    }
    for (const BglRunway& runway : airport.runways) {
        records.push_back(RunwayBytes(runway));
        for (const BglIls& ils : runway.ils) {
            records.push_back(IlsBytes(ils));
        }
    }
    Bytes taxiData = TaxiDataBytes(airport);
    if (!taxiData.empty()) {
        records.push_back(std::move(taxiData));
    }
    return records;
}

Bytes FacilityBlock(const std::vector<Bytes>& records, int32_t firstWord, int32_t thirdWord) {
    const Bytes header = Fields(bgl::kFacilityBlockHeaderSize)
                             .Int32(bgl::kFacilityBlockFirstWord, firstWord)
                             .Int32(bgl::kFacilityBlockThirdWord, thirdWord)
                             .Take();
    std::vector<Bytes> parts{header};
    parts.insert(parts.end(), records.begin(), records.end());
    parts.push_back(EndRecord());
    return Concat(parts);
}

Bytes IndexEntry(const std::string& name, int32_t facilityPosition, int32_t kind, int32_t id) {
    return FieldRecord(id, Fields(bgl::kEntryNameOffset)
                               .Int32(bgl::kEntryKindOffset, kind)
                               .Int32(bgl::kEntryFacilityOffset, facilityPosition)
                               .Text(bgl::kEntryNameOffset, PaddedText(name, 4)));
}

Bytes IndexGroup(const std::vector<Bytes>& entries) {
    return FieldRecord(bgl::kAirportIndexGroup,
                       Fields(bgl::kGroupEntriesOffset)
                           .Int32(bgl::kGroupEntryCountOffset, static_cast<int32_t>(entries.size()))
                           .Text(bgl::kGroupEntriesOffset, Concat(entries)));
}

Bytes BuildAirportBgl(const std::vector<BglAirport>& airports, const AirportFileLayout& layout) {
    BglFile file;
    std::vector<int32_t> positions;
    positions.reserve(airports.size());
    for (const BglAirport& airport : airports) {
        positions.push_back(file.Append(FacilityBlock(FacilityRecords(airport))));
    }
    const size_t split = std::min(layout.secondSectionFrom, airports.size());
    const size_t perGroup = std::max<size_t>(layout.airportsPerGroup, 1);
    if (split > 0) {
        file.SetFirstSection(file.Append(IndexChain(airports, positions, 0, split, perGroup)));
    }
    if (split < airports.size()) {
        const Bytes passedOver = BglRecord(bgl::kSkippedSectionRecord, Bytes(8, 0));
        const Bytes chain = IndexChain(airports, positions, split, airports.size(), perGroup);
        file.SetSecondSection(file.Append(Concat({passedOver, chain})));
    }
    return file.Take();
}

}  // namespace scopewatch::scenery
