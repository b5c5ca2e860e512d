#include "bgl/AirspaceFile.h"

#include <algorithm>

#include "bgl/BglEncodings.h"
#include "bgl/BglLayout.h"
#include "bgl/FileBuffer.h"
#include "geo/Geodesy.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

namespace field = bgl::airspace;

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
    const int32_t size = buffer.ReadInt32(position + bgl::kRecordLengthOffset);
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
        if (id != field::kChainRecord && id != bgl::kAirportIndexGroup) {
            return;
        }
        if (id == field::kChainRecord) {
            visit(position, buffer.ReadInt32(position + field::kChainType));
            place.At(position, id);
        }
        position = NextRecord(buffer, position);
    }
}

// The point half-way along the diagonal from the north-west to the south-east corner.
GeoPoint BoxReferencePoint(double south, double west, double north, double east,
                           const MagVarGrid& grid) {
    const int16_t half = RoundToInt16(DistanceNm({north, west}, {south, east}) / 2.0);
    const int16_t course =
        MagneticToTrue(MagneticCourse({north, west}, {south, east}, grid), {north, west}, grid);
    return DestinationNm({north, west}, course, half);
}

AirspacePoint PointAt(const FileBuffer& buffer, int64_t position, uint8_t kind) {
    return {kind, LatitudeOf(buffer.ReadInt32(position + field::kPointLatitude)),
            LongitudeOf(buffer.ReadInt32(position + field::kPointLongitude)), 0};
}

// Reads one sub-record into the airspace (taken tells whether its box was accepted);
// false when the id ends the record. A second accepted box in the same record starts a new
// airspace: the one read so far is complete and goes into the list.
bool ReadSubRecord(const FileBuffer& buffer, int64_t position, const AirspaceTarget& target,
                   AirspaceRecord& airspace, bool& taken, std::vector<AirspaceRecord>& airspaces) {
    const int32_t id = buffer.ReadInt32(position);
    switch (id) {
        case field::kBoundingBox: {
            const double south = LatitudeOf(buffer.ReadInt32(position + field::kBoxSouth));
            const double west = LongitudeOf(buffer.ReadInt32(position + field::kBoxWest));
            const double north = LatitudeOf(buffer.ReadInt32(position + field::kBoxNorth));
            const double east = LongitudeOf(buffer.ReadInt32(position + field::kBoxEast));
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
        case field::kShortName:
            if (taken) {
                const std::string text =
                    buffer.ReadText(position + field::kNameText,
                                    buffer.ReadInt32(position + bgl::kRecordLengthOffset));
                airspace.shortName =
                    airspace.shortName.empty() ? text : airspace.shortName + "  " + text;
            }
            return true;
        case field::kFrequencyName:
            if (taken) {
                // A word that is no frequency (a hexadecimal digit above 9) adds none.
                const std::string frequency =
                    FrequencyText(buffer.ReadInt32(position + field::kFrequencyWord));
                if (!frequency.empty()) {
                    airspace.frequencyText += frequency + " Mhz  ";
                }
                // The name fills the record after the frequency and the word beside it.
                const int64_t nameLength =
                    int64_t{buffer.ReadInt32(position + bgl::kRecordLengthOffset)} -
                    (field::kFrequencyFullName - bgl::kRecordHeadSize);
                airspace.fullName =
                    buffer.ReadText(position + field::kFrequencyFullName,
                                    static_cast<int>(std::max<int64_t>(nameLength, 0)));
            }
            return true;
        case field::kCentrePoint:
        case field::kLinePoint:
        case field::kClockwisePoint:
        case field::kCounterClockwisePoint:
            if (taken) {
                const uint8_t kind = id == field::kCentrePoint      ? kCentre
                                     : id == field::kLinePoint      ? kLineTo
                                     : id == field::kClockwisePoint ? kClockwiseArc
                                                                    : kCounterClockwiseArc;
                airspace.points.push_back(PointAt(buffer, position, kind));
            }
            return true;
        case field::kMovePoint:
            if (taken) {
                airspace.points.push_back(PointAt(buffer, position, kMoveTo));
                airspace.floorFt = buffer.ReadInt32(position + field::kMoveFloor);
                airspace.ceilingFt = buffer.ReadInt32(position + field::kMoveCeiling);
            }
            return true;
        case field::kCirclePoint:
            if (taken) {
                airspace.points.push_back(
                    {kCircle, 0.0, 0.0, buffer.ReadInt32(position + field::kCircleRadius)});
                airspace.floorFt = buffer.ReadInt32(position + field::kCircleFloor);
                airspace.ceilingFt = buffer.ReadInt32(position + field::kCircleCeiling);
            }
            return true;
        case field::kSkippedPoint:
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
    int64_t position = recordStart + field::kChainContent;
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
            if (type == field::kGroupType) {
                WalkChain(buffer, group + field::kChainContent, place,
                          [&](int64_t record, int32_t kind) {
                              if (kind == field::kAirspaceType) {
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
