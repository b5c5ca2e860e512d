#include <gtest/gtest.h>

#include "ScopeTestScene.h"
#include "scope/AirportLayers.h"
#include "scope/Geodesy.h"
#include "scope/RecordingSurface.h"
#include "scope/ScopeColours.h"

namespace scopewatch {
namespace {

using testing::ScopeTestScene;
using Args = std::vector<int32_t>;

Args At(const ScopeView& view, double lat, double lon) {
    const ScopePoint p = ProjectToScope(view, lat, lon);
    return {p.x, p.y};
}

TEST(AirportLayersTest, ParkingDotsDependOnTheWidthOnly) {
    for (const int16_t level : {13, 18}) {
        ScopeTestScene t(level);
        RecordingSurface surface;
        DrawParkings(surface, t.scene());
        const ParkingRecord& gate = t.airport.currentAirport.parkings[0];
        const Args p = At(t.view, gate.latitude, gate.longitude);
        ASSERT_EQ(surface.calls().size(), 1U);
        EXPECT_EQ(surface.calls()[0].args, (Args{p[0] - 20, p[1] + 20, p[0] + 20, p[1] - 20}));
        EXPECT_EQ(surface.calls()[0].state.fillStyle, kSolidFill);
        EXPECT_EQ(surface.calls()[0].state.fillColor, kBrown);
    }
}

TEST(AirportLayersTest, OnlyNamedTaxiSegmentsAreLabelledAtTheirMiddle) {
    ScopeTestScene t(15);
    RecordingSurface surface;
    DrawTaxiways(surface, t.scene());
    EXPECT_EQ(surface.CallsOf(DrawOp::LineTo).size(), 4U);
    const auto labels = surface.CallsOf(DrawOp::TextOutA);
    ASSERT_EQ(labels.size(), 1U);
    EXPECT_EQ(labels[0].text, "A");
    EXPECT_EQ(labels[0].state.foreColor, kWhite);
    const auto& points = t.airport.currentAirport.taxiPoints;
    const Args a = At(t.view, points[0].latitude, points[0].longitude);
    const Args b = At(t.view, points[1].latitude, points[1].longitude);
    EXPECT_NEAR(labels[0].args[0], (a[0] + b[0]) / 2, 2);
    EXPECT_NEAR(labels[0].args[1], (a[1] + b[1]) / 2, 2);

    t.flags.showTaxiwayIds = kFalse16;
    surface.Clear();
    DrawTaxiways(surface, t.scene());
    EXPECT_TRUE(surface.Texts().empty());
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
    ASSERT_EQ(surface.calls().size(), 2U);
    EXPECT_EQ(surface.calls()[1].args, At(t.view, a.parkings[0].latitude, a.parkings[0].longitude));
}

// The apex and the two far corners of the single ILS cone drawn, checking that it closes.
std::vector<Args> ConeOf(const RecordingSurface& surface) {
    const auto moves = surface.CallsOf(DrawOp::MoveToEx);
    const auto lines = surface.CallsOf(DrawOp::LineTo);
    EXPECT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[2].args, moves[0].args);
    EXPECT_EQ(lines[2].state.foreColor, kYellow);
    return {moves[0].args, lines[0].args, lines[1].args};
}

TEST(AirportLayersTest, IlsConeOpensOutwardsAlongTheApproach) {
    ScopeTestScene t(17);
    RecordingSurface surface;
    DrawIlsCones(surface, t.scene());
    const auto cone = ConeOf(surface);
    // Course 270 at the east end: 1800 ft out on 85 and 95 degrees true.
    const IlsRecord& ils = t.airport.currentAirport.ilsList[0];
    const GeoPoint a = DestinationFt(ils.latitude, ils.longitude, 85, 1800);
    const GeoPoint b = DestinationFt(ils.latitude, ils.longitude, 95, 1800);
    EXPECT_EQ(cone[1], At(t.view, a.latitude, a.longitude));
    EXPECT_EQ(cone[2], At(t.view, b.latitude, b.longitude));
    EXPECT_GT(cone[1][0], cone[0][0] + 20);
}

TEST(AirportLayersTest, IlsCourseOfThreeSixtyHasBackCourseOneEighty) {
    ScopeTestScene t(17);
    IlsRecord& ils = t.airport.currentAirport.ilsList[0];
    ils.magHeading = 350;
    t.SetVariation(ils.latitude, ils.longitude, 10);
    RecordingSurface surface;
    DrawIlsCones(surface, t.scene());
    const auto cone = ConeOf(surface);
    EXPECT_GT(cone[1][1], cone[0][1] + 20);  // both corners south of the antenna
    EXPECT_GT(cone[2][1], cone[0][1] + 20);
    EXPECT_GT(cone[1][0], cone[0][0]);  // 175 degrees: a little east
    EXPECT_LT(cone[2][0], cone[0][0]);  // 185 degrees: a little west
}

}  // namespace
}  // namespace scopewatch
