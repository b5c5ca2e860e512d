#include <gtest/gtest.h>

#include "ScopeTestScene.h"
#include "scope/AirportLayers.h"
#include "scope/Geodesy.h"
#include "scope/RecordingSurface.h"
#include "scope/ScopeColours.h"

namespace scopewatch {
namespace {

using testing::ScopeTestScene;

std::vector<int32_t> Box(ScopePoint p, int32_t r) {
    return {p.x - r, p.y + r, p.x + r, p.y - r};
}

TEST(AirportLayersTest, ParkingDotsDependOnTheWidthOnly) {
    for (const int16_t level : {13, 18}) {
        ScopeTestScene t(level);
        RecordingSurface surface;
        DrawParkings(surface, t.scene());
        const auto dots = surface.CallsOf(DrawOp::Ellipse);
        ASSERT_EQ(dots.size(), 1U);
        const ParkingRecord& gate = t.airport.currentAirport.parkings[0];
        EXPECT_EQ(dots[0].args, Box(ProjectToScope(t.view, gate.latitude, gate.longitude), 20));
        EXPECT_EQ(dots[0].state.fillStyle, kSolidFill);
        EXPECT_EQ(dots[0].state.fillColor, kBrown);
        EXPECT_EQ(surface.State(), DrawingState{});
    }
}

TEST(AirportLayersTest, TaxiwayLabelsOnlyForNamedTaxiSegments) {
    ScopeTestScene t(15);
    RecordingSurface surface;
    DrawTaxiways(surface, t.scene());
    EXPECT_EQ(surface.CallsOf(DrawOp::LineTo).size(), 4U);
    EXPECT_EQ(surface.Texts(), std::vector<std::string>{"A"});
    for (const DrawCall& call : surface.CallsOf(DrawOp::LineTo)) {
        EXPECT_EQ(call.state.foreColor, kGrey);
        EXPECT_EQ(call.state.drawWidth, 2);
    }

    t.flags.showTaxiwayIds = kFalse16;
    surface.Clear();
    DrawTaxiways(surface, t.scene());
    EXPECT_TRUE(surface.Texts().empty());
}

TEST(AirportLayersTest, TaxiwayLabelSitsAtTheSegmentsMiddle) {
    ScopeTestScene t(15);
    RecordingSurface surface;
    DrawTaxiways(surface, t.scene());
    const auto labels = surface.CallsOf(DrawOp::TextOutA);
    ASSERT_EQ(labels.size(), 1U);
    const auto& points = t.airport.currentAirport.taxiPoints;
    const ScopePoint a = ProjectToScope(t.view, points[0].latitude, points[0].longitude);
    const ScopePoint b = ProjectToScope(t.view, points[1].latitude, points[1].longitude);
    EXPECT_NEAR(labels[0].args[0], (a.x + b.x) / 2, 2);
    EXPECT_NEAR(labels[0].args[1], (a.y + b.y) / 2, 2);
    EXPECT_EQ(labels[0].state.foreColor, kWhite);
}

TEST(AirportLayersTest, ParkingSegmentsEndAtTheParkingAndBadIndicesAreLeftOut) {
    ScopeTestScene t(15);
    auto& a = t.airport.currentAirport;
    a.taxiSegments = {{kTaxiToParking, 2, 0, ""},
                      {kTaxiToTaxi, 0, 7, "X"},
                      {kTaxiToParking, -1, 0, ""},
                      {9, 0, 1, ""}};
    RecordingSurface surface;
    DrawTaxiways(surface, t.scene());
    const auto lines = surface.CallsOf(DrawOp::LineTo);
    ASSERT_EQ(lines.size(), 1U);
    const ScopePoint gate = ProjectToScope(t.view, a.parkings[0].latitude, a.parkings[0].longitude);
    EXPECT_EQ(lines[0].args, (std::vector<int32_t>{gate.x, gate.y}));
}

TEST(AirportLayersTest, RunwaysAreGreenLinesWithDesignatorsAtTheEnds) {
    ScopeTestScene t(14);
    RecordingSurface surface;
    DrawRunways(surface, t.scene());
    const RunwayRecord& r = t.airport.currentAirport.runways[0];
    const ScopePoint p1 = ProjectToScope(t.view, r.end1Latitude, r.end1Longitude);
    const ScopePoint p2 = ProjectToScope(t.view, r.end2Latitude, r.end2Longitude);
    const auto& calls = surface.calls();
    ASSERT_EQ(calls.size(), 4U);
    EXPECT_EQ(calls[0].args, (std::vector<int32_t>{p1.x, p1.y}));
    EXPECT_EQ(calls[1].args, (std::vector<int32_t>{p2.x, p2.y}));
    EXPECT_EQ(calls[1].state.drawWidth, 2);
    EXPECT_EQ(calls[1].state.foreColor, kScopeGreen);
    EXPECT_EQ(calls[2].text, "09");
    EXPECT_EQ(calls[2].args, (std::vector<int32_t>{p1.x, p1.y}));
    EXPECT_EQ(calls[3].text, "27");
    EXPECT_EQ(calls[3].args, (std::vector<int32_t>{p2.x, p2.y}));
}

// The cone of an ILS: three closed lines from the antenna to two points 1800 ft out,
// 5 degrees either side of the back course.
struct Cone {
    ScopePoint apex, a, b;
};

Cone ConeOf(const RecordingSurface& surface) {
    const auto moves = surface.CallsOf(DrawOp::MoveToEx);
    const auto lines = surface.CallsOf(DrawOp::LineTo);
    EXPECT_EQ(moves.size(), 3U);
    EXPECT_EQ(lines.size(), 3U);
    const ScopePoint apex{moves[0].args[0], moves[0].args[1]};
    const ScopePoint a{lines[0].args[0], lines[0].args[1]};
    const ScopePoint b{lines[1].args[0], lines[1].args[1]};
    EXPECT_EQ(lines[2].args, (std::vector<int32_t>{apex.x, apex.y}));
    return {apex, a, b};
}

TEST(AirportLayersTest, IlsConeOpensAlongTheApproach) {
    ScopeTestScene t(17);
    RecordingSurface surface;
    DrawIlsCones(surface, t.scene());
    const Cone cone = ConeOf(surface);
    // Localizer course 270 at the east end: the approach comes from the east.
    EXPECT_GT(cone.a.x, cone.apex.x + 20);
    EXPECT_GT(cone.b.x, cone.apex.x + 20);
    EXPECT_LT(cone.a.y, cone.apex.y);  // 85 degrees: a little north
    EXPECT_GT(cone.b.y, cone.apex.y);  // 95 degrees: a little south
    const IlsRecord& ils = t.airport.currentAirport.ilsList[0];
    const GeoPoint far = DestinationFt(ils.latitude, ils.longitude, 85, 1800);
    EXPECT_EQ(cone.a, ProjectToScope(t.view, far.latitude, far.longitude));
    EXPECT_EQ(surface.calls()[1].state.foreColor, kYellow);
    EXPECT_EQ(surface.calls()[1].state.drawWidth, 1);
}

TEST(AirportLayersTest, IlsCourseOfThreeSixtyHasBackCourseOneEighty) {
    ScopeTestScene t(17);
    IlsRecord& ils = t.airport.currentAirport.ilsList[0];
    ils.magHeading = 350;
    t.SetVariation(ils.latitude, ils.longitude, 10);
    RecordingSurface surface;
    DrawIlsCones(surface, t.scene());
    const Cone cone = ConeOf(surface);
    EXPECT_GT(cone.a.y, cone.apex.y + 20);  // south of the antenna
    EXPECT_GT(cone.b.y, cone.apex.y + 20);
    EXPECT_GT(cone.a.x, cone.apex.x);  // 175 degrees: a little east
    EXPECT_LT(cone.b.x, cone.apex.x);  // 185 degrees: a little west
}

TEST(AirportLayersTest, AirportNameInWhiteAtTheReferencePoint) {
    ScopeTestScene t(5);
    RecordingSurface surface;
    DrawAirportName(surface, t.scene());
    ASSERT_EQ(surface.calls().size(), 1U);
    EXPECT_EQ(surface.calls()[0].text, "Test Field");
    EXPECT_EQ(surface.calls()[0].args, (std::vector<int32_t>{500, 400}));
    EXPECT_EQ(surface.calls()[0].state.foreColor, kWhite);
}

TEST(AirportLayersTest, EmptyAirportDrawsNothing) {
    ScopeTestScene t(15);
    t.airport.currentAirport = AirportRecord{};
    RecordingSurface surface;
    DrawParkings(surface, t.scene());
    DrawTaxiways(surface, t.scene());
    DrawRunways(surface, t.scene());
    DrawIlsCones(surface, t.scene());
    EXPECT_TRUE(surface.calls().empty());
}

}  // namespace
}  // namespace scopewatch
