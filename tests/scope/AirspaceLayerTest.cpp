#include <gtest/gtest.h>

#include "ScopeTestScene.h"
#include "geo/Geodesy.h"
#include "scope/AirspaceLayer.h"
#include "scope/ScopeColours.h"
#include "support/RecordingSurface.h"

namespace scopewatch {
namespace {

using namespace testing;

// Two pixel positions in one list, as boxes and arcs take them.
Args Joined(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class AirspaceLayerTest : public ::testing::Test {
  protected:
    void Draw() {
        surface.Clear();
        DrawAirspaces(surface, t.view, t.airport.airspaces, t.selection);
        EXPECT_EQ(surface.State(), DrawingState{});
    }
    // The colours of the reference-point dots, in drawing order.
    std::vector<GdiColor> DotColours() const {
        std::vector<GdiColor> colours;
        for (const DrawCall& call : surface.CallsOf(DrawOp::Ellipse)) {
            if (call.state.fillStyle == kSolidFill) {
                colours.push_back(call.state.foreColor);
            }
        }
        return colours;
    }

    ScopeTestScene t{9};
    RecordingSurface surface;
};

// Pens follow the type: ARTCC/FIR solid and wide, Class B and C dashed, others solid. A
// circle of radius zero is drawn with one mile and keeps it. The selection turns the dots of
// the airspaces on its reference point yellow, a Class D only with a neighbour there.
TEST_F(AirspaceLayerTest, PensFollowTheTypeZeroRadiusIsOneMileSelectionTurnsDotsYellow) {
    t.airport.airspaces = {AirspaceAt("ARTCC/FIR", kLat, kLon, 60),
                           AirspaceAt("Airspace Class B", kLat, kLon, 10),
                           AirspaceAt("Airspace Class C", kLat, kLon, 8),
                           AirspaceAt("TRACON (Departure/Approach)", kLat, kLon, 20)};
    Draw();
    std::vector<std::pair<int16_t, LineStyle>> pens;
    for (const DrawCall& call : surface.CallsOf(DrawOp::Ellipse)) {
        if (call.state.fillStyle == kTransparentFill) {
            pens.emplace_back(call.state.drawWidth, call.state.drawStyle);
        }
    }
    EXPECT_EQ(pens, (std::vector<std::pair<int16_t, LineStyle>>{
                        {4, kSolidLine}, {1, kDashedLine}, {1, kDashedLine}, {1, kSolidLine}}));

    t.airport.airspaces = {AirspaceAt("Airspace Class B", kLat, kLon, 0)};
    Draw();
    EXPECT_EQ(t.airport.airspaces[0].points[1].radius, 1);
    const Args box =
        Joined(t.At(DestinationNm(kLat, kLon, 315, 1)), t.At(DestinationNm(kLat, kLon, 135, 1)));
    EXPECT_EQ(surface.CallsOf(DrawOp::Ellipse).at(1).args, box);
    EXPECT_LT(box[0], box[2]);

    t.airport.airspaces = {AirspaceAt("Airspace Class D", kLat, kLon, 5),
                           AirspaceAt("TRACON (Departure/Approach)", kLat, kLon, 20),
                           AirspaceAt("Airspace Class C", kLat + 0.1, kLon, 10)};
    Draw();
    EXPECT_EQ(DotColours(), (std::vector<GdiColor>{kCyan, kCyan}));
    // The Class C stays cyan; the TRACON and the Class D on its reference point turn yellow.
    t.selection = {kSelectedAirspaceMarker, "TRACON (Departure/Approach)", kLat, kLon};
    Draw();
    EXPECT_EQ(DotColours(), (std::vector<GdiColor>{kCyan, kYellow, kYellow}));
    t.airport.airspaces = {AirspaceAt("Airspace Class B", kLat, kLon, 10),
                           AirspaceAt("TRACON (Departure/Approach)", kLat, kLon, 20)};
    t.selection = {kSelectedAirspaceMarker, "Airspace Class B", kLat, kLon};
    Draw();
    EXPECT_EQ(DotColours(), (std::vector<GdiColor>{kYellow, kYellow}));
}

// A boundary moves, draws lines and arcs both ways and skips unknown steps. The centre and the
// last position carry over to the next airspace: an arc there is drawn about the first
// airspace's centre, from its last position.
TEST_F(AirspaceLayerTest, BoundaryMovesLinesAndArcsBothWaysAndCarriesOver) {
    const double n = kLat + 0.1;
    const double e = kLon + 0.1;
    AirspaceRecord airspace = AirspaceAt("Airspace Class B", kLat, kLon);
    airspace.points = {{kCentre, kLat, kLon, 0},           {kMoveTo, n, kLon, 0},
                       {kClockwiseArc, kLat, e, 0},        {kLineTo, kLat, e + 0.1, 0},
                       {kCounterClockwiseArc, n, kLon, 0}, {7, 1.0, 1.0, 0}};
    t.airport.airspaces = {airspace};
    Draw();
    const auto& calls = surface.calls();
    ASSERT_EQ(calls.size(), 8U);
    const auto ends = [&](size_t i) {
        return Args(calls[i].args.begin() + 4, calls[i].args.end());
    };
    EXPECT_EQ(calls[1].args, t.At(n, kLon));  // MoveToEx
    // Clockwise from north to east: counter-clockwise from the point to the last position.
    EXPECT_EQ(ends(2), Joined(t.At(kLat, e), t.At(n, kLon)));
    EXPECT_EQ(calls[3].args, t.At(kLat, e));  // MoveToEx to the arc's end
    EXPECT_EQ(calls[4].op, DrawOp::LineTo);
    EXPECT_EQ(calls[5].op, DrawOp::MoveToEx);
    // Counter-clockwise from the line's end to north: from the last position to the point.
    EXPECT_EQ(ends(6), Joined(t.At(kLat, e + 0.1), t.At(n, kLon)));
    EXPECT_EQ(calls[7].args, t.At(n, kLon));

    AirspaceRecord first = AirspaceAt("Airspace Class B", kLat, kLon, 5);
    first.points.push_back({kMoveTo, kLat + 0.2, kLon, 0});
    AirspaceRecord second = AirspaceAt("Airspace Class C", kLat + 1.0, kLon + 1.0);
    second.points = {{kCounterClockwiseArc, kLat, kLon + 0.2, 0}};
    t.airport.airspaces = {first, second};
    Draw();
    // 12 nm about the first airspace's centre: the box's corner 17 nm out.
    const Args arc = surface.CallsOf(DrawOp::Arc).at(0).args;
    EXPECT_EQ(Args(arc.begin(), arc.begin() + 2), t.At(DestinationNm(kLat, kLon, 315, 17)));
    EXPECT_EQ(Args(arc.begin() + 4, arc.begin() + 6), t.At(kLat + 0.2, kLon));
}

}  // namespace
}  // namespace scopewatch
