#include "builder/AirportDatabaseFile.h"

#include <algorithm>

#include "platform/AtomicFile.h"
#include "shared/ByteReader.h"
#include "shared/ByteWriter.h"

namespace scopewatch {
namespace {

// Smallest size of one element in the file: its numbers and the length words of its texts.
constexpr size_t kRunwayMinBytes = 2 + 2 + 4 * 8 + 4 + 2 + 2 + 4 + 4;  // 52
constexpr size_t kIlsMinBytes = 2 + 8 + 8 + 2 + 2;                     // 22
constexpr size_t kTaxiPointMinBytes = 4 + 8 + 8;
constexpr size_t kParkingMinBytes = 2 + 8 + 8 + 4;
constexpr size_t kTaxiSegmentMinBytes = 4 + 4 + 4 + 2;
// An empty record: two empty texts, the position and altitude, seven empty frequencies and
// five absent lists with their counts.
constexpr size_t kRecordMinBytes = 2 + 2 + 8 + 8 + 4 + 7 * 2 + 5 * (2 + 4);  // 68

template <typename Writer>
void Write(Writer& writer, const RunwayRecord& runway) {
    writer.LengthText(runway.primaryName);
    writer.LengthText(runway.secondaryName);
    writer.Double(runway.end1Latitude);
    writer.Double(runway.end1Longitude);
    writer.Double(runway.end2Latitude);
    writer.Double(runway.end2Longitude);
    writer.Int32(runway.altitudeFt);
    writer.Int16(runway.primaryMagHeading);
    writer.Int16(runway.secondaryMagHeading);
    writer.Int32(runway.lengthFt);
    writer.Int32(runway.widthFt);
}

template <typename Writer>
void Write(Writer& writer, const IlsRecord& ils) {
    writer.LengthText(ils.ident);
    writer.Double(ils.latitude);
    writer.Double(ils.longitude);
    writer.Int16(ils.magHeading);
    writer.LengthText(ils.frequency);
}

template <typename Writer>
void Write(Writer& writer, const TaxiPointRecord& point) {
    writer.Int32(point.pointWord);
    writer.Double(point.latitude);
    writer.Double(point.longitude);
}

template <typename Writer>
void Write(Writer& writer, const ParkingRecord& parking) {
    writer.LengthText(parking.label);
    writer.Double(parking.latitude);
    writer.Double(parking.longitude);
    writer.Int32(parking.altitudeFt);
}

template <typename Writer>
void Write(Writer& writer, const TaxiSegmentRecord& segment) {
    writer.Int32(segment.kind);
    writer.Int32(segment.firstIndex);
    writer.Int32(segment.secondIndex);
    writer.LengthText(segment.name);
}

// A list and its count. Runway and ILS lists get one empty element after the real ones,
// because the builder grows them one ahead; an empty list is absent.
template <typename Writer, typename Element>
void WriteList(Writer& writer, const std::vector<Element>& elements, bool emptyTail) {
    if (elements.empty()) {
        writer.UInt16(0);
    } else {
        writer.UInt16(1);
        writer.UInt32(static_cast<uint32_t>(elements.size() + (emptyTail ? 1 : 0)));
        writer.Int32(0);
        for (const Element& element : elements) {
            Write(writer, element);
        }
        if (emptyTail) {
            Write(writer, Element{});
        }
    }
    writer.Int32(static_cast<int32_t>(elements.size()));
}

template <typename Writer>
void WriteRecord(Writer& writer, const AirportRecord& airport) {
    writer.LengthText(airport.name);
    writer.LengthText(airport.icaoId);
    writer.Double(airport.latitude);
    writer.Double(airport.longitude);
    writer.Int32(airport.altitudeFt);
    for (const std::string* frequency :
         {&airport.clearanceFreq, &airport.groundFreq, &airport.towerFreq, &airport.departureFreq,
          &airport.approachFreq, &airport.centerFreq, &airport.atisFreq}) {
        writer.LengthText(*frequency);
    }
    WriteList(writer, airport.runways, true);
    WriteList(writer, airport.ilsList, true);
    WriteList(writer, airport.taxiPoints, false);
    WriteList(writer, airport.parkings, false);
    WriteList(writer, airport.taxiSegments, false);
}

// The records, then an empty one when asked, in one buffer of their exact size: counted
// first, then written without growing (the database runs to tens of megabytes).
std::vector<uint8_t> EncodeRecords(const std::vector<AirportRecord>& airports, bool emptyLast) {
    const AirportRecord empty;
    ByteCounter counter;
    for (const AirportRecord& airport : airports) {
        WriteRecord(counter, airport);
    }
    if (emptyLast) {
        WriteRecord(counter, empty);
    }
    std::vector<uint8_t> bytes(counter.Size());
    ByteSpanWriter writer(bytes.data(), bytes.size());
    for (const AirportRecord& airport : airports) {
        WriteRecord(writer, airport);
    }
    if (emptyLast) {
        WriteRecord(writer, empty);
    }
    return bytes;
}

RunwayRecord ReadRunway(ByteReader& in) {
    RunwayRecord runway;
    runway.primaryName = in.LengthText();
    runway.secondaryName = in.LengthText();
    runway.end1Latitude = in.Double();
    runway.end1Longitude = in.Double();
    runway.end2Latitude = in.Double();
    runway.end2Longitude = in.Double();
    runway.altitudeFt = in.Int32();
    runway.primaryMagHeading = in.Int16();
    runway.secondaryMagHeading = in.Int16();
    runway.lengthFt = in.Int32();
    runway.widthFt = in.Int32();
    return runway;
}

IlsRecord ReadIls(ByteReader& in) {
    IlsRecord ils;
    ils.ident = in.LengthText();
    ils.latitude = in.Double();
    ils.longitude = in.Double();
    ils.magHeading = in.Int16();
    ils.frequency = in.LengthText();
    return ils;
}

TaxiPointRecord ReadTaxiPoint(ByteReader& in) {
    TaxiPointRecord point;
    point.pointWord = in.Int32();
    point.latitude = in.Double();
    point.longitude = in.Double();
    return point;
}

ParkingRecord ReadParking(ByteReader& in) {
    ParkingRecord parking;
    parking.label = in.LengthText();
    parking.latitude = in.Double();
    parking.longitude = in.Double();
    parking.altitudeFt = in.Int32();
    return parking;
}

TaxiSegmentRecord ReadTaxiSegment(ByteReader& in) {
    TaxiSegmentRecord segment;
    segment.kind = in.Int32();
    segment.firstIndex = in.Int32();
    segment.secondIndex = in.Int32();
    segment.name = in.LengthText();
    return segment;
}

// Reads one stored list and its count; keeps the first count elements (the empty tail of
// runway and ILS lists falls away). A list of more dimensions than one, or of more elements
// than the bytes can hold, is malformed.
template <typename Element, typename ReadElement>
void ReadList(ByteReader& in, std::vector<Element>& elements, ReadElement readElement,
              size_t minElementBytes) {
    const uint16_t dimensions = in.UInt16();
    if (dimensions > 1) {
        in.Refuse(in.position(), "a list with " + std::to_string(dimensions) + " dimensions");
    }
    if (dimensions == 1) {
        const uint32_t count = in.UInt32();
        in.Int32();  // lower bound, always 0
        if (count > in.remaining() / minElementBytes) {
            in.Refuse(in.position(),
                      "a list of " + std::to_string(count) + " elements that the file cannot hold");
        }
        elements.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            elements.push_back(readElement(in));
        }
    }
    const int32_t storedCount = in.Int32();
    const size_t keep = static_cast<size_t>(std::max(storedCount, 0));
    if (keep < elements.size()) {
        elements.resize(keep);
    }
}

AirportRecord ReadAirportRecord(ByteReader& in) {
    AirportRecord airport;
    airport.name = in.LengthText();
    airport.icaoId = in.LengthText();
    airport.latitude = in.Double();
    airport.longitude = in.Double();
    airport.altitudeFt = in.Int32();
    for (std::string* frequency :
         {&airport.clearanceFreq, &airport.groundFreq, &airport.towerFreq, &airport.departureFreq,
          &airport.approachFreq, &airport.centerFreq, &airport.atisFreq}) {
        *frequency = in.LengthText();
    }
    ReadList(in, airport.runways, ReadRunway, kRunwayMinBytes);
    ReadList(in, airport.ilsList, ReadIls, kIlsMinBytes);
    ReadList(in, airport.taxiPoints, ReadTaxiPoint, kTaxiPointMinBytes);
    ReadList(in, airport.parkings, ReadParking, kParkingMinBytes);
    ReadList(in, airport.taxiSegments, ReadTaxiSegment, kTaxiSegmentMinBytes);
    return airport;
}

// What stopped the reading of a record, and where.
std::string DatabaseFault(const MalformedBytes& fault) {
    const bool pastEnd = dynamic_cast<const ReadPastEnd*>(&fault) != nullptr;
    return (pastEnd ? std::string("a field runs past the end of the file") : fault.expected()) +
           " (at offset " + std::to_string(fault.offset()) + ")";
}

}  // namespace

