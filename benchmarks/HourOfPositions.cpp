#include "HourOfPositions.h"

#include <unistd.h>

#include <stdexcept>

#include "capture/CaptureWriter.h"
#include "directplay/DirectPlayCodec.h"
#include "multiplayer/GameMessages.h"

namespace scopewatch::benchmarks {

const HourOfPositions& HourOfPositions::Get() {
    static const HourOfPositions hour;
    return hour;
}

HourOfPositions::HourOfPositions()
    : file_(std::filesystem::temp_directory_path() /
            ("scopewatch-hour-" + std::to_string(getpid()) + ".pcap")) {
    auto writer = capture::CaptureWriter::Create(file_);
    if (!writer.ok()) {
        throw std::runtime_error(writer.failure);
    }
    const capture::Endpoint us{0x0A000001, 2300};
    constexpr int64_t kStart = 1767225600000000;
    constexpr int64_t kReportGap = 1000000 / (kPilots * kReportsPerSecond);
    constexpr int kAnnouncementGap = 30 * kReportsPerSecond;
    int64_t time = kStart;
    const auto send = [&](uint32_t pilot, const SessionMessage& message) {
        const capture::Endpoint them{0x0A000100u + pilot, 2300};
        (*writer.value)
            ->Write({time,
                     capture::Carrier::kStream,
                     them,
                     us,
                     directplay::EncodePlayerData({2300, 0}, pilot, 0x100, message.bytes()),
                     {}});
        ++frames_;
    };
    for (int report = 0; report < kSeconds * kReportsPerSecond; ++report) {
        for (uint32_t pilot = 1; pilot <= kPilots; ++pilot) {
            time += kReportGap;
            if (report % kAnnouncementGap == 0) {
                send(pilot, MakePlayerPresent(static_cast<int32_t>(pilot)));
                send(pilot, MakeAircraftInfo({1, "Boeing 737-800"}));
            }
            const PositionReport position{
                HeadingWord(report % 360), LatitudeRaw(36.0 + report * 1e-5),
                LongitudeRaw(-97.0 + pilot * 0.01), static_cast<int32_t>(1500 + pilot)};
            send(pilot, MakePosition(position, true));
        }
    }
    if (const Status flushed = (*writer.value)->Flush(); !flushed.ok()) {
        throw std::runtime_error(flushed.failure);
    }
    bytes_ = std::filesystem::file_size(file_);
}

HourOfPositions::~HourOfPositions() {
    std::filesystem::remove(file_);
}

}  // namespace scopewatch::benchmarks
