#include "bgl/AirspaceFile.h"

#include <algorithm>

#include "bgl/BglEncodings.h"
#include "bgl/BglLayout.h"
#include "bgl/FileBuffer.h"
#include "geo/Geodesy.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

// Record chains of the second section, as far as airspaces go.
constexpr int32_t kChainRecord = 1;
constexpr int32_t kGroupType = 4;
constexpr int32_t kAirspaceType = 5;
constexpr int64_t kRecordTypeOffset = 8;
constexpr int64_t kContentOffset = 16;  // a group's chain, an airspace's sub-records

// Sub-records of an airspace record.
constexpr int32_t kBoundingBox = 0x1000B;
constexpr int32_t kShortName = 0x10006;
constexpr int32_t kFrequencyName = 0x20001;
constexpr int32_t kCentrePoint = 0x12001;
constexpr int32_t kMovePoint = 0x12002;
constexpr int32_t kSkippedPoint = 0x12003;
constexpr int32_t kLinePoint = 0x12005;
constexpr int32_t kClockwisePoint = 0x12006;
constexpr int32_t kCounterClockwisePoint = 0x12007;
constexpr int32_t kCirclePoint = 0x12008;

// A record whose size would move the walk backwards: the file is damaged there.
class BadRecordSize : public MalformedRecord {
  public:
    explicit BadRecordSize(int32_t size)
        : MalformedRecord("record size " + std::to_string(size) + " is negative") {}
};

double LatitudeOf(int32_t raw) {
    return RoundDecimals(raw * 90.0 / 10001750.0, 4);
}

double LongitudeOf(int32_t raw) {
    return RoundDecimals(raw * 360.0 / 4294967296.0, 4);
}

// The position of the record after the one at position.
int64_t NextRecord(const FileBuffer& buffer, int64_t position) {
    const int32_t size = buffer.ReadInt32(position + 4);
    if (size < 0) {
        throw BadRecordSize(size);
    }
    return position + size + bgl::kRecordHeadSize;
}

// Walks a chain of records with id 1 (whose type says what they are) and id 0x30001
// (passed over); any other id ends it. Calls visit(start, type) for each id-1 record.
template <typename Visit>
void WalkChain(const FileBuffer& buffer, int64_t position, RecordTrace& place, Visit visit) {
    for (;;) {
        place.At(position, 0);
        const int32_t id = buffer.ReadInt32(position);
        place.At(position, id);
        if (id != kChainRecord && id != bgl::kAirportIndexGroup) {
            return;
        }
        if (id == kChainRecord) {
            visit(position, buffer.ReadInt32(position + kRecordTypeOffset));
            place.At(position, id);
        }
        position = NextRecord(buffer, position);
    }
}

// The point half-way along the diagonal from the north-west to the south-east corner.
GeoPoint BoxReferencePoint(double south, double west, double north, double east,
                           const MagVarGrid& grid) {
    const int16_t half = RoundToInt16(DistanceNm(north, west, south, east) / 2.0);
    const int16_t course =
        MagneticToTrue(MagneticCourse(north, west, south, east, grid), north, west, grid);
    return DestinationNm(north, west, course, half);
}

AirspacePoint PointAt(const FileBuffer& buffer, int64_t position, uint8_t kind) {
    return {kind, LatitudeOf(buffer.ReadInt32(position + 12)),
            LongitudeOf(buffer.ReadInt32(position + 20)), 0};
}

