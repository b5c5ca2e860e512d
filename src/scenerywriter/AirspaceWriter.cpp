#include "scenerywriter/AirspaceWriter.h"

#include <algorithm>
#include <cmath>

#include "bgl/BglLayout.h"
#include "geo/GeoMath.h"
#include "shared/ByteWriter.h"

namespace scopewatch::scenery {
namespace {

namespace at = bgl::airspace;
constexpr double kBoxMarginDegrees = 0.02;

int32_t SubRecordId(BoundaryStep step) {
    switch (step) {
        case BoundaryStep::Centre:
            return at::kCentrePoint;
        case BoundaryStep::Move:
            return at::kMovePoint;
        case BoundaryStep::Skipped:
            return at::kSkippedPoint;
        case BoundaryStep::Line:
            return at::kLinePoint;
        case BoundaryStep::ClockwiseArc:
            return at::kClockwisePoint;
        case BoundaryStep::CounterClockwiseArc:
            return at::kCounterClockwisePoint;
        case BoundaryStep::Circle:
            return at::kCirclePoint;
    }
    return at::kSkippedPoint;
}

Bytes ElementBytes(const BglBoundaryElement& element, const BglAirspace& airspace) {
    const int32_t id = SubRecordId(element.step);
    if (element.step == BoundaryStep::Circle) {
        return FieldRecord(id, Fields(at::kCircleSize)
                                   .Int32(at::kCircleRadius, element.radiusNm)
                                   .Int32(at::kCircleFloor, airspace.lowerFt)
                                   .Int32(at::kCircleCeiling, airspace.upperFt));
    }
    const bool move = element.step == BoundaryStep::Move;
    Fields fields(move ? at::kMoveSize : at::kPointSize);
    fields.Int32(at::kPointLatitude, EncodeLatitude(element.latitude))
        .Int32(at::kPointLongitude, EncodeLongitude(element.longitude));
    if (move) {
        fields.Int32(at::kMoveFloor, airspace.lowerFt).Int32(at::kMoveCeiling, airspace.upperFt);
    }
    return FieldRecord(id, std::move(fields));
}

Bytes BoxBytes(const BglBox& box) {
    return FieldRecord(at::kBoundingBox, Fields(at::kBoxSize)
                                             .Int32(at::kBoxSouth, EncodeLatitude(box.south))
                                             .Int32(at::kBoxWest, EncodeLongitude(box.west))
                                             .Int32(at::kBoxNorth, EncodeLatitude(box.north))
                                             .Int32(at::kBoxEast, EncodeLongitude(box.east)));
}

Bytes NameBytes(const BglAirspace& airspace) {
    std::vector<Bytes> parts;
    for (const std::string& name : airspace.shortNames) {
        parts.push_back(FieldRecord(
            at::kShortName,
            Fields(at::kNameText).Text(at::kNameText, Bytes(name.begin(), name.end()))));
    }
    for (const double megahertz : airspace.frequenciesMhz) {
        const Bytes fullName(airspace.fullName.begin(), airspace.fullName.end());
        parts.push_back(FieldRecord(at::kFrequencyName,
                                    Fields(at::kFrequencyFullName)
                                        .Int32(at::kFrequencyWord, EncodeFrequency(megahertz))
                                        .Text(at::kFrequencyFullName, fullName)));
    }
    return Concat(parts);
}

// A chain record of the type: its content from kChainContent.
Bytes ChainRecord(int32_t type, const Bytes& content) {
    return FieldRecord(
        at::kChainRecord,
        Fields(at::kChainContent).Int32(at::kChainType, type).Text(at::kChainContent, content));
}

// Grows the box to hold a circle of the radius (nautical miles) about the centre.
void Include(BglBox& box, GeoPoint centre, double radiusNm) {
    const double latSpan = radiusNm / 60.0;
    const double cosine = std::max(0.05, std::cos(centre.latitude * kPi / 180.0));
    const double lonSpan = radiusNm / (60.0 * cosine);
    box.south = std::min(box.south, centre.latitude - latSpan);
    box.north = std::max(box.north, centre.latitude + latSpan);
    box.west = std::min(box.west, centre.longitude - lonSpan);
    box.east = std::max(box.east, centre.longitude + lonSpan);
}

double RoughDistanceNm(GeoPoint from, GeoPoint to) {
    const double dLat = (to.latitude - from.latitude) * 60.0;
    const double dLon = (to.longitude - from.longitude) * 60.0 *
                        std::cos((from.latitude + to.latitude) / 2.0 * kPi / 180.0);
    return std::sqrt(dLat * dLat + dLon * dLon);
}

GeoPoint PointOf(const BglBoundaryElement& element) {
    return {element.latitude, element.longitude};
}

}  // namespace

BglBox BoundaryBox(const std::vector<BglBoundaryElement>& boundary) {
    BglBox box{1e9, 1e9, -1e9, -1e9};
    BglBoundaryElement centre;
    for (const BglBoundaryElement& element : boundary) {
        switch (element.step) {
            case BoundaryStep::Centre:
                centre = element;
                break;
            case BoundaryStep::Circle:
                Include(box, PointOf(centre), element.radiusNm);
                break;
            case BoundaryStep::ClockwiseArc:
            case BoundaryStep::CounterClockwiseArc:
                Include(box, PointOf(centre), RoughDistanceNm(PointOf(centre), PointOf(element)));
                break;
            case BoundaryStep::Move:
            case BoundaryStep::Line:
                Include(box, PointOf(element), 0.0);
                break;
            case BoundaryStep::Skipped:
                break;
        }
    }
    box.south -= kBoxMarginDegrees;
    box.west -= kBoxMarginDegrees;
    box.north += kBoxMarginDegrees;
    box.east += kBoxMarginDegrees;
    return box;
}

Bytes AirspaceRecordBytes(const BglAirspace& airspace) {
    return SharedAirspaceRecordBytes({airspace});
}

Bytes SharedAirspaceRecordBytes(const std::vector<BglAirspace>& airspaces) {
    ByteWriter payload;
    for (const BglAirspace& airspace : airspaces) {
        const Bytes names = NameBytes(airspace);
        const Bytes box = BoxBytes(airspace.box.value_or(BoundaryBox(airspace.boundary)));
        payload.Bytes(airspace.namesBeforeBox ? names : box);
        payload.Bytes(airspace.namesBeforeBox ? box : names);
        for (const BglBoundaryElement& element : airspace.boundary) {
            payload.Bytes(ElementBytes(element, airspace));
        }
    }
    payload.Bytes(EndRecord());
    return ChainRecord(at::kAirspaceType, payload.Take());
}

Bytes AirspaceGroupBytes(const std::vector<Bytes>& records) {
    return ChainRecord(at::kGroupType, Concat({Concat(records), EndRecord()}));
}

Bytes BuildAirspaceBgl(const std::vector<BglAirspace>& airspaces, size_t airspacesPerGroup) {
    const size_t perGroup = std::max<size_t>(1, airspacesPerGroup);
    std::vector<Bytes> groups;
    for (size_t first = 0; first < airspaces.size(); first += perGroup) {
        std::vector<Bytes> records;
        for (size_t i = first; i < std::min(airspaces.size(), first + perGroup); ++i) {
            records.push_back(AirspaceRecordBytes(airspaces[i]));
        }
        groups.push_back(AirspaceGroupBytes(records));
    }
    groups.push_back(EndRecord());
    BglFile file;
    file.SetSecondSection(file.Append(Concat(groups)));
    return file.Take();
}

BglAirspace CircleAirspace(GeoPoint centre, int32_t radiusNm, int32_t lowerFt, int32_t upperFt) {
    BglAirspace airspace;
    airspace.lowerFt = lowerFt;
    airspace.upperFt = upperFt;
    airspace.boundary = {{BoundaryStep::Centre, centre.latitude, centre.longitude, 0},
                         {BoundaryStep::Circle, 0.0, 0.0, radiusNm}};
    return airspace;
}

}  // namespace scopewatch::scenery
