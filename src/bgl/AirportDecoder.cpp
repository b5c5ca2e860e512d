#include "bgl/AirportDecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "bgl/BglEncodings.h"
#include "bgl/BglLayout.h"
#include "geo/Destinations.h"
#include "geo/GeoMath.h"
#include "geo/Headings.h"
#include "platform/CodePage.h"
#include "shared/Rounding.h"

namespace scopewatch {

namespace {

constexpr double kRadiansPerDegree = 0.0174532925199433;
constexpr double kMetresPer360Degrees = 40007000.0;

const std::array<const char*, 38> kParkingNames = {
    "",           "Parking",   "N Parking",  "NE Parking", "E Parking", "SE Parking", "S Parking",
    "SW Parking", "W Parking", "NW Parking", "Gate",       "Dock",      "Gate A",     "Gate B",
    "Gate C",     "Gate D",    "Gate E",     "Gate F",     "Gate G",    "Gate H",     "Gate I",
    "Gate J",     "Gate K",    "Gate L",     "Gate M",     "Gate N",    "Gate O",     "Gate P",
    "Gate Q",     "Gate R",    "Gate S",     "Gate T",     "Gate U",    "Gate V",     "Gate W",
    "Gate X",     "Gate Y",    "Gate Z"};

double WrapLongitudeOnce(double longitude) {
    if (longitude > 180.0) {
        return longitude - 360.0;
    }
    if (longitude < -180.0) {
        return longitude + 360.0;
    }
    return longitude;
}

// The variation grid is looked up by whole degrees; keep absurd positions from a malformed
// file within a range the lookup can take (real positions are never touched).
double GridSafe(double degrees) {
    if (!std::isfinite(degrees)) {
        return 0.0;
    }
    return std::clamp(degrees, -1.0e6, 1.0e6);
}

int16_t MagneticAt(int16_t trueHeading, double latitude, double longitude, const MagVarGrid& grid) {
    return MagneticHeading(trueHeading, {GridSafe(latitude), GridSafe(longitude)}, grid);
}

// A whole-degree true heading brought into -180..180, so that one correction step in the
// magnetic conversion always lands between 0 and 360.
int16_t HalfTurnRange(int16_t heading) {
    return static_cast<int16_t>(heading < -180 ? heading + 360 : heading);
}

bool SameDirection(int16_t a, int16_t b) {
    return ((a - b) % 360 + 360) % 360 == 0;
}

struct RunwayNames {
    std::string primary;
    std::string secondary;
};

// Decodes the records of one facility block into an AirportRecord. Holds what the records
// of one airport carry over to the next: the names of the previous runway, the name of the
// previous parking, the taxiway name index of each segment.
class FacilityDecoder {
  public:
    FacilityDecoder(const ByteReader& file, const MagVarGrid& grid, AirportRecord& airport,
                    RecordTrace& trace)
        : file_(file), grid_(grid), airport_(airport), trace_(trace) {}

    void Decode(int64_t facilityBlock) {
        int64_t position = facilityBlock + bgl::kFacilityBlockHeaderSize;
        while (true) {
            const int32_t id = file_.Int32At(position);
            trace_.At(position, id);
            if (!IsFacilityRecord(id)) {
                return;
            }
            const RecordHead head = ReadRecordHead(file_, position);
            position = DecodeRecord(position, head);
        }
    }

  private:
    static bool IsFacilityRecord(int32_t id) {
        switch (id) {
            case bgl::kAirportHeader:
            case bgl::kRunway:
            case bgl::kOtherFacility3:
            case bgl::kIls:
            case bgl::kOtherFacility5:
            case bgl::kIcao:
            case bgl::kTaxiData:
            case bgl::kFrequency:
                return true;
            default:
                return false;
        }
    }

