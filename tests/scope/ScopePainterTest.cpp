#include <gtest/gtest.h>

#include <algorithm>

#include "ScopeTestScene.h"
#include "scope/RecordingSurface.h"
#include "scope/ScopeColours.h"
#include "scope/ScopePainter.h"

namespace scopewatch {
namespace {

using testing::ScopeTestScene;

enum class Layer { Parkings, Taxiways, Runways, Ils, Name, Airspaces, Unknown };

// Which layer drew a call, told by its pen; labels of width 2 may belong to either of
// two layers and are left out.
Layer LayerOf(const DrawCall& call) {
    const DrawingState& s = call.state;
    if (s.foreColor == kBrown) {
        return Layer::Parkings;
    }
    if (s.foreColor == kGrey) {
        return Layer::Taxiways;
    }
    if (s.foreColor == kScopeGreen && s.drawWidth == 2) {
        return Layer::Runways;
    }
    if (s.foreColor == kYellow) {
        return Layer::Ils;
    }
    if (s.foreColor == kWhite && s.drawWidth == 1) {
        return Layer::Name;
    }
    if (s.foreColor == kCyan) {
        return Layer::Airspaces;
    }
    return Layer::Unknown;
}

std::vector<Layer> LayersDrawn(const RecordingSurface& surface) {
    std::vector<Layer> layers;
    for (const DrawCall& call : surface.calls()) {
        const Layer layer = LayerOf(call);
        if (layer != Layer::Unknown && (layers.empty() || layers.back() != layer)) {
            layers.push_back(layer);
        }
    }
    return layers;
}

AirspaceRecord Tracon() {
    AirspaceRecord tracon;
    tracon.typeName = "TRACON (Departure/Approach)";
    tracon.latitude = ScopeTestScene::kLat;
    tracon.longitude = ScopeTestScene::kLon;
    tracon.points = {{kCentre, ScopeTestScene::kLat, ScopeTestScene::kLon, 0},
                     {kCircle, 0.0, 0.0, 20}};
    return tracon;
}

TEST(ScopePainterTest, SurfaceLayersFromLevelThirteenInOrder) {
    ScopeTestScene t(13);
    t.airport.airspaces.push_back(Tracon());
    RecordingSurface surface;
    PaintScope(surface, t.scene());
    EXPECT_EQ(LayersDrawn(surface), (std::vector<Layer>{Layer::Parkings, Layer::Taxiways,
                                                        Layer::Runways, Layer::Ils, Layer::Name}));
    EXPECT_EQ(surface.State(), DrawingState{});
}

TEST(ScopePainterTest, AirspacesAndNameBelowLevelThirteen) {
    ScopeTestScene t(12);
    t.airport.airspaces.push_back(Tracon());
    RecordingSurface surface;
    PaintScope(surface, t.scene());
    EXPECT_EQ(LayersDrawn(surface), (std::vector<Layer>{Layer::Airspaces, Layer::Name}));
    EXPECT_EQ(surface.Texts(), std::vector<std::string>{"Test Field"});
}

TEST(ScopePainterTest, FlagsLeaveLayersOut) {
    ScopeTestScene t(14);
    t.flags.showParkings = kFalse16;
    t.flags.showIls = kFalse16;
    t.flags.showAirportName = kFalse16;
    RecordingSurface surface;
    PaintScope(surface, t.scene());
    EXPECT_EQ(LayersDrawn(surface), (std::vector<Layer>{Layer::Taxiways, Layer::Runways}));

    // Runways have no flag; with taxiways off their labels go too.
    t.flags.showTaxiways = kFalse16;
    surface.Clear();
    PaintScope(surface, t.scene());
    EXPECT_EQ(LayersDrawn(surface), std::vector<Layer>{Layer::Runways});
    EXPECT_EQ(surface.Texts(), (std::vector<std::string>{"09", "27"}));
}

TEST(ScopePainterTest, LevelTwelveWithoutNameOrAirspacesDrawsNothing) {
    ScopeTestScene t(12);
    t.flags.showAirportName = kFalse16;
    RecordingSurface surface;
    PaintScope(surface, t.scene());
    EXPECT_TRUE(surface.calls().empty());

    t.airport.airspaces.push_back(Tracon());
    t.flags.showAirspaces = kFalse16;
    PaintScope(surface, t.scene());
    EXPECT_TRUE(surface.calls().empty());
}

TEST(ScopePainterTest, RepaintClearsFirstAndDrawsTrafficLast) {
    ScopeTestScene t(14);
    t.traffic.trafficCount = 1;
    t.traffic.trafficTable[1].playerName = "Pilot7";
    t.traffic.trafficTable[1].latitude = ScopeTestScene::kLat;
    t.traffic.trafficTable[1].longitude = ScopeTestScene::kLon;
    RecordingSurface surface;
    RepaintScope(surface, t.scene());
    ASSERT_FALSE(surface.calls().empty());
    EXPECT_EQ(surface.calls().front().op, DrawOp::Cls);
    EXPECT_EQ(surface.calls().back().text, "Pilot7 Hdg: 0 Alt: 0");
}

}  // namespace
}  // namespace scopewatch
