#include <gtest/gtest.h>

#include "ScopeTestScene.h"
#include "scope/AirspaceLayer.h"
#include "scope/Geodesy.h"
#include "scope/RecordingSurface.h"
#include "scope/ScopeColours.h"

namespace scopewatch {
namespace {

using testing::ScopeTestScene;
constexpr double kLat = ScopeTestScene::kLat;
constexpr double kLon = ScopeTestScene::kLon;

AirspaceRecord Ring(const std::string& type, double lat, double lon, int32_t radius) {
    AirspaceRecord airspace;
    airspace.typeName = type;
    airspace.latitude = lat;
    airspace.longitude = lon;
    airspace.points = {{kCentre, lat, lon, 0}, {kCircle, 0.0, 0.0, radius}};
    return airspace;
}

SelectedAirspace Select(const AirspaceRecord& airspace) {
    return {kSelectedAirspaceMarker, airspace.typeName, airspace.latitude, airspace.longitude};
}

// The reference-point dots drawn, with their colour.
std::vector<GdiColor> DotColours(const RecordingSurface& surface) {
    std::vector<GdiColor> colours;
    for (const DrawCall& call : surface.CallsOf(DrawOp::Ellipse)) {
        if (call.state.fillStyle == kSolidFill) {
            colours.push_back(call.state.foreColor);
        }
    }
    return colours;
}

class AirspaceLayerTest : public ::testing::Test {
  protected:
    void Draw() {
        surface.Clear();
        DrawAirspaces(surface, t.view, t.airport.airspaces, t.selection);
    }

