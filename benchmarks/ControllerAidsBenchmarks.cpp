#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "TwentyAircraft.h"
#include "demo/DemoSimulator.h"
#include "geo/Geodesy.h"
#include "model/ConflictAlert.h"
#include "model/ControllerAids.h"
#include "model/TrackHistory.h"
#include "scope/LabelPlacement.h"
#include "scope/QPainterSurface.h"
#include "scope/ScopeSnapshot.h"
#include "scope/TrafficLayer.h"

namespace {

using namespace scopewatch;

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

// The conflict check of every pair of the twenty aircraft, as each repaint makes it; the
// counter says how many pairs are in conflict.
void ConflictCheckOfTwenty(benchmark::State& state) {
    const Crowd crowd = TwentyWithinAMile();
    ConflictLimits limits;
    limits.lookAheadSeconds = ConflictLimits::kMaxLookAheadSeconds;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindConflicts(crowd.traffic.InUse(), crowd.history, limits, 0));
    }
    state.counters["conflicts"] =
        static_cast<double>(FindConflicts(crowd.traffic.InUse(), crowd.history, limits, 0).size());
}
BENCHMARK(ConflictCheckOfTwenty)->Unit(benchmark::kMicrosecond);

// One repaint with the twenty aircraft and every aid on, into a 1000 x 700 image.
void RepaintWithEveryAid(benchmark::State& state) {
    Crowd crowd = TwentyWithinAMile();
    LoadedAirportData airport;
    airport.currentAirport = crowd.field;
    const ControllerAids everyAid = EveryAidOn();
    LabelPlacer labels;
    const AircraftNotes notes = NotesOnEveryOther(crowd.traffic);
    const std::string selected = crowd.traffic.trafficTable[1].playerName;
    const ScopeAids aids{everyAid, crowd.history, labels, &notes, &selected};
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
