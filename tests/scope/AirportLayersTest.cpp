#include <gtest/gtest.h>

#include "ScopeTestScene.h"
#include "geo/Geodesy.h"
#include "scope/AirportLayers.h"
#include "scope/ScopeColours.h"
#include "support/RecordingSurface.h"

namespace scopewatch {
namespace {

using namespace testing;

class AirportLayersTest : public ::testing::Test {
  protected:
    // The apex and the two far corners of the single ILS cone drawn, checking that it closes.
    std::vector<Args> DrawCone() {
        surface.Clear();
        DrawIlsCones(surface, t.scene());
        const auto moves = surface.CallsOf(DrawOp::MoveToEx);
        const auto lines = surface.CallsOf(DrawOp::LineTo);
        EXPECT_EQ(lines.size(), 3U);
        EXPECT_EQ(lines[2].args, moves[0].args);
        EXPECT_EQ(lines[2].state.foreColor, kYellow);
        return {moves[0].args, lines[0].args, lines[1].args};
    }

    ScopeTestScene t{15};
    RecordingSurface surface;
};

// A parking's dot depends on the width only. Found by fuzzing the database reader: a parking
// at an absurd position projected to the largest pixel value, and its dot's corners overflowed.
TEST_F(AirportLayersTest, ParkingDotsDependOnTheWidthOnlyAndStayFarOutsideWhenAbsurd) {
    const auto expectDotAround = [&](const Args& p) {
        surface.Clear();
        DrawParkings(surface, t.scene());
        ASSERT_EQ(surface.calls().size(), 1U);
        EXPECT_EQ(surface.calls()[0].args, (Args{p[0] - 20, p[1] + 20, p[0] + 20, p[1] - 20}));
        EXPECT_EQ(surface.calls()[0].state.fillStyle, kSolidFill);
        EXPECT_EQ(surface.calls()[0].state.fillColor, kBrown);
    };
    ParkingRecord& gate = t.airport.currentAirport.parkings[0];
    for (const int16_t level : {13, 18}) {
        t.SetZoom(level);
        expectDotAround(t.At(gate.latitude, gate.longitude));
    }
    gate.latitude = gate.longitude = 1.0e300;
    expectDotAround({1 << 30, -(1 << 30)});
}

// Taxiways draw every segment and label the named ones in white at their middle unless the
// flag is off; segments end at parkings, and bad indices and kinds are skipped.
TEST_F(AirportLayersTest, TaxiwaysLabelNamedSegmentsEndAtParkingsAndSkipBadIndices) {
    DrawTaxiways(surface, t.scene());
    EXPECT_EQ(surface.CallsOf(DrawOp::LineTo).size(), 4U);
    const auto labels = surface.CallsOf(DrawOp::TextOutA);
    ASSERT_EQ(labels.size(), 1U);
    EXPECT_EQ(labels[0].text, "A");
    EXPECT_EQ(labels[0].state.foreColor, kWhite);
    const Args middle = t.At(kLat + 0.002, kLon);  // between taxi points 0 and 1
    EXPECT_NEAR(labels[0].args[0], middle[0], 2);
    EXPECT_NEAR(labels[0].args[1], middle[1], 2);
    t.flags.showTaxiwayIds = kFalse16;
    surface.Clear();
    DrawTaxiways(surface, t.scene());
    EXPECT_TRUE(surface.Texts().empty());

    auto& a = t.airport.currentAirport;
    a.taxiSegments = {{kTaxiToParking, 2, 0, ""},
                      {kTaxiToTaxi, 0, 7, "X"},
                      {kTaxiToParking, -1, 0, ""},
                      {9, 0, 1, ""}};
    surface.Clear();
    DrawTaxiways(surface, t.scene());
    ASSERT_EQ(surface.calls().size(), 2U);
    EXPECT_EQ(surface.calls()[1].args, t.At(a.parkings[0].latitude, a.parkings[0].longitude));
}

// The yellow ILS cone opens outwards along the approach from the antenna and closes.
TEST_F(AirportLayersTest, IlsConeOpensOutwardsAlongTheApproach) {
    t.SetZoom(17);
    auto cone = DrawCone();
    // Course 270 at the east end: 1800 ft out on 85 and 95 degrees true.
    IlsRecord& ils = t.airport.currentAirport.ilsList[0];
    EXPECT_EQ(cone[1], t.At(DestinationFt(ils.latitude, ils.longitude, 85, 1800)));
    EXPECT_EQ(cone[2], t.At(DestinationFt(ils.latitude, ils.longitude, 95, 1800)));
    EXPECT_GT(cone[1][0], cone[0][0] + 20);

    // Magnetic 350 with 10 degrees east is a course of 360, whose back course is 180.
    ils.magHeading = 350;
    t.SetVariation(ils.latitude, ils.longitude, 10);
    cone = DrawCone();
    EXPECT_GT(cone[1][1], cone[0][1] + 20);  // both corners south of the antenna
    EXPECT_GT(cone[2][1], cone[0][1] + 20);
    EXPECT_GT(cone[1][0], cone[0][0]);  // 175 degrees: a little east
    EXPECT_LT(cone[2][0], cone[0][0]);  // 185 degrees: a little west
}

}  // namespace
}  // namespace scopewatch