    // Decodes the record at R and returns where the next one starts.
    int64_t DecodeRecord(int64_t r, const RecordHead& head) {
        switch (head.id) {
            case bgl::kAirportHeader:
                DecodeHeader(r);
                break;
            case bgl::kRunway:
                return DecodeRunwayAndIls(r, head);
            case bgl::kIcao:
                airport_.icaoId =
                    AnsiUpper(ReadTextOfLength(file_, r + bgl::icao::kText, head.len));
                break;
            case bgl::kTaxiData:
                DecodeTaxiData(r, head);
                break;
            case bgl::kFrequency:
                DecodeFrequency(r);
                break;
            default:
                break;  // other facilities are passed over
        }
        return r + head.Size();
    }

    void DecodeHeader(int64_t r) {
        namespace field = bgl::airport_header;
        airport_.latitude = LatitudeFromRaw(file_.Int32At(r + field::kLatitude));
        airport_.longitude = LongitudeFromRaw(file_.Int32At(r + field::kLongitude));
        airport_.altitudeFt = FeetFromMetres(file_.Int32At(r + field::kElevation));
    }

    void DecodeFrequency(int64_t r) {
        const int32_t word = file_.Int32At(r + bgl::frequency::kWord);
        std::string* field = FrequencyField(file_.Int32At(r + bgl::frequency::kType));
        if (field != nullptr && field->empty()) {
            *field = FrequencyText(word);
        }
    }

    std::string* FrequencyField(int32_t type) {
        switch (type) {
            case bgl::kAtisFrequency:
                return &airport_.atisFreq;
            case bgl::kGroundFrequency:
                return &airport_.groundFreq;
            case bgl::kTowerFrequency:
                return &airport_.towerFreq;
            case bgl::kClearanceFrequency:
                return &airport_.clearanceFreq;
            case bgl::kApproachFrequency:
                return &airport_.approachFreq;
            case bgl::kDepartureFrequency:
                return &airport_.departureFreq;
            case bgl::kCenterFrequency:
                return &airport_.centerFreq;
            default:
                return nullptr;
        }
    }

    // ---- Runways and their ILS ----

    int64_t DecodeRunwayAndIls(int64_t r, const RecordHead& head) {
        const double heading = HeadingFromRaw(file_.Int32At(r + bgl::runway::kHeading));
        const size_t runwayIndex = DecodeRunway(r, heading);
        int64_t next = r + head.Size();
        while (true) {
            const int32_t id = file_.Int32At(next);
            if (id != bgl::kIls) {
                return next;
            }
            trace_.At(next, id);
            const RecordHead ilsHead = ReadRecordHead(file_, next);
            DecodeIls(next, ilsHead, runwayIndex, heading);
            next += ilsHead.Size();
        }
    }

    size_t DecodeRunway(int64_t r, double heading) {
        namespace field = bgl::runway;
        const double latitude = LatitudeFromRaw(file_.Int32At(r + field::kLatitude));
        const double longitude = LongitudeFromRaw(file_.Int32At(r + field::kLongitude));
        const int32_t elevation = file_.Int32At(r + field::kElevation);
        const int32_t lengthWord = file_.Int32At(r + field::kLength);
        const int32_t widthWord = file_.Int32At(r + field::kWidth);
        const int32_t designator = file_.Int32At(r + field::kDesignator);
        const int32_t number = file_.Int32At(r + field::kNumber);

        double lengthM = lengthWord * 0.3048;
        if (lengthM > 300.0) {
            lengthM -= 60.0;
        }
        const double half = lengthM / 2.0;
        const double dLat =
            half * std::cos(heading * kRadiansPerDegree) * 360.0 / kMetresPer360Degrees;
        const double dLon = half * std::sin(heading * kRadiansPerDegree) * 360.0 /
                            (kMetresPer360Degrees * std::cos(latitude * kRadiansPerDegree));

        RunwayRecord runway;
        SetRunwayNames(number, designator);
        runway.primaryName = names_.primary;
        runway.secondaryName = names_.secondary;
        runway.end1Latitude = latitude - dLat;
        runway.end1Longitude = WrapLongitudeOnce(longitude - dLon);
        runway.end2Latitude = latitude + dLat;
        runway.end2Longitude = WrapLongitudeOnce(longitude + dLon);
        runway.altitudeFt = FeetFromMetres(elevation);
        const int16_t primaryHeading = RoundToInt16(heading);
        const int16_t secondaryHeading = RoundToInt16(heading - 180.0);
        runway.primaryMagHeading = MagneticAt(HalfTurnRange(primaryHeading), runway.end1Latitude,
                                              runway.end1Longitude, grid_);
        runway.secondaryMagHeading = MagneticAt(HalfTurnRange(secondaryHeading),
                                                runway.end2Latitude, runway.end2Longitude, grid_);
        runway.lengthFt = lengthWord;
        runway.widthFt = widthWord;
        airport_.runways.push_back(runway);
        return airport_.runways.size() - 1;
    }

