#include "bgl/AirspaceFile.h"

#include <algorithm>
#include <optional>

#include "bgl/BglEncodings.h"
#include "bgl/BglLayout.h"
#include "bgl/FileBuffer.h"
#include "geo/Geodesy.h"
#include "shared/Rounding.h"

namespace scopewatch {
namespace {

namespace field = bgl::airspace;

double LatitudeOf(int32_t raw) {
    return RoundDecimals(raw * 90.0 / 10001750.0, 4);
}

double LongitudeOf(int32_t raw) {
    return RoundDecimals(raw * 360.0 / 4294967296.0, 4);
}

// The position of the record after the one at position. A size that would move the walk
// backwards means the file is damaged there.
int64_t NextRecord(const ByteReader& file, int64_t position) {
    const int32_t size = file.Int32At(position + bgl::kRecordLengthOffset);
    if (size < 0) {
        file.Refuse(position, "record size " + std::to_string(size) + " is negative");
    }
    return position + size + bgl::kRecordHeadSize;
}

// Walks a chain of records with id 1 (whose type says what they are) and id 0x30001
// (passed over); any other id ends it. Calls visit(start, type) for each id-1 record.
template <typename Visit>
void WalkChain(const ByteReader& file, int64_t position, RecordTrace& place, Visit visit) {
    for (;;) {
        place.At(position, 0);
        const int32_t id = file.Int32At(position);
        place.At(position, id);
        if (id != field::kChainRecord && id != bgl::kAirportIndexGroup) {
            return;
        }
        if (id == field::kChainRecord) {
            visit(position, file.Int32At(position + field::kChainType));
            place.At(position, id);
        }
        position = NextRecord(file, position);
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

// The kind of boundary point a sub-record id stands for, or nothing.
std::optional<uint8_t> PointKind(int32_t id) {
    switch (id) {
        case field::kCentrePoint:
            return kCentre;
        case field::kLinePoint:
            return kLineTo;
        case field::kClockwisePoint:
            return kClockwiseArc;
        case field::kCounterClockwisePoint:
            return kCounterClockwiseArc;
        case field::kMovePoint:
            return kMoveTo;
        default:
            return std::nullopt;
    }
}

// Reads the sub-records of one airspace record into the list. A sub-record other than the
// bounding box counts only after an accepted box; a second accepted box in the same record
// starts a new airspace (the one read so far is complete and goes into the list).
class AirspaceReader {
  public:
    AirspaceReader(const ByteReader& file, const AirspaceTarget& target,
                   std::vector<AirspaceRecord>& airspaces)
        : file_(file), target_(target), airspaces_(airspaces) {}

    void Read(int64_t recordStart) {
        int64_t position = recordStart + field::kChainContent;
        while (ReadSubRecord(position)) {
            position = NextRecord(file_, position);
        }
        if (taken_) {
            airspaces_.push_back(std::move(airspace_));
        }
    }

  private:
    // False when the id ends the record.
    bool ReadSubRecord(int64_t position) {
        const int32_t id = file_.Int32At(position);
        if (id == field::kBoundingBox) {
            ReadBox(position);
            return true;
        }
        const std::optional<uint8_t> pointKind = PointKind(id);
        const bool known = pointKind || id == field::kShortName || id == field::kFrequencyName ||
                           id == field::kCirclePoint || id == field::kSkippedPoint;
        if (!known || !taken_) {
            return known;
        }
        if (pointKind) {
            airspace_.points.push_back(
                {*pointKind, LatitudeOf(file_.Int32At(position + field::kPointLatitude)),
                 LongitudeOf(file_.Int32At(position + field::kPointLongitude)), 0});
        }
        if (id == field::kMovePoint) {
            ReadLimits(position + field::kMoveFloor, position + field::kMoveCeiling);
        } else if (id == field::kCirclePoint) {
            airspace_.points.push_back(
                {kCircle, 0.0, 0.0, file_.Int32At(position + field::kCircleRadius)});
            ReadLimits(position + field::kCircleFloor, position + field::kCircleCeiling);
        } else if (id == field::kShortName) {
            ReadShortName(position);
        } else if (id == field::kFrequencyName) {
            ReadFrequencyName(position);
        }
        return true;
    }

    void ReadBox(int64_t position) {
        const double south = LatitudeOf(file_.Int32At(position + field::kBoxSouth));
        const double west = LongitudeOf(file_.Int32At(position + field::kBoxWest));
        const double north = LatitudeOf(file_.Int32At(position + field::kBoxNorth));
        const double east = LongitudeOf(file_.Int32At(position + field::kBoxEast));
        const AirportRecord& airport = target_.airport;
        if (!(south < airport.latitude && airport.latitude < north && west < airport.longitude &&
              airport.longitude < east)) {
            return;
        }
        const GeoPoint reference = BoxReferencePoint(south, west, north, east, target_.grid);
        if (taken_) {
            airspaces_.push_back(std::move(airspace_));
        }
        airspace_ = AirspaceRecord{};
        airspace_.latitude = reference.latitude;
        airspace_.longitude = reference.longitude;
        taken_ = true;
    }

    void ReadShortName(int64_t position) {
        const std::string text = ReadTextOfLength(
            file_, position + field::kNameText, file_.Int32At(position + bgl::kRecordLengthOffset));
        airspace_.shortName =
            airspace_.shortName.empty() ? text : airspace_.shortName + "  " + text;
    }

    void ReadFrequencyName(int64_t position) {
        // A word that is no frequency (a hexadecimal digit above 9) adds none.
        const std::string frequency =
            FrequencyText(file_.Int32At(position + field::kFrequencyWord));
        if (!frequency.empty()) {
            airspace_.frequencyText += frequency + " Mhz  ";
        }
        // The name fills the record after the frequency and the word beside it.
        const int64_t nameLength = int64_t{file_.Int32At(position + bgl::kRecordLengthOffset)} -
                                   (field::kFrequencyFullName - bgl::kRecordHeadSize);
        airspace_.fullName =
            ReadTextOfLength(file_, position + field::kFrequencyFullName, nameLength);
    }

    void ReadLimits(int64_t floor, int64_t ceiling) {
        airspace_.floorFt = file_.Int32At(floor);
        airspace_.ceilingFt = file_.Int32At(ceiling);
    }

    const ByteReader& file_;
    const AirspaceTarget& target_;
    std::vector<AirspaceRecord>& airspaces_;
    AirspaceRecord airspace_;
    bool taken_ = false;  // whether airspace_ stands for an accepted box
};

}  // namespace

bool IsMarkedSceneryFile(const FileBuffer& buffer) {
    const ByteReader file = buffer.reader();
    return file.Contains(bgl::kMarkerOffset, sizeof(int32_t)) &&
           file.Int32At(bgl::kMarkerOffset) == bgl::kMarker;
}

void DecodeAirspace(const ByteReader& file, int64_t recordStart, const AirspaceTarget& target,
                    std::vector<AirspaceRecord>& airspaces) {
    AirspaceReader(file, target, airspaces).Read(recordStart);
}

std::optional<BglProblem> ExamineAirspaceFile(const FileBuffer& buffer,
                                              const AirspaceTarget& target,
                                              std::vector<AirspaceRecord>& airspaces) {
    RecordTrace place;
    const ByteReader file = buffer.reader();
    try {
        if (!file.Contains(bgl::kSecondSectionOffset, sizeof(int32_t)) ||
            file.Int32At(bgl::kSectionFormatOffset) != bgl::kAirportSectionFormat) {
            return std::nullopt;
        }
        const int32_t chain = file.Int32At(bgl::kSecondSectionOffset);
        if (chain <= 0) {
            return std::nullopt;
        }
        WalkChain(file, chain, place, [&](int64_t group, int32_t type) {
            if (type == field::kGroupType) {
                WalkChain(file, group + field::kChainContent, place,
                          [&](int64_t record, int32_t kind) {
                              if (kind == field::kAirspaceType) {
                                  DecodeAirspace(file, record, target, airspaces);
                              }
                          });
            }
        });
        return std::nullopt;
    } catch (const MalformedBytes& fault) {
        return place.Problem(fault, buffer.FileLength());
    }
}

}  // namespace scopewatch
