// The replay of an hour of 20 pilots: reading it as the replay reads it (the observer's
// timeline) and the memory it holds then, and jumps anywhere in it as the Replay window makes
// them.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <random>

#include "HourOfPositions.h"
#include "geo/MagVarGrid.h"
#include "replay/ReplayMoment.h"
#include "replay/ReplaySession.h"

namespace {

using namespace scopewatch;
using benchmarks::HourOfPositions;

const std::atomic<bool> kNeverCancelled(false);

// Every round reads the whole hour into a timeline. "MB_per_s" is the file's size over the time;
// "timeline_per_file" what the timeline says it holds and "heap_per_file" what the heap holds
// once the timeline is read, each over the file's size (at most 2 is the aim).
void ReadHourIntoATimeline(benchmark::State& state) {
    const HourOfPositions& hour = HourOfPositions::Get();
    const auto file = static_cast<double>(hour.bytes());
    double timeline = 0.0;
    double heap = 0.0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        const Outcome<replay::ReplayTimeline> read =
            replay::ReadTimeline(hour.file(), kNeverCancelled);
        if (!read.ok() || read.value->players() != HourOfPositions::kPilots) {
            state.SkipWithError("the hour did not read as a session of 20 pilots");
            return;
        }
        heap = static_cast<double>(mallinfo2().uordblks - before) / file;
        timeline = static_cast<double>(read.value->MemoryBytes()) / file;
    }
    state.counters["file_MB"] = file / 1e6;
    state.counters["MB_per_s"] =
        benchmark::Counter(file / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["timeline_per_file"] = timeline;
    state.counters["heap_per_file"] = heap;
}
BENCHMARK(ReadHourIntoATimeline)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

// Jumps to moments all over the hour in one replay, each running the five minutes before its
// moment through the intake as the main window does. "slowest_ms" is the slowest jump.
void JumpAnywhereInTheHour(benchmark::State& state) {
    const HourOfPositions& hour = HourOfPositions::Get();
    Outcome<replay::ReplayTimeline> read = replay::ReadTimeline(hour.file(), kNeverCancelled);
    if (!read.ok()) {
        state.SkipWithError(read.failure.c_str());
        return;
    }
    const auto grid = std::make_unique<MagVarGrid>();
    replay::HeadlessReplay replay(std::make_unique<replay::ReplayTimeline>(std::move(*read.value)),
                                  *grid);
    std::mt19937 random(27);
    double slowest = 0.0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        replay.JumpTo(static_cast<double>(random() % HourOfPositions::kSeconds));
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - begin;
        slowest = std::max(slowest, took.count());
    }
    if (replay.traffic().trafficCount != HourOfPositions::kPilots) {
        state.SkipWithError("a jump did not show the 20 pilots");
    }
    state.counters["slowest_ms"] = slowest;
}
BENCHMARK(JumpAnywhereInTheHour)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