    // Names for a valid number and designator; otherwise those of the previous runway stay.
    void SetRunwayNames(int32_t number, int32_t designator) {
        static constexpr std::array<const char*, 5> kPrimaryLetter = {"", "L", "R", "C", "H"};
        static constexpr std::array<const char*, 5> kSecondaryLetter = {"", "R", "L", "C", "H"};
        if (number < 0 || number >= 37 || designator < 0 || designator > 4) {
            return;
        }
        int32_t opposite = number + 18;
        if (opposite > 36) {
            opposite -= 36;
        }
        const auto d = static_cast<size_t>(designator);
        names_.primary = std::to_string(number) + kPrimaryLetter[d];
        names_.secondary = std::to_string(opposite) + kSecondaryLetter[d];
    }

    void DecodeIls(int64_t r, const RecordHead& head, size_t runwayIndex, double runwayHeading) {
        namespace field = bgl::ils;
        const double latitude = LatitudeFromRaw(file_.Int32At(r + field::kLatitude));
        const double longitude =
            WrapLongitudeOnce(LongitudeFromRaw(file_.Int32At(r + field::kLongitude)));
        const double heading = HeadingFromRaw(file_.Int32At(r + field::kHeading));
        const int32_t frequency = file_.Int32At(r + field::kFrequency);
        if (file_.Int32At(r + field::kKind) != bgl::kLocalizerKind) {
            return;
        }
        IlsRecord ils;
        ils.ident = ReadTextOfLength(file_, r + field::kIdent, head.Size() - field::kIdent);
        ils.latitude = latitude;
        ils.longitude = longitude;
        const int16_t ilsHeading = RoundToInt16(heading);
        ils.magHeading = MagneticAt(ilsHeading, latitude, longitude, grid_);
        ils.frequency = FrequencyText(frequency);
        // A localizer along the runway stands at the end it serves.
        const RunwayRecord& runway = airport_.runways[runwayIndex];
        if (SameDirection(ilsHeading, RoundToInt16(runwayHeading))) {
            ils.latitude = runway.end1Latitude;
            ils.longitude = runway.end1Longitude;
        } else if (SameDirection(ilsHeading, RoundToInt16(runwayHeading - 180.0))) {
            ils.latitude = runway.end2Latitude;
            ils.longitude = runway.end2Longitude;
        }
        airport_.ilsList.push_back(ils);
    }

    // ---- Taxi data ----

    void DecodeTaxiData(int64_t r, const RecordHead& head) {
        const int64_t recordEnd = r + head.Size();
        int64_t position = r + bgl::taxi::kFirstList;
        while (position + bgl::taxi::kListItems <= recordEnd) {
            const int32_t count = file_.Int32At(position + bgl::taxi::kListCount);
            const int32_t itemSize = file_.Int32At(position + bgl::taxi::kListItemSize);
            const int64_t items = position + bgl::taxi::kListItems;
            if (!IsTaxiItemSize(itemSize)) {
                break;
            }
            RequireItemsInside(items, count, itemSize, recordEnd);
            if (itemSize == bgl::kTaxiNameItemSize) {
                ApplyTaxiwayNames(items, count);
                break;
            }
            DecodeTaxiSubList(items, count, itemSize);
            position = items + static_cast<int64_t>(count) * itemSize;
        }
        NameRunwaySegments();
    }

