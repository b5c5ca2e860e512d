#include "builder/AirportDatabaseFile.h"

#include <algorithm>
#include <functional>

#include "platform/AtomicFile.h"
#include "shared/ByteCursor.h"
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

RunwayRecord ReadRunway(ByteCursor& cursor) {
    RunwayRecord runway;
    runway.primaryName = cursor.LengthText();
    runway.secondaryName = cursor.LengthText();
    runway.end1Latitude = cursor.Double();
    runway.end1Longitude = cursor.Double();
    runway.end2Latitude = cursor.Double();
    runway.end2Longitude = cursor.Double();
    runway.altitudeFt = cursor.Int32();
    runway.primaryMagHeading = cursor.Int16();
    runway.secondaryMagHeading = cursor.Int16();
    runway.lengthFt = cursor.Int32();
    runway.widthFt = cursor.Int32();
    return runway;
}

IlsRecord ReadIls(ByteCursor& cursor) {
    IlsRecord ils;
    ils.ident = cursor.LengthText();
    ils.latitude = cursor.Double();
    ils.longitude = cursor.Double();
    ils.magHeading = cursor.Int16();
    ils.frequency = cursor.LengthText();
    return ils;
}

TaxiPointRecord ReadTaxiPoint(ByteCursor& cursor) {
    TaxiPointRecord point;
    point.pointWord = cursor.Int32();
    point.latitude = cursor.Double();
    point.longitude = cursor.Double();
    return point;
}

ParkingRecord ReadParking(ByteCursor& cursor) {
    ParkingRecord parking;
    parking.label = cursor.LengthText();
    parking.latitude = cursor.Double();
    parking.longitude = cursor.Double();
    parking.altitudeFt = cursor.Int32();
    return parking;
}

TaxiSegmentRecord ReadTaxiSegment(ByteCursor& cursor) {
    TaxiSegmentRecord segment;
    segment.kind = cursor.Int32();
    segment.firstIndex = cursor.Int32();
    segment.secondIndex = cursor.Int32();
    segment.name = cursor.LengthText();
    return segment;
}

// Reads one stored list and its count; keeps the first count elements (the empty tail of
// runway and ILS lists falls away). False when the list is malformed.
template <typename Element>
bool ReadList(ByteCursor& cursor, std::vector<Element>& elements,
              const std::function<Element(ByteCursor&)>& readElement, size_t minElementBytes,
              std::string& problem) {
    const uint16_t dimensions = cursor.UInt16();
    if (dimensions > 1) {
        problem = "a list with " + std::to_string(dimensions) + " dimensions";
        return false;
    }
    if (dimensions == 1) {
        const uint32_t count = cursor.UInt32();
        cursor.Int32();  // lower bound, always 0
        if (!cursor.ok() || count > cursor.remaining() / minElementBytes) {
            problem = "a list of " + std::to_string(count) + " elements that the file cannot hold";
            return false;
        }
        elements.reserve(count);
        for (uint32_t i = 0; i < count && cursor.ok(); ++i) {
            elements.push_back(readElement(cursor));
        }
    }
    const int32_t storedCount = cursor.Int32();
    const size_t keep = static_cast<size_t>(std::max(storedCount, 0));
    if (keep < elements.size()) {
        elements.resize(keep);
    }
    return true;
}

bool ReadAirportRecord(ByteCursor& cursor, AirportRecord& airport, std::string& problem) {
    airport.name = cursor.LengthText();
    airport.icaoId = cursor.LengthText();
    airport.latitude = cursor.Double();
    airport.longitude = cursor.Double();
    airport.altitudeFt = cursor.Int32();
    for (std::string* frequency :
         {&airport.clearanceFreq, &airport.groundFreq, &airport.towerFreq, &airport.departureFreq,
          &airport.approachFreq, &airport.centerFreq, &airport.atisFreq}) {
        *frequency = cursor.LengthText();
    }
    const bool listsOk =
        ReadList<RunwayRecord>(cursor, airport.runways, ReadRunway, kRunwayMinBytes, problem) &&
        ReadList<IlsRecord>(cursor, airport.ilsList, ReadIls, kIlsMinBytes, problem) &&
        ReadList<TaxiPointRecord>(cursor, airport.taxiPoints, ReadTaxiPoint, kTaxiPointMinBytes,
                                  problem) &&
        ReadList<ParkingRecord>(cursor, airport.parkings, ReadParking, kParkingMinBytes, problem) &&
        ReadList<TaxiSegmentRecord>(cursor, airport.taxiSegments, ReadTaxiSegment,
                                    kTaxiSegmentMinBytes, problem);
    if (listsOk && !cursor.ok()) {
        problem = "a field runs past the end of the file";
    }
    return listsOk && cursor.ok();
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
    ByteCursor cursor(bytes);
    while (content.records.size() < announced && !cursor.AtEnd()) {
        const size_t start = cursor.position();
        AirportRecord read;
        std::string problem;
        if (!ReadAirportRecord(cursor, read, problem)) {
            content.problem = "record " + std::to_string(content.recordsRead) + " at offset " +
                              std::to_string(start) + ": " + problem + " (at offset " +
                              std::to_string(cursor.position()) + ")";
            break;
        }
        content.records.push_back(std::move(read));
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
