#include <gtest/gtest.h>

#include "ScopeTestScene.h"
#include "scope/PointerInfo.h"
#include "scope/RecordingSurface.h"
#include "scope/ScopeColours.h"

namespace scopewatch {
namespace {

using testing::ScopeTestScene;
constexpr double kLat = ScopeTestScene::kLat;
constexpr double kLon = ScopeTestScene::kLon;

AirspaceRecord Airspace(const std::string& type, double lat, double lon) {
    AirspaceRecord airspace;
    airspace.typeName = type;
    airspace.latitude = lat;
    airspace.longitude = lon;
    return airspace;
}

class PointerInfoTest : public ::testing::Test {
  protected:
    // The pointer dx, dy pixels away from a position.
    HoverInfo HoverNear(double lat, double lon, int dx = 0, int dy = 0) {
        const ScopePoint p = ProjectToScope(t.view, lat, lon);
        const PointerPosition pointer = PointerAt(t.view, p.x + dx, p.y + dy);
        EXPECT_EQ(ProjectToScope(t.view, pointer.latitude, pointer.longitude),
                  (ScopePoint{p.x + dx, p.y + dy}));
        return HoverInfoAt(t.scene(), pointer);
    }

    ScopeTestScene t{9};
};

TEST_F(PointerInfoTest, AirspaceTextWithSwappedLimitsSelectsIt) {
    AirspaceRecord fir = Airspace("ARTCC/FIR", kLat + 0.2, kLon);
    fir.fullName = "NEW YORK CENTER";
    fir.frequencyText = "127.5 Mhz  ";
    fir.floorFt = 5000;
    fir.ceilingFt = 1000;
    t.airport.airspaces = {fir};
    const HoverInfo info = HoverNear(kLat + 0.2, kLon, 3, -4);
    EXPECT_EQ(info.text,
              "AIRSPACE FULLNAME: NEW YORK CENTER  AIRSPACE TYPE: ARTCC/FIR  AIRSPACE FREQUENCY: "
              "127.5 Mhz  FROM: 1000 ft  TO: 5000 ft");
    EXPECT_EQ(info.selection,
              (SelectedAirspace{"Current Selected Airspace", "ARTCC/FIR", kLat + 0.2, kLon}));
}

TEST_F(PointerInfoTest, AirspaceWithoutLimitsOrFrequency) {
    t.airport.airspaces = {Airspace("Airspace Class B", kLat, kLon)};
    EXPECT_EQ(HoverNear(kLat, kLon).text, "  AIRSPACE TYPE: Airspace Class B  ");
}

TEST_F(PointerInfoTest, ClassDReferencePointGivesNothing) {
    t.airport.airspaces = {Airspace("Airspace Class D", kLat, kLon)};
    const HoverInfo info = HoverNear(kLat, kLon);
    EXPECT_EQ(info.text, "");
    EXPECT_FALSE(info.selection.Exists());
}

TEST_F(PointerInfoTest, LaterAirspaceWinsAndAirspacesOnlyBelowLevelThirteen) {
    t.airport.airspaces = {Airspace("Airspace Class B", kLat, kLon),
                           Airspace("Airspace Class C", kLat + 0.001, kLon)};
    const HoverInfo info = HoverNear(kLat, kLon);
    EXPECT_EQ(info.selection.TypeText, "Airspace Class C");
    EXPECT_EQ(info.selection.RefLat, kLat + 0.001);

    t.flags.showAirspaces = kFalse16;
    EXPECT_EQ(HoverNear(kLat, kLon).text, "");
    t.flags.showAirspaces = kTrue16;
    t.SetZoom(13);
    EXPECT_EQ(HoverNear(kLat + 0.001, kLon - 0.02).text, "");
}

TEST_F(PointerInfoTest, PlayersAtEveryLevelWithDistanceToTheAirport) {
    t.traffic.trafficCount = 1;
    TrafficRecord& pilot = t.traffic.trafficTable[1];
    pilot = {"Pilot7", 3500, 270.0, kLon, kLat + 0.1, "Jet Plane", "Boeing"};
    const std::string text =
        "Player: Pilot7  Heading: 270  Altitude: 3500 ft  Distance: 6 nm  Type Plane: Jet Plane";
    EXPECT_EQ(HoverNear(kLat + 0.1, kLon).text, text);
    t.SetZoom(16);
    EXPECT_EQ(HoverNear(kLat + 0.1, kLon).text, text);
    // Players have the smaller tolerance: a hundredth of the width, 10 pixels here.
    EXPECT_EQ(HoverNear(kLat + 0.1, kLon, 10, 0).text, text);
    EXPECT_EQ(HoverNear(kLat + 0.1, kLon, 0, 11).text, "");
}

TEST_F(PointerInfoTest, SurfaceObjectsFromLevelThirteen) {
    const ParkingRecord& gate = t.airport.currentAirport.parkings[0];
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude).text, "");  // level 9
    t.SetZoom(12);
    EXPECT_EQ(HoverNear(kLat, kLon - 0.01).text, "");
    t.SetZoom(13);
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude).text, "GATE A 1  Radius: 20 ft");
    EXPECT_EQ(HoverNear(kLat, kLon - 0.01).text,
              "Runway: 09  Heading: 90  Altitude: 100 ft  Lenght: 5500 ft  Width: 150 ft");
    // The ILS antenna stands on the far end and wins over the runway end.
    EXPECT_EQ(HoverNear(kLat, kLon + 0.01).text, "ILS: ITST  Heading: 270  Frequency: 110.5 Mhz");
    t.flags.showIls = kFalse16;
    EXPECT_EQ(HoverNear(kLat, kLon + 0.01).text,
              "Runway: 27  Heading: 270  Altitude: 100 ft  Lenght: 5500 ft  Width: 150 ft");
    t.flags.showParkings = kFalse16;
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude).text, "");
}