std::vector<uint8_t> EncodeAirportRecords(const std::vector<AirportRecord>& airports) {
    return EncodeRecords(airports, false);
}

void AppendAirportRecord(std::vector<uint8_t>& bytes, const AirportRecord& airport) {
    ByteCounter counter;
    WriteRecord(counter, airport);
    const size_t start = bytes.size();
    bytes.resize(start + counter.Size());
    ByteSpanWriter writer(bytes.data() + start, counter.Size());
    WriteRecord(writer, airport);
}

std::vector<uint8_t> EncodeAirportDatabase(const std::vector<AirportRecord>& airports) {
    return EncodeRecords(airports, !airports.empty());
}

Status WriteAirportDatabase(const std::filesystem::path& file,
                            const std::vector<AirportRecord>& airports,
                            const AtomicWriteHook& hook) {
    return WriteFileAtomically(file, EncodeAirportDatabase(airports), hook);
}

AirportDatabaseContent DecodeAirportDatabase(const std::vector<uint8_t>& bytes,
                                             int32_t airportCount) {
    AirportDatabaseContent content;
    if (airportCount < 0 || airportCount > kMaxAirportCount) {
        content.problem = "the settings announce " + std::to_string(airportCount) +
                          " airports, which no database holds";
        content.records.resize(1);
        return content;
    }
    const size_t announced = static_cast<size_t>(airportCount) + 1;
    // Room for what the bytes can hold, not for what the settings announce.
    content.records.reserve(std::min(announced, bytes.size() / kRecordMinBytes));
    ByteReader in(bytes);
    while (content.records.size() < announced && !in.AtEnd()) {
        const size_t start = in.position();
        try {
            content.records.push_back(ReadAirportRecord(in));
        } catch (const MalformedBytes& fault) {
            content.problem = "record " + std::to_string(content.recordsRead) + " at offset " +
                              std::to_string(start) + ": " + DatabaseFault(fault);
            break;
        }
        ++content.recordsRead;
    }
    return content;
}

AirportDatabaseContent ReadAirportDatabase(const std::filesystem::path& file,
                                           int32_t airportCount) {
    const auto bytes = ReadWholeFile(file);
    if (!bytes) {
        AirportDatabaseContent content = DecodeAirportDatabase({}, airportCount);
        content.fileFound = false;
        content.problem = "cannot read " + file.filename().string();
        return content;
    }
    return DecodeAirportDatabase(*bytes, airportCount);
}

}  // namespace scopewatch