    static bool IsTaxiItemSize(int32_t size) {
        return size == bgl::kTaxiPointItemSize || size == bgl::kParkingItemSize ||
               size == bgl::kTaxiSegmentItemSize || size == bgl::kTaxiNameItemSize;
    }

    void RequireItemsInside(int64_t items, int32_t count, int32_t itemSize, int64_t recordEnd) {
        const int64_t list = items - bgl::taxi::kListItems;
        if (count < 0 || items + static_cast<int64_t>(count) * itemSize > recordEnd) {
            file_.Refuse(list, "taxi data list of " + std::to_string(count) + " items of " +
                                   std::to_string(itemSize) + " bytes at offset " +
                                   std::to_string(list) + " runs past its record");
        }
        file_.Require(items, static_cast<int64_t>(count) * itemSize);
    }

    void DecodeTaxiSubList(int64_t items, int32_t count, int32_t itemSize) {
        const auto n = static_cast<size_t>(count);
        if (itemSize == bgl::kTaxiPointItemSize) {
            airport_.taxiPoints.assign(n, {});
            for (size_t i = 0; i < n; ++i) {
                airport_.taxiPoints[i] =
                    DecodeTaxiPoint(items + static_cast<int64_t>(i) * itemSize);
            }
        } else if (itemSize == bgl::kParkingItemSize) {
            airport_.parkings.assign(n, {});
            for (size_t i = 0; i < n; ++i) {
                airport_.parkings[i] = DecodeParking(items + static_cast<int64_t>(i) * itemSize);
            }
        } else {
            airport_.taxiSegments.assign(n, {});
            nameIndices_.assign(n, 0);
            for (size_t i = 0; i < n; ++i) {
                DecodeSegment(items + static_cast<int64_t>(i) * itemSize, i);
            }
        }
    }

    float SingleAt(int64_t position) const { return DecodeSingle(file_.Int32At(position)); }

    // Destinations from the airport's reference point as it stands now (a later header
    // record may move it).
    DestinationsFrom& FromReferencePoint() {
        if (!fromReferencePoint_ || fromReferencePoint_->latitude() != airport_.latitude ||
            fromReferencePoint_->longitude() != airport_.longitude) {
            fromReferencePoint_.emplace(GeoPoint{airport_.latitude, airport_.longitude});
        }
        return *fromReferencePoint_;
    }

    // The point eastM metres east (west when negative) and northM metres north of the
    // reference point, each coordinate reached by its own step.
    GeoPoint OffsetPosition(float eastM, float northM) {
        GeoPoint point{airport_.latitude, airport_.longitude};
        if (eastM != 0.0F) {
            point.longitude =
                FromReferencePoint().LongitudeAt(eastM > 0 ? 90 : 270, std::fabs(eastM));
        }
        if (northM != 0.0F) {
            point.latitude =
                FromReferencePoint().LatitudeAt(northM > 0 ? 0 : 180, std::fabs(northM));
        }
        return point;
    }

    TaxiPointRecord DecodeTaxiPoint(int64_t item) {
        TaxiPointRecord point;
        point.pointWord = file_.Int32At(item + bgl::taxi::kPointWord);
        const GeoPoint at = OffsetPosition(SingleAt(item + bgl::taxi::kPointEast),
                                           SingleAt(item + bgl::taxi::kPointNorth));
        point.latitude = at.latitude;
        point.longitude = at.longitude;
        return point;
    }

