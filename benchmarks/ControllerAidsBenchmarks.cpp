#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "demo/DemoSimulator.h"
#include "geo/Geodesy.h"
#include "model/ControllerAids.h"
#include "model/TrackHistory.h"
#include "scope/LabelPlacement.h"
#include "scope/QPainterSurface.h"
#include "scope/ScopeSnapshot.h"
#include "scope/TrafficLayer.h"

namespace {

using namespace scopewatch;

// Twenty aircraft within a mile of a field, each flying its own heading for half a minute.
struct Crowd {
    AirportRecord field;
    TrafficTable traffic;
    TrackHistory history;
};

Crowd TwentyWithinAMile() {
    Crowd crowd;
    crowd.field.name = "Crowded Field";
    crowd.field.latitude = 36.4;
    crowd.field.longitude = -97.0;
    const GeoPoint centre{crowd.field.latitude, crowd.field.longitude};
    for (int second = 0; second <= 30; ++second) {
        crowd.traffic.trafficCount = TrafficTable::kCapacity;
        for (int i = 1; i <= TrafficTable::kCapacity; ++i) {
            const double heading = i * 360.0 / TrafficTable::kCapacity;
            const double outNm = 0.05 * i;  // 0.05 to 1 nm from the field
            const GeoPoint at = AdvanceNm(AdvanceNm(centre, 137.0 * i, outNm), heading,
                                          90.0 * (second - 30) / 3600.0);
            TrafficRecord& entry = crowd.traffic.trafficTable[static_cast<size_t>(i)];
            entry = {"N" + std::to_string(100 + i),
                     1500 + 100 * i,
                     heading,
                     at.longitude,
                     at.latitude,
                     "Piston Plane",
                     ""};
        }
        crowd.history.Record(crowd.traffic, second);
    }
    return crowd;
}

// The label boxes as the traffic layer writes them: from each dot's centre, or placed.
std::vector<LabelBox> LabelBoxes(const Crowd& crowd, const ScopeView& view, bool readable) {
    QImage image(view.WidthPx, view.HeightPx, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(ScopeFont());
    const QPainterSurface surface(painter);
    std::vector<std::string> names;
    std::vector<LabelDot> dots;
    std::vector<TextSize> sizes;
    std::vector<LabelBox> boxes;
    const int32_t radius = WidthPercentPx(0.8F, view.WidthPx);
    for (const TrafficRecord& aircraft : crowd.traffic.InUse()) {
        const ScopePoint p = ProjectToScope(view, {aircraft.latitude, aircraft.longitude});
        names.push_back(aircraft.playerName);
        dots.push_back({p.x, p.y, radius});
        sizes.push_back(surface.TextExtent(TrafficLabel(aircraft)));
        boxes.push_back({p.x, p.y, sizes.back().width, sizes.back().height});
    }
    if (!readable) {
        return boxes;
    }
    LabelPlacer placer;
    boxes.clear();
    for (const PlacedLabel& label : placer.Place(names, dots, sizes)) {
        boxes.push_back(label.box);
    }
    return boxes;
}

// How many pairs of the twenty labels overlap with readable labels off and on, at a zoom level.
void LabelOverlaps(benchmark::State& state) {
    const Crowd crowd = TwentyWithinAMile();
    const ScopeView view =
        SnapshotView(crowd.field, 1000, 700, static_cast<int16_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(LabelBoxes(crowd, view, true));
    }
    state.counters["pairs_off"] = OverlappingPairs(LabelBoxes(crowd, view, false));
    state.counters["pairs_on"] = OverlappingPairs(LabelBoxes(crowd, view, true));
}
BENCHMARK(LabelOverlaps)->Arg(9)->Arg(13)->Arg(16)->Unit(benchmark::kMillisecond);

// One repaint with the twenty aircraft and every aid on, into a 1000 x 700 image.
void RepaintWithEveryAid(benchmark::State& state) {
    Crowd crowd = TwentyWithinAMile();
    LoadedAirportData airport;
    airport.currentAirport = crowd.field;
    const ControllerAids everyAid{true, true, true, true, 3};
    LabelPlacer labels;
    const ScopeAids aids{everyAid, crowd.history, labels};
    const ScopeView view =
        SnapshotView(crowd.field, 1000, 700, static_cast<int16_t>(state.range(0)));
    const DisplayFlags flags;
    const SelectedAirspace noSelection;
    const ScopeScene scene{view, airport, crowd.traffic, flags, noSelection, &aids};
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderScope(scene));
    }
}
BENCHMARK(RepaintWithEveryAid)->Arg(9)->Arg(13)->Unit(benchmark::kMillisecond);

}  // namespace