// Reads one sub-record into the airspace (taken tells whether its box was accepted);
// false when the id ends the record. A second accepted box in the same record starts a new
// airspace: the one read so far is complete and goes into the list.
bool ReadSubRecord(const FileBuffer& buffer, int64_t position, const AirspaceTarget& target,
                   AirspaceRecord& airspace, bool& taken, std::vector<AirspaceRecord>& airspaces) {
    const int32_t id = buffer.ReadInt32(position);
    switch (id) {
        case kBoundingBox: {
            const double south = LatitudeOf(buffer.ReadInt32(position + 8));
            const double west = LongitudeOf(buffer.ReadInt32(position + 12));
            const double north = LatitudeOf(buffer.ReadInt32(position + 16));
            const double east = LongitudeOf(buffer.ReadInt32(position + 20));
            const AirportRecord& airport = target.airport;
            if (south < airport.latitude && airport.latitude < north && west < airport.longitude &&
                airport.longitude < east) {
                const GeoPoint reference = BoxReferencePoint(south, west, north, east, target.grid);
                if (taken) {
                    airspaces.push_back(std::move(airspace));
                }
                airspace = AirspaceRecord{};
                airspace.latitude = reference.latitude;
                airspace.longitude = reference.longitude;
                taken = true;
            }
            return true;
        }
        case kShortName:
            if (taken) {
                const std::string text =
                    buffer.ReadText(position + 8, buffer.ReadInt32(position + 4));
                airspace.shortName =
                    airspace.shortName.empty() ? text : airspace.shortName + "  " + text;
            }
            return true;
        case kFrequencyName:
            if (taken) {
                // A word that is no frequency (a hexadecimal digit above 9) adds none.
                const std::string frequency = FrequencyText(buffer.ReadInt32(position + 8));
                if (!frequency.empty()) {
                    airspace.frequencyText += frequency + " Mhz  ";
                }
                // The name fills the record after the frequency and the word beside it.
                const int64_t nameLength = int64_t{buffer.ReadInt32(position + 4)} - 8;
                airspace.fullName = buffer.ReadText(
                    position + 16, static_cast<int>(std::max<int64_t>(nameLength, 0)));
            }
            return true;
        case kCentrePoint:
        case kLinePoint:
        case kClockwisePoint:
        case kCounterClockwisePoint:
            if (taken) {
                const uint8_t kind = id == kCentrePoint      ? kCentre
                                     : id == kLinePoint      ? kLineTo
                                     : id == kClockwisePoint ? kClockwiseArc
                                                             : kCounterClockwiseArc;
                airspace.points.push_back(PointAt(buffer, position, kind));
            }
            return true;
        case kMovePoint:
            if (taken) {
                airspace.points.push_back(PointAt(buffer, position, kMoveTo));
                airspace.floorFt = buffer.ReadInt32(position + 24);
                airspace.ceilingFt = buffer.ReadInt32(position + 28);
            }
            return true;
        case kCirclePoint:
            if (taken) {
                airspace.points.push_back({kCircle, 0.0, 0.0, buffer.ReadInt32(position + 8)});
                airspace.floorFt = buffer.ReadInt32(position + 16);
                airspace.ceilingFt = buffer.ReadInt32(position + 20);
            }
            return true;
        case kSkippedPoint:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool IsMarkedSceneryFile(const FileBuffer& buffer) {
    return buffer.Contains(bgl::kMarkerOffset, 4) &&
           buffer.ReadInt32(bgl::kMarkerOffset) == bgl::kMarker;
}

void DecodeAirspace(const FileBuffer& buffer, int64_t recordStart, const AirspaceTarget& target,
                    std::vector<AirspaceRecord>& airspaces) {
    AirspaceRecord airspace;
    bool taken = false;
    int64_t position = recordStart + kContentOffset;
    while (ReadSubRecord(buffer, position, target, airspace, taken, airspaces)) {
        position = NextRecord(buffer, position);
    }
    if (taken) {
        airspaces.push_back(std::move(airspace));
    }
}

std::optional<BglProblem> ExamineAirspaceFile(const FileBuffer& buffer,
                                              const AirspaceTarget& target,
                                              std::vector<AirspaceRecord>& airspaces) {
    RecordTrace place;
    try {
        if (!buffer.Contains(bgl::kSecondSectionOffset, 4) ||
            buffer.ReadInt32(bgl::kSectionFormatOffset) != bgl::kAirportSectionFormat) {
            return std::nullopt;
        }
        const int32_t chain = buffer.ReadInt32(bgl::kSecondSectionOffset);
        if (chain <= 0) {
            return std::nullopt;
        }
        WalkChain(buffer, chain, place, [&](int64_t group, int32_t type) {
            if (type == kGroupType) {
                WalkChain(buffer, group + kContentOffset, place, [&](int64_t record, int32_t kind) {
                    if (kind == kAirspaceType) {
                        DecodeAirspace(buffer, record, target, airspaces);
                    }
                });
            }
        });
        return std::nullopt;
    } catch (const BglError& error) {
        return place.Problem(error.what());
    }
}

}  // namespace scopewatch
