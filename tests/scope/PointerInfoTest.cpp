#include <gtest/gtest.h>

#include "ScopeTestScene.h"
#include "scope/PointerInfo.h"
#include "scope/ScopeColours.h"
#include "support/RecordingSurface.h"

namespace scopewatch {
namespace {

using namespace testing;

class PointerInfoTest : public ::testing::Test {
  protected:
    // The pointer dx, dy pixels away from a position.
    HoverInfo HoverNear(double lat, double lon, int dx = 0, int dy = 0) {
        const ScopePoint p = ProjectToScope(t.view, lat, lon);
        return HoverInfoAt(t.scene(), PointerAt(t.view, p.x + dx, p.y + dy));
    }

    ScopeTestScene t{9};
};

// An airspace's text names it and swaps limits given the wrong way round, and pointing at it
// selects it; with both limits 0 and no frequency there is no "FROM: " part. The later of two
// airspaces wins, a Class D is never pointed at, and airspaces only count below level 13 with
// their flag on.
TEST_F(PointerInfoTest, AirspaceTextSelectsItLaterOneWinsClassDNeverOnlyBelowLevelThirteen) {
    AirspaceRecord fir = AirspaceAt("ARTCC/FIR", kLat + 0.2, kLon);
    fir.fullName = "NEW YORK CENTER";
    fir.frequencyText = "127.5 Mhz  ";
    fir.floorFt = 5000;
    fir.ceilingFt = 1000;
    t.airport.airspaces = {fir, AirspaceAt("Airspace Class B", kLat, kLon)};
    const HoverInfo info = HoverNear(kLat + 0.2, kLon, 3, -4);
    EXPECT_EQ(info.text,
              "AIRSPACE FULLNAME: NEW YORK CENTER  AIRSPACE TYPE: ARTCC/FIR  AIRSPACE FREQUENCY: "
              "127.5 Mhz  FROM: 1000 ft  TO: 5000 ft");
    EXPECT_EQ(info.selection,
              (SelectedAirspace{"Current Selected Airspace", "ARTCC/FIR", kLat + 0.2, kLon}));
    EXPECT_EQ(HoverNear(kLat, kLon).text, "  AIRSPACE TYPE: Airspace Class B  ");

    t.airport.airspaces = {AirspaceAt("Airspace Class B", kLat, kLon),
                           AirspaceAt("Airspace Class C", kLat + 0.001, kLon),
                           AirspaceAt("Airspace Class D", kLat + 0.1, kLon)};
    EXPECT_EQ(HoverNear(kLat, kLon).selection.TypeText, "Airspace Class C");
    const HoverInfo classD = HoverNear(kLat + 0.1, kLon);
    EXPECT_EQ(classD.text, "");
    EXPECT_FALSE(classD.selection.Exists());
    t.flags.showAirspaces = kFalse16;
    EXPECT_EQ(HoverNear(kLat, kLon).text, "");
    t.flags.showAirspaces = kTrue16;
    t.SetZoom(13);
    EXPECT_EQ(HoverNear(kLat + 0.001, kLon - 0.02).text, "");
}

// Players are pointed at on every level, within a hundredth of the width.
TEST_F(PointerInfoTest, PlayersAtEveryLevelWithTheirSmallerTolerance) {
    t.traffic.trafficCount = 1;
    t.traffic.trafficTable[1] = {"Pilot7", 3500, 270.0, kLon, kLat + 0.1, "Jet Plane", "Boeing"};
    const std::string text =
        "Player: Pilot7  Heading: 270  Altitude: 3500 ft  Distance: 6 nm  Type Plane: Jet Plane";
    EXPECT_EQ(HoverNear(kLat + 0.1, kLon).text, text);
    t.SetZoom(16);
    EXPECT_EQ(HoverNear(kLat + 0.1, kLon, 10, 0).text, text);  // a hundredth of the width
    EXPECT_EQ(HoverNear(kLat + 0.1, kLon, 0, 11).text, "");
}

// Surface objects count from level 13, the last hit winning: the ILS antenna on the far end
// over the runway end, a runway end over a parking beside it. Labels are upper-cased across
// Windows-1252 ("\xE9" is e-acute, "\xFF" y-diaeresis, "\xDF" sharp s). The tolerance is the
// rounded pixel distance, 20 for a parking at level 14, and a layer whose flag is off is not
// pointed at.
TEST_F(PointerInfoTest, SurfaceObjectsFromLevelThirteenLastHitWinsWithinTheRoundedTolerance) {
    ParkingRecord& gate = t.airport.currentAirport.parkings[0];
    const std::string gateText = "GATE A 1  Radius: 20 ft";
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude).text, "");  // level 9
    t.SetZoom(12);
    EXPECT_EQ(HoverNear(kLat, kLon - 0.01).text, "");
    t.SetZoom(14);
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude, 20, 0).text, gateText);
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude, 0, -21).text, "");
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude, -14, 14).text, gateText);  // 19.8
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude, 14, 15).text, "");         // 20.5
    t.flags.showParkings = kFalse16;
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude).text, "");
    t.flags.showParkings = kTrue16;
    t.SetZoom(13);
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude).text, gateText);
    EXPECT_EQ(HoverNear(kLat, kLon - 0.01).text,
              "Runway: 09  Heading: 90  Altitude: 100 ft  Lenght: 5500 ft  Width: 150 ft");
    EXPECT_EQ(HoverNear(kLat, kLon + 0.01).text, "ILS: ITST  Heading: 270  Frequency: 110.5 Mhz");
    t.flags.showIls = kFalse16;
    EXPECT_EQ(HoverNear(kLat, kLon + 0.01).text,
              "Runway: 27  Heading: 270  Altitude: 100 ft  Lenght: 5500 ft  Width: 150 ft");
    gate.label = "gate \xE9t\xE9 \xFF \xDF \xB5";
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude).text.substr(0, 14),
              "GATE \xC9T\xC9 \x9F \xDF \xB5");
    gate = {"p", kLat + 0.0001, kLon - 0.01, 0};
    EXPECT_EQ(HoverNear(kLat, kLon - 0.01).text.substr(0, 10), "Runway: 09");
}

// A measuring line of zero length is a dotted green line with the distance and the magnetic
// course in white at its start, and the scope is painted over it.
TEST_F(PointerInfoTest, MeasuringLineOfZeroLengthShowsTheMagneticCourse) {
    t.SetZoom(14);
    t.SetVariation(kLat, kLon, 10);
    t.view.DragAnchorLat = kLat;
    t.view.DragAnchorLon = kLon;
    RecordingSurface surface;
    DrawMeasuringLine(surface, t.scene(), {static_cast<float>(kLon), static_cast<float>(kLat)});
    const auto& calls = surface.calls();
    EXPECT_EQ(calls[0].op, DrawOp::Cls);
    EXPECT_EQ(calls[2].op, DrawOp::LineTo);
    EXPECT_EQ(calls[1].args, calls[2].args);
    EXPECT_EQ(calls[2].state.drawStyle, kDottedLine);
    EXPECT_EQ(calls[2].state.foreColor, kScopeGreen);
    EXPECT_EQ(calls[3].text, "Dist: 0 nm  Course: 350 *");
    EXPECT_EQ(calls[3].args, calls[1].args);
    EXPECT_EQ(calls[3].state.foreColor, kWhite);
    EXPECT_EQ(surface.Texts().back(), "Test Field");
    EXPECT_EQ(surface.State(), DrawingState{});
}

}  // namespace
}  // namespace scopewatch