    ScopeTestScene t{9};
    RecordingSurface surface;
};

TEST_F(AirspaceLayerTest, ClassDOnlyWithASelectedNeighbour) {
    t.airport.airspaces = {Ring("Airspace Class D", kLat, kLon, 5),
                           Ring("TRACON (Departure/Approach)", kLat, kLon, 20),
                           Ring("Airspace Class C", kLat + 0.1, kLon, 10)};
    Draw();
    EXPECT_EQ(DotColours(surface), (std::vector<GdiColor>{kCyan, kCyan}));

    t.selection = Select(t.airport.airspaces[1]);
    Draw();
    // The Class C stays cyan; the TRACON and the Class D on its reference point turn yellow.
    EXPECT_EQ(DotColours(surface), (std::vector<GdiColor>{kCyan, kYellow, kYellow}));
    EXPECT_EQ(surface.State(), DrawingState{});
}

TEST_F(AirspaceLayerTest, SharedReferencePointSelectsBoth) {
    t.airport.airspaces = {Ring("Airspace Class B", kLat, kLon, 10),
                           Ring("TRACON (Departure/Approach)", kLat, kLon, 20)};
    t.selection = Select(t.airport.airspaces[0]);
    Draw();
    EXPECT_EQ(DotColours(surface), (std::vector<GdiColor>{kYellow, kYellow}));
}

TEST_F(AirspaceLayerTest, PensFollowTheType) {
    t.airport.airspaces = {Ring("ARTCC/FIR", kLat, kLon, 60),
                           Ring("Airspace Class B", kLat, kLon, 10),
                           Ring("Airspace Class C", kLat, kLon, 8),
                           Ring("TRACON (Departure/Approach)", kLat, kLon, 20)};
    Draw();
    std::vector<std::pair<int16_t, LineStyle>> pens;
    for (const DrawCall& call : surface.CallsOf(DrawOp::Ellipse)) {
        if (call.state.fillStyle == kTransparentFill) {
            pens.emplace_back(call.state.drawWidth, call.state.drawStyle);
        }
    }
    EXPECT_EQ(pens, (std::vector<std::pair<int16_t, LineStyle>>{
                        {4, kSolidLine}, {1, kDashedLine}, {1, kDashedLine}, {1, kSolidLine}}));
}

TEST_F(AirspaceLayerTest, CircleOfRadiusZeroIsDrawnWithOneMileAndKeepsIt) {
    t.airport.airspaces = {Ring("Airspace Class B", kLat, kLon, 0)};
    Draw();
    EXPECT_EQ(t.airport.airspaces[0].points[1].radius, 1);
    const auto ellipses = surface.CallsOf(DrawOp::Ellipse);
    ASSERT_EQ(ellipses.size(), 2U);
    const GeoPoint a = DestinationNm(kLat, kLon, 315, 1);
    const GeoPoint b = DestinationNm(kLat, kLon, 135, 1);
    const ScopePoint pa = ProjectToScope(t.view, a.latitude, a.longitude);
    const ScopePoint pb = ProjectToScope(t.view, b.latitude, b.longitude);
    EXPECT_EQ(ellipses[1].args, (std::vector<int32_t>{pa.x, pa.y, pb.x, pb.y}));
    EXPECT_LT(pa.x, pb.x);
}

TEST_F(AirspaceLayerTest, BoundaryMovesLinesAndArcsBothWays) {
    AirspaceRecord airspace;
    airspace.typeName = "Airspace Class B";
    airspace.latitude = kLat;
    airspace.longitude = kLon;
    const double n = kLat + 0.1;
    const double e = kLon + 0.1;
    airspace.points = {{kCentre, kLat, kLon, 0},           {kMoveTo, n, kLon, 0},
                       {kClockwiseArc, kLat, e, 0},        {kLineTo, kLat, e + 0.1, 0},
                       {kCounterClockwiseArc, n, kLon, 0}, {7, 1.0, 1.0, 0}};
    t.airport.airspaces = {airspace};
    Draw();
    const auto px = [this](double lat, double lon) {
        const ScopePoint p = ProjectToScope(t.view, lat, lon);
        return std::vector<int32_t>{p.x, p.y};
    };
    const auto& calls = surface.calls();
    ASSERT_EQ(calls.size(), 8U);
    EXPECT_EQ(calls[1].op, DrawOp::MoveToEx);
    EXPECT_EQ(calls[1].args, px(n, kLon));
    // Clockwise from north to east: drawn counter-clockwise from east to north.
    EXPECT_EQ(calls[2].op, DrawOp::Arc);
    const std::vector<int32_t> arc1(calls[2].args.begin() + 4, calls[2].args.end());
    std::vector<int32_t> expected = px(kLat, e);
    const auto north = px(n, kLon);
    expected.insert(expected.end(), north.begin(), north.end());
    EXPECT_EQ(arc1, expected);
    EXPECT_EQ(calls[3].args, px(kLat, e));  // MoveToEx to the arc's end
    EXPECT_EQ(calls[4].op, DrawOp::LineTo);
    EXPECT_EQ(calls[5].op, DrawOp::MoveToEx);
    // Counter-clockwise from the line's end to north: start at the last position.
    EXPECT_EQ(calls[6].op, DrawOp::Arc);
    const std::vector<int32_t> arc2(calls[6].args.begin() + 4, calls[6].args.begin() + 6);
    EXPECT_EQ(arc2, px(kLat, e + 0.1));
    EXPECT_EQ(calls[7].args, north);
}

TEST_F(AirspaceLayerTest, CentreAndLastPositionCarryOverToTheNextAirspace) {
    AirspaceRecord first = Ring("Airspace Class B", kLat, kLon, 5);
    first.points.push_back({kMoveTo, kLat + 0.2, kLon, 0});
    AirspaceRecord second;
    second.typeName = "Airspace Class C";
    second.latitude = kLat + 1.0;
    second.longitude = kLon + 1.0;
    second.points = {{kCounterClockwiseArc, kLat, kLon + 0.2, 0}};
    t.airport.airspaces = {first, second};
    Draw();
    const auto arcs = surface.CallsOf(DrawOp::Arc);
    ASSERT_EQ(arcs.size(), 1U);
    // Radius 12 nm about the first airspace's centre, from its last position.
    const GeoPoint corner = DestinationNm(kLat, kLon, 315, 17);
    const ScopePoint pc = ProjectToScope(t.view, corner.latitude, corner.longitude);
    const ScopePoint last = ProjectToScope(t.view, kLat + 0.2, kLon);
    EXPECT_EQ(arcs[0].args[0], pc.x);
    EXPECT_EQ(arcs[0].args[1], pc.y);
    EXPECT_EQ(arcs[0].args[4], last.x);
    EXPECT_EQ(arcs[0].args[5], last.y);
}

}  // namespace
}  // namespace scopewatch
