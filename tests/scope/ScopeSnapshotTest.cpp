// The real scope over the demo airport, compared with its pictures and its hover texts in
// tests/data/scope/ (SCOPEWATCH_UPDATE_GOLDEN=1 writes them anew when a change is meant).

#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>
#include <map>

#include "geo/Geodesy.h"
#include "scope/LabelPlacement.h"
#include "scope/PointerInfo.h"
#include "scope/QPainterSurface.h"
#include "scope/ScopeSnapshot.h"
#include "support/DemoAirportState.h"
#include "support/Golden.h"

namespace scopewatch {
namespace {

// A few aircraft around the airport's reference point: two close together, one on the ground
// by the terminal, one far out.
TrafficTable TrafficAround(const AirportRecord& airport) {
    TrafficTable traffic;
    const std::tuple<const char*, double, double, int32_t, double> aircraft[] = {
        {"N172SP", 0.004, -0.006, 1250, 90},
        {"DAL1842", 0.006, -0.004, 2300, 180},
        {"UAL913", -0.03, 0.05, 3400, 355},
        {"N35PA", 0.0, 0.001, 1180, 270},
        {"SWA2210", 0.2, -0.25, 11000, 45}};
    for (const auto& [name, north, east, altitude, heading] : aircraft) {
        TrafficRecord& entry = traffic.trafficTable.at(static_cast<size_t>(++traffic.trafficCount));
        entry = {name,        altitude, heading, airport.longitude + east, airport.latitude + north,
                 "Jet Plane", ""};
    }
    return traffic;
}

// Every flag off but the taxiways: no airspaces, parkings, ILS cones, taxiway names or name.
DisplayFlags MostFlagsOff() {
    return {kFalse16, kFalse16, kTrue16, kFalse16, kFalse16, kFalse16};
}

class ScopeSnapshotTest : public ::testing::Test {
  protected:
    ScopeView View(int16_t level) const {
        return SnapshotView(airport.currentAirport, 1000, 700, level);
    }

