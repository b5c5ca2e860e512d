#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "geo/GeoPoint.h"
#include "scenerywriter/BglWriter.h"

namespace scopewatch::demo {

// The whole-degree magnetic variation (east positive) the program will find at a position
// in the demo's variation file.
int DemoVariationDegrees(GeoPoint at);

// A point in an airport's local plane: u metres along the plane's axis, v metres to its
// right (90 degrees clockwise).
struct FramePoint {
    double u = 0.0;
    double v = 0.0;
};

// Lays out an airport in a local plane whose axis points along a true bearing: runways with
// their centrelines, taxiways as polylines, parkings joined to a taxiway point. Finish()
// makes every junction a shared point (where a line ends on another or two lines cross) and
// writes taxi points, parkings, segments and taxiway names into the airport. A straight
// stretch stays one segment from junction to junction, as in real airports' data, so that
// the scope labels it once; only rounded corners are made of a few short segments.
class AirportLayout {
  public:
    AirportLayout(scenery::BglAirport& airport, double axisTrueBearing);

    // A runway centred at the point whose primary end looks along bearingInPlane (degrees
    // from the axis, clockwise). Its centreline becomes runway segments. Returns its index.
    size_t AddRunway(FramePoint centre, double bearingInPlane, int32_t lengthFt, int32_t widthFt,
                     int32_t number, int32_t designator);
    // A localizer for the runway's primary or secondary end, standing beyond the far end.
    void AddIls(size_t runway, bool primaryEnd, const std::string& ident, double megahertz,
                int32_t kind = bgl::kLocalizerKind);
    // The two ends of a runway as the program will compute them (primary end first).
    std::pair<FramePoint, FramePoint> RunwayEnds(size_t runway) const;

    // A named taxiway through the corners. With a turn radius, each corner becomes a curve
    // of a few short segments that leaves the corner point itself out.
    void AddTaxiway(const std::string& name, const std::vector<FramePoint>& corners,
                    double turnRadiusM = 0.0);
    // A taxilane in a parking area: it has no name, as ramps carry none on airport diagrams,
    // so the scope draws it without a label however many parking spurs cut it.
    void AddApronLane(const std::vector<FramePoint>& corners);
    // A parking at the point, joined to the taxiway point at lane.
    void AddParking(FramePoint at, FramePoint lane, int32_t nameCode, int32_t number,
                    double radiusM = 18.0);

    void Finish();

  private:
    struct Leg {
        int32_t kind = 0;
        size_t from = 0;
        size_t to = 0;
        int32_t nameIndex = 0;
    };
    struct RunwayLine {
        FramePoint centre;
        double bearingInPlane = 0.0;
        double halfLengthM = 0.0;
    };

    size_t Node(FramePoint point, int32_t pointWord = 0);
    int32_t NameIndex(const std::string& name);
    FramePoint Along(const RunwayLine& line, double metres) const;
    void AddCrossings();
    void SplitAtJunctions();
    scenery::BglTaxiPoint ToTaxiPoint(FramePoint point, int32_t pointWord) const;
    double East(FramePoint point) const;
    double North(FramePoint point) const;

    scenery::BglAirport& airport_;
    double axisTrueBearing_;
    std::vector<FramePoint> nodes_;
    std::vector<int32_t> nodeWords_;
    std::map<std::pair<long long, long long>, size_t> nodeByKey_;
    std::vector<Leg> legs_;
    std::vector<std::pair<size_t, size_t>> gateLinks_;  // node, parking
    std::vector<RunwayLine> runwayLines_;
};

}  // namespace scopewatch::demo