    ParkingRecord DecodeParking(int64_t item) {
        ParkingRecord parking;
        const GeoPoint at = OffsetPosition(SingleAt(item + bgl::taxi::kParkingEast),
                                           SingleAt(item + bgl::taxi::kParkingNorth));
        parking.latitude = at.latitude;
        parking.longitude = at.longitude;
        parking.altitudeFt = FeetFromMetres(SingleAt(item + bgl::taxi::kParkingUp));
        const auto word = static_cast<uint32_t>(file_.Int32At(item + bgl::taxi::kParkingName));
        const auto code = static_cast<int32_t>(word & 0x7FU);
        const auto number = static_cast<int32_t>((word >> 7) & 0x1FFFU);
        if (code >= 1 && code <= 37 && code != parkingCode_) {
            parkingName_ = AnsiUpper(ParkingName(code));
            parkingCode_ = code;
        }
        parking.label = parkingName_ + " " + std::to_string(number);
        return parking;
    }

    void DecodeSegment(int64_t item, size_t i) {
        TaxiSegmentRecord& segment = airport_.taxiSegments[i];
        segment.kind = file_.Int32At(item + bgl::taxi::kSegmentKind);
        segment.firstIndex = file_.Int32At(item + bgl::taxi::kSegmentFirst);
        segment.secondIndex = file_.Int32At(item + bgl::taxi::kSegmentSecond);
        nameIndices_[i] = file_.Int32At(item + bgl::taxi::kSegmentNameIndex);
        segment.name = std::to_string(nameIndices_[i]);
    }

    // Each taxiway segment takes the name its own index points at. (Matching the names one
    // after the other against the segments' current texts would rename a segment twice when
    // a taxiway's name is itself a number.)
    void ApplyTaxiwayNames(int64_t items, int32_t count) {
        for (size_t i = 0; i < airport_.taxiSegments.size(); ++i) {
            const int32_t k = nameIndices_[i];
            if (airport_.taxiSegments[i].kind == kTaxiToTaxi && k >= 0 && k < count) {
                airport_.taxiSegments[i].name = ReadTextOfLength(
                    file_, items + static_cast<int64_t>(k) * bgl::kTaxiNameItemSize,
                    bgl::kTaxiNameItemSize);
            }
        }
    }

    void NameRunwaySegments() {
        for (size_t i = 0; i < airport_.taxiSegments.size(); ++i) {
            const int32_t runway = nameIndices_[i];
            if (airport_.taxiSegments[i].kind == kRunwaySegment && runway >= 0 &&
                runway < airport_.runwayCount()) {
                airport_.taxiSegments[i].name =
                    "Runway " + airport_.runways[static_cast<size_t>(runway)].primaryName;
            }
        }
    }

    const ByteReader file_;
    const MagVarGrid& grid_;
    AirportRecord& airport_;
    RecordTrace& trace_;
    RunwayNames names_;
    std::string parkingName_;
    int32_t parkingCode_ = 0;  // the code parkingName_ was made from (0: none yet)
    std::vector<int32_t> nameIndices_;
    std::optional<DestinationsFrom> fromReferencePoint_;
};

}  // namespace

std::string ParkingName(int32_t nameCode) {
    if (nameCode < 1 || nameCode > 37) {
        return {};
    }
    return kParkingNames[static_cast<size_t>(nameCode)];
}

void DecodeAirport(const ByteReader& file, int64_t facilityBlock, const MagVarGrid& grid,
                   AirportRecord& airport, RecordTrace& trace) {
    FacilityDecoder(file, grid, airport, trace).Decode(facilityBlock);
}

void DecodeAirport(const FileBuffer& buffer, int64_t facilityBlock, const MagVarGrid& grid,
                   AirportRecord& airport) {
    RecordTrace trace;
    DecodeAirport(buffer.reader(), facilityBlock, grid, airport, trace);
}

}  // namespace scopewatch
