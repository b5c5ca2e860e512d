#include <gtest/gtest.h>

#include "ScopeTestScene.h"
#include "scope/ScopeColours.h"
#include "scope/ScopePainter.h"
#include "support/RecordingSurface.h"

namespace scopewatch {
namespace {

using namespace testing;

// The layers that drew, in order, told by the pen of each call (white labels of width 2
// belong to taxiways or runways and are left out).
std::string LayersDrawn(const RecordingSurface& surface) {
    std::string layers;
    for (const DrawCall& call : surface.calls()) {
        const DrawingState& s = call.state;
        const char layer = s.foreColor == kBrown                            ? 'P'
                           : s.foreColor == kGrey                           ? 'T'
                           : s.foreColor == kScopeGreen && s.drawWidth == 2 ? 'R'
                           : s.foreColor == kYellow                         ? 'I'
                           : s.foreColor == kCyan                           ? 'A'
                           : s.foreColor == kWhite && s.drawWidth == 1      ? 'N'
                                                                            : ' ';
        if (layer != ' ' && (layers.empty() || layers.back() != layer)) {
            layers += layer;
        }
    }
    return layers;
}

class ScopePainterTest : public ::testing::Test {
  protected:
    std::string Paint(int16_t level) {
        t.SetZoom(level);
        surface.Clear();
        PaintScope(surface, t.scene());
        EXPECT_EQ(surface.State(), DrawingState{});
        return LayersDrawn(surface);
    }

    ScopeTestScene t;
    RecordingSurface surface;
};

// Airspaces are drawn below level 13 with the name only, the surface layers from there in
// order: parkings, taxiways, runways, ILS, name. Flags and missing facilities leave layers out.
TEST_F(ScopePainterTest, AirspacesBelowLevelThirteenSurfaceFromThereFlagsLeaveLayersOut) {
    t.airport.airspaces.push_back(AirspaceAt("TRACON (Departure/Approach)", kLat, kLon, 20));
    EXPECT_EQ(Paint(12), "AN");
    EXPECT_EQ(surface.Texts(), std::vector<std::string>{"Test Field"});
    EXPECT_EQ(Paint(13), "PTRIN");
    t.airport.airspaces.clear();
    t.flags.showParkings = kFalse16;
    t.flags.showIls = kFalse16;
    t.flags.showAirportName = kFalse16;
    EXPECT_EQ(Paint(14), "TR");
    // Runways have no flag; with taxiways off their labels go too.
    t.flags.showTaxiways = kFalse16;
    EXPECT_EQ(Paint(14), "R");
    EXPECT_EQ(surface.Texts(), (std::vector<std::string>{"09", "27"}));
    // Without the name and without airspaces a level-12 scope stays empty.
    EXPECT_EQ(Paint(12), "");
    EXPECT_TRUE(surface.calls().empty());
    // An airport without facilities draws only its name.
    t.flags = DisplayFlags{};
    t.airport.currentAirport = AirportRecord{};
    t.airport.currentAirport.name = "Empty";
    EXPECT_EQ(Paint(15), "N");
}

// A repaint clears first and draws the traffic last.
TEST_F(ScopePainterTest, RepaintClearsFirstAndDrawsTrafficLast) {
    t.traffic.trafficCount = 1;
    t.traffic.trafficTable[1] = {"Pilot7", 0, 0.0, kLon, kLat, "", ""};
    RepaintScope(surface, t.scene());
    EXPECT_EQ(surface.calls().front().op, DrawOp::Cls);
    EXPECT_EQ(surface.calls().back().text, "Pilot7 Hdg: 0 Alt: 0");
}

}  // namespace
}  // namespace scopewatch
