// What the pictures of the demo airport cannot show: the view's limits and rounding, and what
// damaged or absurd data does to the layers, call by call on a recording surface.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <limits>

#include "geo/Geodesy.h"
#include "scope/LabelPlacement.h"
#include "scope/PointerInfo.h"
#include "scope/QPainterSurface.h"
#include "scope/ScopePainter.h"
#include "scope/TrafficLayer.h"
#include "support/CommaDecimalLocale.h"
#include "support/RecordingSurface.h"

namespace scopewatch {
namespace {

using Args = std::vector<int32_t>;
constexpr int32_t kFar = 1 << 30;

// Projection rounds halves to even and neither clips nor wraps; pointer positions invert it;
// centring keeps the level. (The levels themselves: the pictures at three levels and the zoom
// buttons in the end-to-end run.) The readout names the hemispheres from the signs, minus zero
// as east, with a decimal point under a comma-decimal locale too (Qt applies the user's at
// start-up).
TEST(ScopeView, ProjectionRoundsHalvesToEvenAndTheReadoutKeepsItsPoint) {
    const ScopeView tiny{0.0, 50.0, 100.0, 0.0, 10, 10, 0.0, 0.0, 1};
    EXPECT_EQ(ProjectToScope(tiny, {37.5, 25.0}), (ScopePoint{2, 2}));  // 2.5, 2.5
    EXPECT_EQ(ProjectToScope(tiny, {32.5, 35.0}), (ScopePoint{4, 4}));  // 3.5, 3.5
    EXPECT_EQ(ProjectToScope(tiny, {-50.0, -100.0}), (ScopePoint{-10, 20}));
    ScopeView view = InitialView(1000, 500, {0.0, -179.9});
    EXPECT_GT(ProjectToScope(view, {0.0, 179.9}).x, 100 * view.WidthPx);
    const PointerPosition some = PointerAt(view, 123, 456);
    EXPECT_EQ(ProjectToScope(view, {some.latitude, some.longitude}), (ScopePoint{123, 456}));
    CentreView(view, {20.0, 10.0});
    EXPECT_EQ(view.ZoomLevel, 9);
    EXPECT_EQ(ProjectToScope(view, {20.0, 10.0}), (ScopePoint{500, 250}));

    const testing::CommaDecimalLocale comma;
    const CoordinateReadout zero = ReadoutFor({-0.0F, 0.0F});
    EXPECT_EQ(zero.longitudeText + " " + zero.eastWest + zero.northSouth, "0 EN");
    const CoordinateReadout readout = ReadoutFor({-8.549167F, -47.45833F});
    EXPECT_EQ(readout.longitudeText + " " + readout.latitudeText + " " + readout.eastWest +
                  readout.northSouth,
              "-8.549167 -47.45833 WS");
}

// A scene at the finest level on 40 N 75 W with nothing in it but what a test puts there.
struct Scene {
    Scene() {
        while (ZoomIn(view)) {
        }
    }
    void Add(const std::string& name, double lat, double lon) {
        traffic.trafficTable.at(static_cast<size_t>(++traffic.trafficCount)) = {name, 0,  0.0, lon,
                                                                                lat,  "", ""};
    }
    std::vector<Args> Ellipses() const {
        std::vector<Args> boxes;
        for (const DrawCall& call : surface.calls()) {
            if (call.op == DrawOp::Ellipse) {
                boxes.push_back(call.args);
            }
        }
        return boxes;
    }
    ScopeScene scene() { return {view, airport, traffic, flags, selection}; }

