#include <benchmark/benchmark.h>

#include "HourOfPositions.h"
#include "capture/CaptureReader.h"

namespace {

using namespace scopewatch;
using benchmarks::HourOfPositions;

// The whole hour read through the capture reader, its frames handed to a sink that counts them
// (the page cache warm after the first round). "MB_per_s" is the file's size over the time.
void ReadHourLongRecording(benchmark::State& state) {
    const HourOfPositions& hour = HourOfPositions::Get();
    for (auto _ : state) {
        uint64_t frames = 0;
        const auto read =
            capture::ReadCapture(hour.file(), [&](const capture::CapturedFrame&) { ++frames; });
        if (!read.ok() || frames != hour.frames()) {
            state.SkipWithError("the recording did not read whole");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * hour.bytes()));
    state.counters["file_MB"] = static_cast<double>(hour.bytes()) / 1e6;
    state.counters["frames"] = static_cast<double>(hour.frames());
    state.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(hour.bytes()) / 1e6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(ReadHourLongRecording)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
