#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "capture/CaptureReader.h"
#include "capture/CaptureWriter.h"
#include "directplay/DirectPlayCodec.h"
#include "multiplayer/GameMessages.h"

namespace {

using namespace scopewatch;

// One hour of a session as our recorder writes it: 20 pilots, each on a machine of its own,
// sending us their position (the long form) four times a second over its connection. Written
// once into a temporary file, removed at the end.
class HourOfPositions {
  public:
    static constexpr int kPilots = 20;
    static constexpr int kReportsPerSecond = 4;
    static constexpr int kSeconds = 3600;

    HourOfPositions()
        : file_(std::filesystem::temp_directory_path() /
                ("scopewatch-hour-" + std::to_string(getpid()) + ".pcap")) {
        auto writer = capture::CaptureWriter::Create(file_);
        if (!writer.ok()) {
            throw std::runtime_error(writer.failure);
        }
        const capture::Endpoint us{0x0A000001, 2300};
        constexpr int64_t kStart = 1767225600000000;
        constexpr int64_t kReportGap = 1000000 / (kPilots * kReportsPerSecond);
        int64_t time = kStart;
        for (int report = 0; report < kSeconds * kReportsPerSecond; ++report) {
            for (int pilot = 1; pilot <= kPilots; ++pilot) {
                const PositionReport position{HeadingWord(report % 360),
                                              LatitudeRaw(36.0 + report * 1e-5),
                                              LongitudeRaw(-97.0 + pilot * 0.01), 1500 + pilot};
                const capture::Endpoint them{0x0A000100u + static_cast<uint32_t>(pilot), 2300};
                (*writer.value)
                    ->Write(
                        {time += kReportGap,
                         capture::Carrier::kStream,
                         them,
                         us,
                         directplay::EncodePlayerData({2300, 0}, static_cast<uint32_t>(pilot),
                                                      0x100, MakePosition(position, true).bytes()),
                         {}});
                ++frames_;
            }
        }
        if (const Status flushed = (*writer.value)->Flush(); !flushed.ok()) {
            throw std::runtime_error(flushed.failure);
        }
        bytes_ = std::filesystem::file_size(file_);
    }
    ~HourOfPositions() { std::filesystem::remove(file_); }

    const std::filesystem::path& file() const { return file_; }
    uint64_t bytes() const { return bytes_; }
    uint64_t frames() const { return frames_; }

  private:
    std::filesystem::path file_;
    uint64_t bytes_ = 0;
    uint64_t frames_ = 0;
};

// The whole hour read through the capture reader, its frames handed to a sink that counts them
// (the page cache warm after the first round). "MB_per_s" is the file's size over the time.
void ReadHourLongRecording(benchmark::State& state) {
    static const HourOfPositions hour;
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