    ScopeView view = InitialView(1000, 800, {40.0, -75.0});
    LoadedAirportData airport;
    TrafficTable traffic;
    DisplayFlags flags;
    SelectedAirspace selection;
    RecordingSurface surface;
};

// Found by fuzzing: a damaged file can put a position anywhere. Its point stays far outside the
// scope, with room for the dot drawn around it: a parking at 1e300 degrees (whose dot's corners
// overflowed) and aircraft at the ends of the wire's fields; a whole turn away at the finest
// level is still told apart from that clamp. On the screen such shapes and texts draw nothing.
TEST(ScopeLayers, AbsurdPositionsAreDrawnFarOutsideTheScopeWithoutOverflow) {
    Scene s;
    EXPECT_EQ(ProjectToScope(s.view, {-1.0e300, 1.0e300}), (ScopePoint{kFar, kFar}));
    EXPECT_EQ(ProjectToScope(s.view, {INFINITY, -INFINITY}), (ScopePoint{-kFar, -kFar}));
    EXPECT_EQ(ProjectToScope(s.view, {NAN, NAN}), (ScopePoint{0, 0}));
    EXPECT_LT(ProjectToScope(s.view, {40.0, -75.0 + 360.0}).x, kFar);
    s.airport.currentAirport.parkings = {{"gate", 1.0e300, 1.0e300, 0}};
    const double far = INT32_MIN * 360.0 / 40007000.0;  // about -19327 degrees
    s.Add("Far", far, far);
    s.Add("Away", -far, -far);
    RepaintScope(s.surface, s.scene());
    const int32_t p = WidthPercentPx(1.5F, s.view.WidthPx);
    const int32_t a = WidthPercentPx(0.8F, s.view.WidthPx);
    EXPECT_EQ(s.Ellipses(), (std::vector<Args>{{kFar - p, -kFar + p, kFar + p, -kFar - p},
                                               {-kFar - a, kFar + a, -kFar + a, kFar - a},
                                               {kFar - a, -kFar + a, kFar + a, -kFar - a}}));

    // With every aid on, a second aircraft on the first one's absurd place is in conflict with
    // it: the line, its distance and the selection's square are drawn far outside too.
    s.Add("Twin", far, far);
    for (TrafficRecord& aircraft : s.traffic.trafficTable) {
        aircraft.altitudeFt = 5000;
    }
    TrackHistory history;
    history.Record(s.traffic, 0);
    const ControllerAids every{.historyTrails = true,
                               .trackVectors = true,
                               .rangeRings = true,
                               .readableLabels = true,
                               .conflictAlert = true};
    LabelPlacer labels;
    const std::string twin = "Twin";
    const ScopeAids aids{every, history, labels, nullptr, &twin};
    RecordingSurface aided;
    RepaintScope(aided, {s.view, s.airport, s.traffic, s.flags, s.selection, &aids});
    const auto distance = std::find_if(aided.calls().begin(), aided.calls().end(),
                                       [](const DrawCall& call) { return call.text == "0.0 nm"; });
    ASSERT_NE(distance, aided.calls().end());
    EXPECT_LT(distance->args[0], -kFar / 2);

    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QImage black = image;
    QPainter painter(&image);
    QPainterSurface screen(painter);
    screen.FillStyle(kSolidFill);
    screen.Ellipse(kMax - 10, kMin + 10, kMax, kMin);
    screen.Arc(kMin, kMin, kMax, kMax, 0, 0, kMax, kMax);
    screen.MoveToEx(kMax, kMax);
    screen.LineTo(kMax, kMax - 100);
    screen.TextOutA(kMax, kMax, "far away");
    screen.TextOutA(kMin, kMin, "far away");
    painter.end();
    EXPECT_EQ(image, black);
}

// Damaged or odd tables: an empty traffic table draws nothing and leaves the drawing state as
// it was; a count above twenty draws the twenty there are; taxi segments with an index outside
// their list or an unknown kind are left out; an airspace circle of radius 0 is drawn with one
// mile and keeps it; a boundary step of an unknown kind is passed over. The hover text of an
// airspace names it and gives its limits the right way round.
TEST(ScopeLayers, EmptyDamagedAndOddTablesAreDrawnSafely) {
    Scene s;
    s.surface.DrawWidth(4);
    DrawTraffic(s.surface, s.view, s.traffic, s.airport.magVarGrid);
    EXPECT_TRUE(s.surface.calls().empty());
    EXPECT_EQ(s.surface.State().drawWidth, 4);
    for (int i = 0; i < TrafficTable::kCapacity; ++i) {
        s.Add("P" + std::to_string(i), 40.0, -75.0);
    }
    s.traffic.trafficCount = 25;
    DrawTraffic(s.surface, s.view, s.traffic, s.airport.magVarGrid);
    EXPECT_EQ(s.Ellipses().size(), 20u);
    EXPECT_EQ(s.surface.State(), DrawingState{});

    AirportRecord& airport = s.airport.currentAirport;
    airport.taxiPoints = {{0, 40.0, -75.0}};
    airport.parkings = {{"p", 40.0001, -75.0, 0}};
    airport.taxiSegments = {{kTaxiToParking, 0, 0, ""},
                            {kTaxiToTaxi, 0, 7, "X"},
                            {kTaxiToParking, -1, 0, ""},
                            {kTaxiToParking, 0, 1, ""},
                            {9, 0, 0, ""}};
    s.flags.showParkings = s.flags.showAirportName = kFalse16;
    s.surface.Clear();
    PaintScope(s.surface, s.scene());
    EXPECT_EQ(s.surface.calls().size(), 2u);  // the one good segment: a move and a line

    AirspaceRecord fir{{{kCentre, 40.0, -75.0, 0}, {kCircle, 0.0, 0.0, 0}, {7, 1.0, 1.0, 0}},
                       40.0,
                       -75.0,
                       5000,
                       1000,
                       "127.5 Mhz  ",
                       "ARTCC/FIR",
                       "",
                       "NEW YORK"};
    s.airport.airspaces = {fir};
    s.traffic = {};
    while (s.view.ZoomLevel > 9) {
        ZoomOut(s.view);
    }
    s.surface.Clear();
    PaintScope(s.surface, s.scene());
    EXPECT_EQ(s.airport.airspaces[0].points[1].radius, 1);
    EXPECT_EQ(s.Ellipses().size(), 2u);  // the reference point's dot and the circle
    EXPECT_EQ(HoverInfoAt(s.scene(), {-75.0F, 40.0F}).text,
              "AIRSPACE FULLNAME: NEW YORK  AIRSPACE TYPE: ARTCC/FIR  AIRSPACE FREQUENCY: "
              "127.5 Mhz  FROM: 1000 ft  TO: 5000 ft");
}

}  // namespace
}  // namespace scopewatch