    LoadedAirportData airport = testing::DemoAirportLoaded();
    const TrafficTable traffic = TrafficAround(airport.currentAirport);
};

// The demo airport (with its airspaces, built from the demo simulator) under traffic at a
// coarse, a fine and the finest level: the airspaces below level 13, the parkings, taxiways,
// runways and ILS cones from there, names and aircraft at every level; and with every flag
// but the taxiways off, only the taxiways, runways and aircraft.
TEST_F(ScopeSnapshotTest, TheDemoAirportWithTrafficLooksAsItsPictures) {
    EXPECT_EQ(airport.airspaces.size(), 7u);
    for (const int16_t level : {9, 13, 16}) {
        testing::ExpectImageMatchesGolden(RenderScope({View(level), airport, traffic, {}, {}}),
                                          "scope/eldorado-level" + std::to_string(level) + ".png");
    }
    for (const int16_t level : {9, 13}) {
        testing::ExpectImageMatchesGolden(
            RenderScope({View(level), airport, traffic, MostFlagsOff(), {}}),
            "scope/eldorado-level" + std::to_string(level) + "-flags-off.png");
    }
}

// Every aid on, over the same traffic after half a minute of flying along its headings (the
// aircraft by the terminal stands still): range rings under everything, trails and vectors,
// and labels placed apart. A repaint a second later leaves each label where it was.
TEST_F(ScopeSnapshotTest, EveryControllerAidOnDrawsItsPicture) {
    TrafficTable flying = traffic;
    TrackHistory history;
    for (int second = 0; second <= 30; ++second) {
        for (int i = 1; i <= traffic.trafficCount; ++i) {
            const TrafficRecord& from = traffic.trafficTable[static_cast<size_t>(i)];
            const double speedKt = from.altitudeFt < 2000 ? 0.0 : from.altitudeFt / 20.0;
            const GeoPoint at = AdvanceNm({from.latitude, from.longitude}, from.heading,
                                          speedKt * (second - 30) / 3600.0);
            flying.trafficTable[static_cast<size_t>(i)].latitude = at.latitude;
            flying.trafficTable[static_cast<size_t>(i)].longitude = at.longitude;
        }
        history.Record(flying, second);
    }
    const ControllerAids everyAid{.historyTrails = true,
                                  .trackVectors = true,
                                  .rangeRings = true,
                                  .readableLabels = true,
                                  .vectorMinutes = 2};
    LabelPlacer labels;
    const ScopeAids aids{everyAid, history, labels};
    const QImage first = RenderScope({View(9), airport, flying, {}, {}, &aids});
    testing::ExpectImageMatchesGolden(first, "scope/eldorado-every-aid-level9.png");
    EXPECT_EQ(RenderScope({View(9), airport, flying, {}, {}, &aids}), first);
}

// Flies the aircraft of the table for the seconds, one report a second into the history: each
// along its heading at its altitude's speed (ten knots a hundred feet, climbing or descending
// as given), the first turning by the degrees a second given; the table ends where they are.
void Fly(TrafficTable& table, TrackHistory& history, int seconds,
         std::map<std::string, int> climbFpm = {}, double firstTurns = 0.0) {
    for (int second = 0; second <= seconds; ++second) {
        history.Record(table, second);
        for (int i = 1; i <= table.trafficCount; ++i) {
            TrafficRecord& aircraft = table.trafficTable[static_cast<size_t>(i)];
            const GeoPoint at = AdvanceNm({aircraft.latitude, aircraft.longitude}, aircraft.heading,
                                          aircraft.altitudeFt / 10.0 / 3600.0);
            aircraft.latitude = at.latitude;
            aircraft.longitude = at.longitude;
            aircraft.altitudeFt += climbFpm[aircraft.playerName] / 60;
            aircraft.heading = std::fmod(aircraft.heading + (i == 1 ? firstTurns : 0.0), 360.0);
        }
    }
    history.Record(table, seconds + 1);
}

// The second round's aids over the demo airport, each in its picture. Conflict alert with
// readable labels and a note: two aircraft 0.9 nm apart at 5,000 and 5,500 ft (a conflict now),
// two head-on 12 nm apart closing at 1,100 kt at 5,500 ft (a conflict to come, nearest in 40 s),
// one crossing their paths 3,000 ft above them (none); all in red but that one, each pair joined
// by a red line with its distance.
// Altitude filter from 1,200 to 5,000 ft with an aircraft selected: the one at 11,000 ft and
// the one at 1,180 ft are gone, and the selected one's square and five minutes of its turning
// path show.
TEST_F(ScopeSnapshotTest, TheSecondRoundsAidsDrawTheirPictures) {
    const AirportRecord& field = airport.currentAirport;
    const GeoPoint centre{field.latitude, field.longitude};
    TrafficTable crossing;
    const auto add = [&crossing](const char* name, GeoPoint at, int32_t altitude, double heading) {
        crossing.trafficTable.at(static_cast<size_t>(++crossing.trafficCount)) = {
            name, altitude, heading, at.longitude, at.latitude, "Jet Plane", ""};
    };
    add("AAL10", AdvanceNm(centre, 0, 8), 5000, 0);
    add("UAL20", AdvanceNm(AdvanceNm(centre, 0, 8), 90, 0.9), 5600, 0);
    add("DAL30", AdvanceNm(centre, 270, 12), 5500, 90);
    add("SWA40", AdvanceNm(centre, 90, 3), 5500, 270);
    add("N50", AdvanceNm(centre, 200, 6), 9000, 0);
    TrackHistory history;
    Fly(crossing, history, 8, {{"UAL20", -600}});
    ControllerAids choices;
    choices.conflictAlert = true;
    choices.readableLabels = true;
    AircraftNotes notes;
    notes.Set("UAL20", "descend 4000");
    LabelPlacer labels;
    const ScopeAids conflictAids{choices, history, labels, &notes};
    testing::ExpectImageMatchesGolden(
        RenderScope({View(10), airport, crossing, {}, {}, &conflictAids}),
        "scope/eldorado-conflicts-level10.png");

    TrafficTable around = traffic;
    TrackHistory path;
    Fly(around, path, 300, {}, 1.0);
    ControllerAids filtered;
    filtered.altitudeFilter = true;
    filtered.altitudeBand = {1200, 5000};
    const std::string selected = around.trafficTable[1].playerName;
    const ScopeAids filterAids{filtered, path, labels, &notes, &selected};
    testing::ExpectImageMatchesGolden(RenderScope({View(9), airport, around, {}, {}, &filterAids}),
                                      "scope/eldorado-filter-selected-level9.png");
}

// A drag from the airport 14 nm to the south-west while the airport's own TRACON is selected:
// the dotted measuring line with distance and magnetic course at its middle, under the scope
// with the airspaces on the TRACON's reference point in yellow.
TEST_F(ScopeSnapshotTest, TheMeasuringLineOverASelectedAirspaceLooksAsItsPicture) {
    ScopeView view = View(9);
    view.DragAnchorLat = airport.currentAirport.latitude;
    view.DragAnchorLon = airport.currentAirport.longitude;
    const SelectedAirspace tracon{kSelectedAirspaceMarker, "TRACON (Departure/Approach)",
                                  view.DragAnchorLat, view.DragAnchorLon};
    const GeoPoint to = DestinationNm({view.DragAnchorLat, view.DragAnchorLon}, 225, 14);
    QImage image(view.WidthPx, view.HeightPx, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(ScopeFont());
    QPainterSurface surface(painter);
    DrawMeasuringLine(surface, {view, airport, traffic, {}, tracon},
                      {static_cast<float>(to.longitude), static_cast<float>(to.latitude)});
    painter.end();
    testing::ExpectImageMatchesGolden(image, "scope/eldorado-level9-measuring-selected.png");
}

// What the scope tells where the pointer rests, on every fifth pixel of the view: each text
// with the number of pixels that show it and the first of them (and the airspace it selects).
std::string HoverTexts(const ScopeScene& scene) {
    std::map<std::string, std::pair<int, std::string>> seen;
    for (int y = 0; y < scene.view.HeightPx; y += 5) {
        for (int x = 0; x < scene.view.WidthPx; x += 5) {
            const HoverInfo info = HoverInfoAt(scene, PointerAt(scene.view, x, y));
            const std::string key =
                info.text + (info.selection.Exists() ? " -> " + info.selection.TypeText : "");
            auto& [count, first] = seen[key];
            first = count++ == 0 ? std::to_string(x) + "," + std::to_string(y) : first;
        }
    }
    std::string texts;
    for (const auto& [text, where] : seen) {
        texts += std::to_string(where.first) + " from " + where.second + ": " + text + "\n";
    }
    return texts;
}

// The hover texts over the demo airport: airspaces below level 13 (the later of two on one
// reference point, never a Class D), aircraft at every level, parkings, runway ends and ILS
// antennas from level 13, each within its tolerance; a layer whose flag is off says nothing.
TEST_F(ScopeSnapshotTest, TheHoverTextsOverTheDemoAirportAreThoseOfTheirFile) {
    std::string texts;
    for (const auto& [level, flags] : {std::pair<int16_t, DisplayFlags>{9, {}},
                                       {13, {}},
                                       {16, {}},
                                       {9, MostFlagsOff()},
                                       {13, MostFlagsOff()}}) {
        texts += "level " + std::to_string(level) + (flags == DisplayFlags{} ? "" : ", flags off") +
                 "\n" + HoverTexts({View(level), airport, traffic, flags, {}});
    }
    testing::ExpectTextMatchesGolden(texts, "scope/eldorado-hover-texts.txt",
                                     "pixels showing each hover text over the demo airport");
}

}  // namespace
}  // namespace scopewatch
