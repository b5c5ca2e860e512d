#include "demo/DemoLayout.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "geo/GeoMath.h"
#include "scenerywriter/MagdecWriter.h"
#include "shared/Rounding.h"

namespace scopewatch::demo {

using namespace scenery;

namespace {

constexpr double kDegrees = kPi / 180.0;
constexpr double kJoinToleranceM = 0.5;
constexpr int32_t kRunwaySegmentKind = 1;
constexpr int32_t kParkingSegmentKind = 2;
constexpr int32_t kRunwayPointWord = 1;
constexpr double kArcPieceDegrees = 45.0;

double Distance(FramePoint a, FramePoint b) {
    return std::hypot(a.u - b.u, a.v - b.v);
}

// Where the point falls along the line from a to b (0 at a, 1 at b), or -1 when it is not on
// the line within the tolerance.
double PlaceOnLine(FramePoint point, FramePoint a, FramePoint b) {
    const double du = b.u - a.u;
    const double dv = b.v - a.v;
    const double lengthSquared = du * du + dv * dv;
    if (lengthSquared == 0.0) {
        return -1.0;
    }
    const double t = ((point.u - a.u) * du + (point.v - a.v) * dv) / lengthSquared;
    const FramePoint foot{a.u + t * du, a.v + t * dv};
    return Distance(point, foot) <= kJoinToleranceM ? t : -1.0;
}

double Cross(FramePoint a, FramePoint b) {
    return a.u * b.v - a.v * b.u;
}

FramePoint Minus(FramePoint a, FramePoint b) {
    return {a.u - b.u, a.v - b.v};
}

FramePoint Plus(FramePoint a, FramePoint b, double times = 1.0) {
    return {a.u + times * b.u, a.v + times * b.v};
}

FramePoint UnitFrom(FramePoint a, FramePoint b) {
    const double length = Distance(a, b);
    return {(b.u - a.u) / length, (b.v - a.v) / length};
}

// Where the insides of the lines a-b and c-d cross, if they do (more than the join
// tolerance away from every end).
std::optional<FramePoint> Crossing(FramePoint a, FramePoint b, FramePoint c, FramePoint d) {
    const FramePoint ab = Minus(b, a);
    const FramePoint cd = Minus(d, c);
    const double denominator = Cross(ab, cd);
    const double lengths = Distance(a, b) * Distance(c, d);
    if (lengths == 0.0 || std::abs(denominator) < 1e-9 * lengths) {
        return std::nullopt;  // parallel: ends lying on the other line are joined elsewhere
    }
    const double t = Cross(Minus(c, a), cd) / denominator;
    const double s = Cross(Minus(c, a), ab) / denominator;
    const double marginT = kJoinToleranceM / Distance(a, b);
    const double marginS = kJoinToleranceM / Distance(c, d);
    if (t <= marginT || t >= 1.0 - marginT || s <= marginS || s >= 1.0 - marginS) {
        return std::nullopt;
    }
    return Plus(a, ab, t);
}

// The arc that replaces the corner p between the lines from a and to b: a circle of the
// radius touching both lines (smaller when the lines are too short for it), in pieces of at
// most kArcPieceDegrees of turn. Empty when the lines do not turn.
std::vector<FramePoint> RoundedCorner(FramePoint a, FramePoint p, FramePoint b, double radiusM) {
    const FramePoint in = UnitFrom(a, p);
    const FramePoint out = UnitFrom(p, b);
    const double turn = std::atan2(Cross(in, out), in.u * out.u + in.v * out.v);
    if (std::abs(turn) < 1e-6) {
        return {};
    }
    const double halfTan = std::tan(std::abs(turn) / 2.0);
    const double tangent =
        std::min(radiusM * halfTan, std::min(Distance(a, p), Distance(p, b)) / 2.0);
    const double radius = tangent / halfTan;
    const FramePoint start = Plus(p, in, -tangent);
    const double side = turn > 0.0 ? 1.0 : -1.0;
    const FramePoint centre = Plus(start, {-in.v * side, in.u * side}, radius);
    const FramePoint spoke = Minus(start, centre);
    const auto pieces =
        static_cast<int>(std::ceil(std::abs(turn) / (kArcPieceDegrees * kDegrees) - 1e-9));
    std::vector<FramePoint> arc;
    for (int i = 0; i <= pieces; ++i) {
        const double angle = turn * i / pieces;
        arc.push_back(Plus(centre, {spoke.u * std::cos(angle) - spoke.v * std::sin(angle),
                                    spoke.u * std::sin(angle) + spoke.v * std::cos(angle)}));
    }
    return arc;
}

// The polyline with every inner corner rounded to the radius.
std::vector<FramePoint> RoundCorners(const std::vector<FramePoint>& corners, double radiusM) {
    if (radiusM <= 0.0 || corners.size() < 3) {
        return corners;
    }
    std::vector<FramePoint> rounded = {corners.front()};
    for (size_t i = 1; i + 1 < corners.size(); ++i) {
        const std::vector<FramePoint> arc =
            RoundedCorner(corners[i - 1], corners[i], corners[i + 1], radiusM);
        if (arc.empty()) {
            rounded.push_back(corners[i]);
        }
        rounded.insert(rounded.end(), arc.begin(), arc.end());
    }
    rounded.push_back(corners.back());
    return rounded;
}

}  // namespace

int DemoVariationDegrees(GeoPoint at) {
    // Whole degrees as the program's variation lookup takes them (halves to even).
    const int lat = RoundToInt32(at.latitude);
    int lon = RoundToInt32(at.longitude);
    if (lon < 0) {
        lon += 360;
    }
    return static_cast<int>(std::trunc(DemoWorldVariation(lat, lon) * 360.0 / 65536.0));
}

AirportLayout::AirportLayout(BglAirport& airport, double axisTrueBearing)
    : airport_(airport), axisTrueBearing_(axisTrueBearing) {}

double AirportLayout::East(FramePoint point) const {
    const double axis = axisTrueBearing_ * kDegrees;
    return point.u * std::sin(axis) + point.v * std::cos(axis);
}

double AirportLayout::North(FramePoint point) const {
    const double axis = axisTrueBearing_ * kDegrees;
    return point.u * std::cos(axis) - point.v * std::sin(axis);
}

FramePoint AirportLayout::Along(const RunwayLine& line, double metres) const {
    const double bearing = line.bearingInPlane * kDegrees;
    return {line.centre.u + metres * std::cos(bearing), line.centre.v + metres * std::sin(bearing)};
}

size_t AirportLayout::AddRunway(FramePoint centre, double bearingInPlane, int32_t lengthFt,
                                int32_t widthFt, int32_t number, int32_t designator) {
    double lengthM = lengthFt * 0.3048;
    if (lengthM > 300.0) {
        lengthM -= 60.0;  // the program draws runways this much shorter
    }
    const GeoPoint at = PositionOf(airport_, East(centre), North(centre));
    BglRunway runway;
    runway.latitude = at.latitude;
    runway.longitude = at.longitude;
    runway.elevationFt = airport_.elevationFt;
    runway.trueHeading = std::fmod(axisTrueBearing_ + bearingInPlane + 720.0, 360.0);
    runway.lengthFt = lengthFt;
    runway.widthFt = widthFt;
    runway.number = number;
    runway.designator = designator;
    airport_.runways.push_back(runway);
    const size_t index = airport_.runways.size() - 1;
    runwayLines_.push_back({centre, bearingInPlane, lengthM / 2.0});

    const auto [end1, end2] = RunwayEnds(index);
    legs_.push_back({kRunwaySegmentKind, Node(end1, kRunwayPointWord), Node(end2, kRunwayPointWord),
                     static_cast<int32_t>(index)});
    return index;
}

std::pair<FramePoint, FramePoint> AirportLayout::RunwayEnds(size_t runway) const {
    const RunwayLine& line = runwayLines_[runway];
    return {Along(line, -line.halfLengthM), Along(line, line.halfLengthM)};
}

void AirportLayout::AddIls(size_t runway, bool primaryEnd, const std::string& ident,
                           double megahertz, int32_t kind) {
    const RunwayLine& line = runwayLines_[runway];
    const double beyond = line.halfLengthM + 300.0;
    const FramePoint antenna = Along(line, primaryEnd ? beyond : -beyond);
    const GeoPoint at = PositionOf(airport_, East(antenna), North(antenna));
    BglIls ils;
    ils.ident = ident;
    ils.latitude = at.latitude;
    ils.longitude = at.longitude;
    const double heading = airport_.runways[runway].trueHeading;
    ils.trueHeading = primaryEnd ? heading : std::fmod(heading + 180.0, 360.0);
    ils.frequencyMhz = megahertz;
    ils.kind = kind;
    airport_.runways[runway].ils.push_back(ils);
}

void AirportLayout::AddTaxiway(const std::string& name, const std::vector<FramePoint>& corners,
                               double turnRadiusM) {
    const int32_t nameIndex = NameIndex(name);
    const std::vector<FramePoint> points = RoundCorners(corners, turnRadiusM);
    for (size_t i = 1; i < points.size(); ++i) {
        legs_.push_back({0, Node(points[i - 1]), Node(points[i]), nameIndex});
    }
}

void AirportLayout::AddApronLane(const std::vector<FramePoint>& corners) {
    AddTaxiway("", corners);
}

void AirportLayout::AddParking(FramePoint at, FramePoint lane, int32_t nameCode, int32_t number,
                               double radiusM) {
    BglParking parking;
    parking.eastM = East(at);
    parking.northM = North(at);
    parking.upM = radiusM;
    parking.radiusM = radiusM;
    parking.nameCode = nameCode;
    parking.number = number;
    airport_.parkings.push_back(parking);
    gateLinks_.emplace_back(Node(lane), airport_.parkings.size() - 1);
}

size_t AirportLayout::Node(FramePoint point, int32_t pointWord) {
    const auto key = std::make_pair(std::llround(point.u * 2.0), std::llround(point.v * 2.0));
    const auto found = nodeByKey_.find(key);
    if (found != nodeByKey_.end()) {
        nodeWords_[found->second] |= pointWord;
        return found->second;
    }
    nodes_.push_back(point);
    nodeWords_.push_back(pointWord);
    nodeByKey_.emplace(key, nodes_.size() - 1);
    return nodes_.size() - 1;
}

int32_t AirportLayout::NameIndex(const std::string& name) {
    const auto found = std::find(airport_.taxiwayNames.begin(), airport_.taxiwayNames.end(), name);
    if (found != airport_.taxiwayNames.end()) {
        return static_cast<int32_t>(found - airport_.taxiwayNames.begin());
    }
    airport_.taxiwayNames.push_back(name);
    return static_cast<int32_t>(airport_.taxiwayNames.size() - 1);
}

void AirportLayout::AddCrossings() {
    for (size_t i = 0; i < legs_.size(); ++i) {
        for (size_t j = i + 1; j < legs_.size(); ++j) {
            const Leg& first = legs_[i];
            const Leg& second = legs_[j];
            const std::optional<FramePoint> crossing = Crossing(
                nodes_[first.from], nodes_[first.to], nodes_[second.from], nodes_[second.to]);
            if (crossing) {
                Node(*crossing);
            }
        }
    }
}

// Cuts every line at the points that lie on it, so that lines meeting there share the
// point. A point on a runway's centreline is a runway point.
void AirportLayout::SplitAtJunctions() {
    std::vector<Leg> split;
    for (const Leg& leg : legs_) {
        std::vector<std::pair<double, size_t>> inside;
        for (size_t node = 0; node < nodes_.size(); ++node) {
            if (node == leg.from || node == leg.to) {
                continue;
            }
            const double t = PlaceOnLine(nodes_[node], nodes_[leg.from], nodes_[leg.to]);
            if (t > 0.0 && t < 1.0) {
                inside.emplace_back(t, node);
            }
        }
        std::sort(inside.begin(), inside.end());
        size_t from = leg.from;
        for (const auto& [t, node] : inside) {
            split.push_back({leg.kind, from, node, leg.nameIndex});
            if (leg.kind == kRunwaySegmentKind) {
                nodeWords_[node] |= kRunwayPointWord;
            }
            from = node;
        }
        split.push_back({leg.kind, from, leg.to, leg.nameIndex});
    }
    legs_ = std::move(split);
}

BglTaxiPoint AirportLayout::ToTaxiPoint(FramePoint point, int32_t pointWord) const {
    return {East(point), North(point), pointWord};
}

void AirportLayout::Finish() {
    AddCrossings();
    SplitAtJunctions();
    airport_.taxiPoints.clear();
    for (size_t i = 0; i < nodes_.size(); ++i) {
        airport_.taxiPoints.push_back(ToTaxiPoint(nodes_[i], nodeWords_[i]));
    }
    airport_.taxiSegments.clear();
    for (const Leg& leg : legs_) {
        airport_.taxiSegments.push_back({leg.kind, static_cast<int32_t>(leg.from),
                                         static_cast<int32_t>(leg.to), leg.nameIndex});
    }
    for (const auto& [node, parking] : gateLinks_) {
        airport_.taxiSegments.push_back(
            {kParkingSegmentKind, static_cast<int32_t>(node), static_cast<int32_t>(parking), 0});
    }
}

}  // namespace scopewatch::demo
