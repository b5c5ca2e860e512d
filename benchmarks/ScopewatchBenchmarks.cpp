#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "TwentyAircraft.h"
#include "WorldScenery.h"
#include "bgl/BglWalker.h"
#include "bgl/FileBuffer.h"
#include "builder/AirportDatabaseFile.h"
#include "builder/DatabaseBuild.h"
#include "demo/DemoSimulator.h"
#include "geo/MagVarGrid.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "scope/LabelPlacement.h"
#include "scope/ScopeSnapshot.h"
#include "startup/Settings.h"
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

// Answers every message with OK, unseen.
class SilentMessages : public MessageBoxes {
  protected:
    MessageAnswer Ask(const std::string&, const std::string&, MessageIcon,
                      MessageButtons) override {
        return MessageAnswer::Ok;
    }
};

double SecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const benchmarks::WorldScenery& World() {
    static const benchmarks::WorldScenery world;
    return world;
}

// The whole build as scopewatch-build-db runs it after setup: discovery, every scenery file
// decoded by the workers, the database and the settings written.
void RunWorldBuild(const benchmarks::WorldScenery& world, int threads) {
    ProgramState program;
    program.workDir = world.workFolder();
    program.settings = {1, 0, world.simFolder().string(), ""};
    WriteSettings(program.SettingsFile(),
                  {kSettingsHeader, 1, 1, 0, program.settings.simFolder, ""});
    const FileSystem files(program.workDir, {{"C:\\", DriveType::Fixed, std::string("C"), "/"}});
    SilentMessages messages;
    DatabaseBuild build(program, program.airport, files, messages, {}, threads);
    build.Discover();
    while (build.Step()) {
    }
    if (!build.Finish().ok() || program.settings.airportCount != world.airportCount()) {
        throw std::runtime_error("the world build failed");
    }
}

// The database build of the world-size scenery set against reading its bytes, both with a
// warm page cache. The argument is the number of workers, 0 for the default (one per core).
// Each round reads every scenery byte (untimed for the benchmark), then builds in an empty
// working directory, as the program's builds start: setup and the build run when the
// database is missing. "ratio" is the fastest build over the fastest reading (the machine
// may be busy with other work now and then; the fastest of each is the least disturbed),
// "mean_ratio" the same for the means.
void BuildWorldDatabase(benchmark::State& state) {
    const int threads =
        state.range(0) > 0 ? static_cast<int>(state.range(0)) : DefaultWorkerCount();
    const benchmarks::WorldScenery& world = World();
    std::vector<double> reads;
    std::vector<double> builds;
    for (auto _ : state) {
        reads.push_back(SecondsOf([&] { benchmarks::ReadEveryByte(world.sceneryFiles()); }));
        world.EmptyWorkFolder();
        builds.push_back(SecondsOf([&] { RunWorldBuild(world, threads); }));
        state.SetIterationTime(builds.back());
    }
    const auto mean = [](const std::vector<double>& seconds) {
        return std::accumulate(seconds.begin(), seconds.end(), 0.0) /
               static_cast<double>(seconds.size());
    };
    const double read = *std::min_element(reads.begin(), reads.end());
    const double build = *std::min_element(builds.begin(), builds.end());
    state.counters["threads"] = threads;
    state.counters["airports"] = world.airportCount();
    state.counters["scenery_MB"] = static_cast<double>(world.sceneryBytes()) / 1e6;
    state.counters["read_s"] = read;
    state.counters["build_s"] = build;
    state.counters["ratio"] = build / read;
    state.counters["mean_ratio"] = mean(builds) / mean(reads);
}
BENCHMARK(BuildWorldDatabase)
    ->ArgName("threads")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// One repaint of the large airport at fine zoom into a 1000 x 700 image; with every aid on,
// under twenty aircraft within a mile of it, one of them selected, half with notes.
void RepaintLargeAirport(benchmark::State& state) {
    ProgramState program;
    program.airport.currentAirport = DecodedAirports().front();
    const ScopeView view = SnapshotView(program.airport.currentAirport, 1000, 700,
                                        static_cast<int16_t>(state.range(0)));
    const SelectedAirspace noSelection;
    Crowd crowd = TwentyWithinAMile(program.airport.currentAirport);
    const ControllerAids everyAid = EveryAidOn();
    LabelPlacer labels;
    const AircraftNotes notes = NotesOnEveryOther(crowd.traffic);
    const std::string selected = crowd.traffic.trafficTable[1].playerName;
    const ScopeAids aids{everyAid, crowd.history, labels, &notes, &selected};
    const bool aided = state.range(1) != 0;
    const ScopeScene scene{view,
                           program.airport,
                           aided ? crowd.traffic : program.traffic,
                           program.displayFlags,
                           noSelection,
                           aided ? &aids : nullptr};
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderScope(scene));
    }
}
BENCHMARK(RepaintLargeAirport)
    ->ArgNames({"level", "aids"})
    ->Args({13, 0})
    ->Args({16, 0})
    ->Args({13, 1})
    ->Args({16, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
