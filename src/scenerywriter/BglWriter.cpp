#include "scenerywriter/BglWriter.h"

#include <algorithm>
#include <cmath>

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

void SubListHeader(ByteWriter& writer, size_t count, int32_t itemSize) {
    writer.Int32(static_cast<int32_t>(count));
    writer.Int32(itemSize);
}

void WriteTaxiPoints(ByteWriter& writer, const std::vector<BglTaxiPoint>& points) {
    SubListHeader(writer, points.size(), bgl::kTaxiPointItemSize);
    for (const BglTaxiPoint& point : points) {
        writer.Int32(point.pointWord);
        writer.Float(static_cast<float>(point.eastM));
        writer.Float(static_cast<float>(point.northM));
    }
}

void WriteParkings(ByteWriter& writer, const std::vector<BglParking>& parkings) {
    SubListHeader(writer, parkings.size(), bgl::kParkingItemSize);
    for (const BglParking& parking : parkings) {
        writer.Float(static_cast<float>(parking.eastM));
        writer.Float(static_cast<float>(parking.northM));
        writer.Float(static_cast<float>(parking.upM));
        writer.Float(static_cast<float>(parking.radiusM));
        writer.UInt32(ParkingWord(parking));
    }
}

void WriteSegments(ByteWriter& writer, const std::vector<BglTaxiSegment>& segments) {
    SubListHeader(writer, segments.size(), bgl::kTaxiSegmentItemSize);
    for (const BglTaxiSegment& segment : segments) {
        writer.Int32(segment.kind);
        writer.Zeros(8);
        writer.Int32(segment.firstIndex);
        writer.Int32(segment.secondIndex);
        writer.Float(segment.kind == 1 ? 45.0F : 23.0F);  // width, not read
        writer.Zeros(4);
        writer.Int32(segment.nameIndex);
    }
}

void WriteNames(ByteWriter& writer, const std::vector<std::string>& names) {
    SubListHeader(writer, names.size(), bgl::kTaxiNameItemSize);
    for (const std::string& name : names) {
        Bytes item(name.begin(),
                   name.begin() + static_cast<long>(std::min<size_t>(name.size(), 8)));
        item.resize(8, 0);
        writer.Bytes(item);
    }
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
    writer_.PatchInt32(bgl::kMarkerOffset, marker);
}

void BglFile::SetSectionFormat(int32_t format) {
    writer_.PatchInt32(bgl::kSectionFormatOffset, format);
}

void BglFile::SetFirstSection(int32_t offset) {
    writer_.PatchInt32(bgl::kFirstSectionOffset, offset);
}

void BglFile::SetSecondSection(int32_t offset) {
    writer_.PatchInt32(bgl::kSecondSectionOffset, offset);
}

GeoPoint PositionOf(const BglAirport& airport, double eastM, double northM) {
    const auto east = static_cast<float>(eastM);
    const auto north = static_cast<float>(northM);
    GeoPoint point{airport.latitude, airport.longitude};
    if (east != 0.0F) {
        point.longitude = DestinationPoint(airport.latitude, airport.longitude, east > 0 ? 90 : 270,
                                           std::fabs(east))
                              .longitude;
    }
    if (north != 0.0F) {
        point.latitude = DestinationPoint(airport.latitude, airport.longitude, north > 0 ? 0 : 180,
                                          std::fabs(north))
                             .latitude;
    }
    return point;
}

Bytes AirportHeaderBytes(double latitude, double longitude, double elevationFt) {
    ByteWriter payload;
    payload.Zeros(4);
    payload.Int32(EncodeLatitude(latitude));
    payload.Zeros(4);
    payload.Int32(EncodeLongitude(longitude));
    payload.Zeros(4);
    payload.Int32(EncodeElevation(elevationFt));
    return BglRecord(bgl::kAirportHeader, payload.Take());
}

Bytes IcaoBytes(const std::string& icao) {
    return BglRecord(bgl::kIcao, PaddedText(icao, 8));
}

Bytes FrequencyBytes(const BglFrequency& frequency) {
    ByteWriter payload;
    payload.Int32(EncodeFrequency(frequency.megahertz));
    payload.Int32(frequency.type);
    return BglRecord(bgl::kFrequency, payload.Take());
}

Bytes RunwayBytes(const BglRunway& runway) {
    ByteWriter payload;
    payload.Zeros(4);
    payload.Int32(EncodeLatitude(runway.latitude));
    payload.Zeros(4);
    payload.Int32(EncodeLongitude(runway.longitude));
    payload.Zeros(4);
    payload.Int32(EncodeElevation(runway.elevationFt));
    payload.Int32(EncodeHeading(runway.trueHeading));
    payload.Zeros(4);
    payload.Int32(runway.lengthFt);
    payload.Int32(runway.widthFt);
    payload.Int32(runway.designator);
    payload.Int32(runway.number);
    return BglRecord(bgl::kRunway, payload.Take());
}

Bytes IlsBytes(const BglIls& ils) {
    ByteWriter payload;
    payload.Zeros(4);
    payload.Int32(EncodeLatitude(ils.latitude));
    payload.Zeros(4);
    payload.Int32(EncodeLongitude(ils.longitude));
    payload.Zeros(8);
    payload.Int32(EncodeHeading(ils.trueHeading));
    payload.Int32(EncodeFrequency(ils.frequencyMhz));
    payload.Int32(ils.kind);
    payload.Zeros(12);
    payload.Bytes(PaddedText(ils.ident, 8));
    return BglRecord(bgl::kIls, payload.Take());
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
    return BglRecord(bgl::kTaxiData, payload.Take());
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
    ByteWriter block;
    block.Int32(firstWord);
    block.Int32(0);
    block.Int32(thirdWord);
    block.Int32(0);
    for (const Bytes& record : records) {
        block.Bytes(record);
    }
    block.Bytes(EndRecord());
    return block.Take();
}

Bytes IndexEntry(const std::string& name, int32_t facilityPosition, int32_t kind, int32_t id) {
    ByteWriter payload;
    payload.Int32(kind);
    payload.Int32(facilityPosition);
    payload.Bytes(PaddedText(name, 4));
    return BglRecord(id, payload.Take());
}

Bytes IndexGroup(const std::vector<Bytes>& entries) {
    ByteWriter payload;
    payload.Zeros(12);
    payload.Int32(static_cast<int32_t>(entries.size()));
    for (const Bytes& entry : entries) {
        payload.Bytes(entry);
    }
    return BglRecord(bgl::kAirportIndexGroup, payload.Take());
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
