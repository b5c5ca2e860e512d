#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "bgl/BglWalker.h"
#include "bgl/FileBuffer.h"
#include "builder/AirportDatabaseFile.h"
#include "demo/DemoSimulator.h"
#include "geo/MagVarGrid.h"
#include "scope/ScopeSnapshot.h"
#include "state/ProgramState.h"

namespace {

using namespace scopewatch;

// The demo's first scenery file (the large airport among four others), as bytes.
const std::vector<uint8_t>& CentralSceneryFile() {
    static const std::vector<uint8_t> bytes = [] {
        const demo::DemoSceneryFile& file = demo::DemoSceneryFiles().front();
        return scenery::BuildAirportBgl(file.airports, file.layout);
    }();
    return bytes;
}

std::vector<AirportRecord> DecodedAirports() {
    const FileBuffer buffer(CentralSceneryFile());
    std::vector<AirportRecord> airports;
    ScanSceneryFile(buffer, MagVarGrid{}, airports);
    return airports;
}

void ScanDemoSceneryFile(benchmark::State& state) {
    const FileBuffer buffer(CentralSceneryFile());
    const MagVarGrid grid;
    for (auto _ : state) {
        std::vector<AirportRecord> airports;
        benchmark::DoNotOptimize(ScanSceneryFile(buffer, grid, airports));
    }
    state.SetBytesProcessed(state.iterations() * buffer.FileLength());
}
BENCHMARK(ScanDemoSceneryFile);

// A database of many copies of the demo's airports, read back as the airport window does.
void ReadAirportDatabase(benchmark::State& state) {
    const std::vector<AirportRecord> demo = DecodedAirports();
    std::vector<AirportRecord> airports;
    while (airports.size() < static_cast<size_t>(state.range(0))) {
        airports.insert(airports.end(), demo.begin(), demo.end());
    }
    airports.resize(static_cast<size_t>(state.range(0)));
    const std::vector<uint8_t> bytes = EncodeAirportDatabase(airports);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            DecodeAirportDatabase(bytes, static_cast<int32_t>(airports.size())));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(ReadAirportDatabase)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

// One repaint of the large airport at fine zoom into a 1000 x 700 image.
void RepaintLargeAirport(benchmark::State& state) {
    ProgramState program;
    program.airport.currentAirport = DecodedAirports().front();
    const ScopeView view = SnapshotView(program.airport.currentAirport, 1000, 700,
                                        static_cast<int16_t>(state.range(0)));
    const SelectedAirspace noSelection;
    const ScopeScene scene{view, program.airport, program.traffic, program.displayFlags,
                           noSelection};
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderScope(scene));
    }
}
BENCHMARK(RepaintLargeAirport)->Arg(13)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
