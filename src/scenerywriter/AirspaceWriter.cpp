#include "scenerywriter/AirspaceWriter.h"

#include <algorithm>
#include <cmath>

#include "shared/ByteWriter.h"

namespace scopewatch::scenery {
namespace {

constexpr int32_t kChainRecord = 1;
constexpr int32_t kGroupType = 4;
constexpr int32_t kAirspaceType = 5;
constexpr double kBoxMarginDegrees = 0.02;

int32_t SubRecordId(BoundaryStep step) {
    switch (step) {
        case BoundaryStep::Centre:
            return 0x12001;
        case BoundaryStep::Move:
            return 0x12002;
        case BoundaryStep::Skipped:
            return 0x12003;
        case BoundaryStep::Line:
            return 0x12005;
        case BoundaryStep::ClockwiseArc:
            return 0x12006;
        case BoundaryStep::CounterClockwiseArc:
            return 0x12007;
        case BoundaryStep::Circle:
            return 0x12008;
    }
    return 0x12003;
}

Bytes ElementBytes(const BglBoundaryElement& element, const BglAirspace& airspace) {
    ByteWriter payload;
    if (element.step == BoundaryStep::Circle) {
        payload.Int32(element.radiusNm);
        payload.Zeros(4);
        payload.Int32(airspace.lowerFt);
        payload.Int32(airspace.upperFt);
    } else {
        payload.Zeros(4);
        payload.Int32(EncodeLatitude(element.latitude));
        payload.Zeros(4);
        payload.Int32(EncodeLongitude(element.longitude));
        if (element.step == BoundaryStep::Move) {
            payload.Int32(airspace.lowerFt);
            payload.Int32(airspace.upperFt);
        }
    }
    return BglRecord(SubRecordId(element.step), payload.Take());
}

Bytes BoxBytes(const BglBox& box) {
    ByteWriter payload;
    payload.Int32(EncodeLatitude(box.south));
    payload.Int32(EncodeLongitude(box.west));
    payload.Int32(EncodeLatitude(box.north));
    payload.Int32(EncodeLongitude(box.east));
    return BglRecord(0x1000B, payload.Take());
}

Bytes NameBytes(const BglAirspace& airspace) {
    std::vector<Bytes> parts;
    for (const std::string& name : airspace.shortNames) {
        parts.push_back(BglRecord(0x10006, Bytes(name.begin(), name.end())));
    }
    for (const double megahertz : airspace.frequenciesMhz) {
        ByteWriter payload;
        payload.Int32(EncodeFrequency(megahertz));
        payload.Zeros(4);
        payload.Bytes(airspace.fullName);
        parts.push_back(BglRecord(0x20001, payload.Take()));
    }
    return Concat(parts);
}

// Grows the box to hold a circle of the radius (nautical miles) about the centre.
void Include(BglBox& box, double latitude, double longitude, double radiusNm) {
    const double latSpan = radiusNm / 60.0;
    const double cosine = std::max(0.05, std::cos(latitude * M_PI / 180.0));
    const double lonSpan = radiusNm / (60.0 * cosine);
    box.south = std::min(box.south, latitude - latSpan);
    box.north = std::max(box.north, latitude + latSpan);
    box.west = std::min(box.west, longitude - lonSpan);
    box.east = std::max(box.east, longitude + lonSpan);
}

double RoughDistanceNm(double lat1, double lon1, double lat2, double lon2) {
    const double dLat = (lat2 - lat1) * 60.0;
    const double dLon = (lon2 - lon1) * 60.0 * std::cos((lat1 + lat2) / 2.0 * M_PI / 180.0);
    return std::sqrt(dLat * dLat + dLon * dLon);
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
                Include(box, centre.latitude, centre.longitude, element.radiusNm);
                break;
            case BoundaryStep::ClockwiseArc:
            case BoundaryStep::CounterClockwiseArc:
                Include(box, centre.latitude, centre.longitude,
                        RoughDistanceNm(centre.latitude, centre.longitude, element.latitude,
                                        element.longitude));
                break;
            case BoundaryStep::Move:
            case BoundaryStep::Line:
                Include(box, element.latitude, element.longitude, 0.0);
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
    payload.Int32(kAirspaceType);
    payload.Zeros(4);
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
    return BglRecord(kChainRecord, payload.Take());
}

Bytes AirspaceGroupBytes(const std::vector<Bytes>& records) {
    ByteWriter payload;
    payload.Int32(kGroupType);
    payload.Zeros(4);
    payload.Bytes(Concat(records));
    payload.Bytes(EndRecord());
    return BglRecord(kChainRecord, payload.Take());
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

BglAirspace CircleAirspace(double latitude, double longitude, int32_t radiusNm, int32_t lowerFt,
                           int32_t upperFt) {
    BglAirspace airspace;
    airspace.lowerFt = lowerFt;
    airspace.upperFt = upperFt;
    airspace.boundary = {{BoundaryStep::Centre, latitude, longitude, 0},
                         {BoundaryStep::Circle, 0.0, 0.0, radiusNm}};
    return airspace;
}

}  // namespace scopewatch::scenery