TEST_F(PointerInfoTest, RunwayEndWinsOverANearbyParking) {
    t.SetZoom(14);
    ParkingRecord& gate = t.airport.currentAirport.parkings[0];
    gate.latitude = kLat + 0.0001;
    gate.longitude = kLon - 0.01;
    EXPECT_EQ(HoverNear(kLat, kLon - 0.01).text.substr(0, 10), "Runway: 09");
}

TEST_F(PointerInfoTest, ToleranceIsTheRoundedPixelDistance) {
    t.SetZoom(14);
    const ParkingRecord& gate = t.airport.currentAirport.parkings[0];
    const std::string text = "GATE A 1  Radius: 20 ft";
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude, 20, 0).text, text);
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude, 0, -21).text, "");
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude, -14, 14).text, text);  // 19.8
    EXPECT_EQ(HoverNear(gate.latitude, gate.longitude, 14, 15).text, "");     // 20.5
}

TEST_F(PointerInfoTest, MeasuringLineOfZeroLengthShowsTheMagneticCourse) {
    t.SetZoom(14);
    t.SetVariation(kLat, kLon, 10);
    t.view.DragAnchorLat = static_cast<float>(kLat);
    t.view.DragAnchorLon = static_cast<float>(kLon);
    const PointerPosition pointer{static_cast<float>(kLon), static_cast<float>(kLat)};
    RecordingSurface surface;
    DrawMeasuringLine(surface, t.scene(), pointer);
    const auto& calls = surface.calls();
    ASSERT_GE(calls.size(), 4U);
    EXPECT_EQ(calls[0].op, DrawOp::Cls);
    EXPECT_EQ(calls[1].op, DrawOp::MoveToEx);
    EXPECT_EQ(calls[2].op, DrawOp::LineTo);
    EXPECT_EQ(calls[1].args, calls[2].args);
    EXPECT_EQ(calls[2].state.drawStyle, kDottedLine);
    EXPECT_EQ(calls[2].state.foreColor, kScopeGreen);
    EXPECT_EQ(calls[3].text, "Dist: 0 nm  Course: 350 *");
    EXPECT_EQ(calls[3].args, calls[1].args);
    EXPECT_EQ(calls[3].state.foreColor, kWhite);
    // The scope is painted over the line: the airport name is the last text.
    EXPECT_EQ(surface.Texts().back(), "Test Field");
    EXPECT_EQ(surface.State(), DrawingState{});
}

TEST_F(PointerInfoTest, MeasuringLabelSitsAtTheMiddle) {
    t.view.DragAnchorLat = kLat;
    t.view.DragAnchorLon = kLon;
    const double lat = kLat - 0.125;
    const double lon = kLon + 0.25;
    const PointerPosition pointer{static_cast<float>(lon), static_cast<float>(lat)};
    RecordingSurface surface;
    DrawMeasuringLine(surface, t.scene(), pointer);
    const DrawCall& label = surface.calls()[3];
    EXPECT_EQ(label.text, "Dist: 14 nm  Course: 124 *");
    EXPECT_EQ(MeasuringLabel(0, 360), "Dist: 0 nm  Course: 360 *");
    const ScopePoint a = ProjectToScope(t.view, kLat, kLon);
    const ScopePoint b = ProjectToScope(t.view, lat, lon);
    // Half of the whole-mile distance, rounded again: a few pixels off the true middle.
    EXPECT_NEAR(label.args[0], (a.x + b.x) / 2, 5);
    EXPECT_NEAR(label.args[1], (a.y + b.y) / 2, 5);
}

}  // namespace
}  // namespace scopewatch
