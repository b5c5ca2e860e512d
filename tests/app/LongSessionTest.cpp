// A long, busy session: twenty pilots moving around the demo airport and a line of chat every
// three seconds, with the whole program joined over loopback and every timer running on a
// clock a hundred times as fast as the real one. scripts/soak.sh runs two simulated hours; the
// normal test command runs three simulated minutes. Memory at the end must be within a few per
// cent of memory after the first simulated minute, the chat history (the one thing allowed to
// grow) aside; what the history costs is measured. Every controller aid is on and the traffic
// list open throughout. The figures go to lines starting with "[figures]".

#include <gtest/gtest.h>

#include <QPointer>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "mainwindow/ui/TrafficListWindow.h"
#include "multiplayer/Chat.h"
#include "support/LiveScope.h"
#include "support/ProcessMemory.h"
#include "support/SoakRun.h"
#include "support/SpinEventLoop.h"

namespace scopewatch {
namespace {

using testing::MiB;
using testing::Milliseconds;
using testing::SpinUntil;

constexpr double kSpeedUp = 100.0;
// Growth allowed between the first simulated minute and the end, the chat history aside: of
// the heap in use, and of the resident set, which also keeps pages the heap gave back.
constexpr double kAllowedHeapGrowth = 0.03;
constexpr double kAllowedResidentGrowth = 0.05;

// Memory stays flat over a long busy session, the chat history aside (see the top).
TEST(LongSession, TwentyMovingPilotsAndChatKeepMemoryFlatButForTheChatHistory) {
    demo::DemoHostOptions options;
    options.pilotCount = 20;
    options.maxPlayers = 32;
    options.chatEverySeconds = 3;
    testing::LiveScope scope(47770, 47771, kSpeedUp, options);
    ASSERT_TRUE(scope.Join());
    const QPointer<MainWindow> main = scope.main();
    ASSERT_TRUE(SpinUntil([&] { return scope.state.traffic.trafficCount == 20; }, 10000));
    scope.state.aids = {.historyTrails = true,
                        .trackVectors = true,
                        .rangeRings = true,
                        .readableLabels = true,
                        .vectorMinutes = 3,
                        .conflictAlert = true,
                        .conflictLimits = {10, 3000, 180},
                        .altitudeFilter = true};
    scope.windows.ShowTrafficList();

    // The program's seconds are its receive ticks; the session runs until enough have passed,
    // however fast the machine manages to run the clock.
    const int64_t simulatedSeconds = testing::SoakRun() ? 2 * 3600 : 180;
    int16_t fewestBeforeRefresh = TrafficTable::kCapacity;
    int16_t mostListed = 0;
    int16_t listedBefore = 0;
    const auto runUntil = [&](int64_t second) {
        return SpinUntil(
            [&] {
                if (main.isNull()) {
                    return true;
                }
                const TrafficTable& traffic = scope.state.traffic;
                mostListed = std::max(mostListed, traffic.trafficCount);
                // A refresh empties the table; by the next one every pilot is back.
                if (traffic.trafficCount < listedBefore) {
                    fewestBeforeRefresh = std::min(fewestBeforeRefresh, listedBefore);
                }
                listedBefore = traffic.trafficCount;
                return main->receiveStatistics().count() >= second;
            },
            scope.RealMs(static_cast<double>(second)) * 20 + 60000);
    };
    ASSERT_TRUE(runUntil(60));
    ASSERT_FALSE(main.isNull());
    const testing::ProcessMemory warm = testing::ReadProcessMemory();
    const size_t chatAtWarm = main->session().chatText().size();
    const auto realStart = std::chrono::steady_clock::now();

    ASSERT_TRUE(runUntil(simulatedSeconds));
    ASSERT_FALSE(main.isNull()) << scope.messages.Texts().back();
    const double realSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count();
    const testing::ProcessMemory end = testing::ReadProcessMemory();
    // What the history costs: its text, and what the history box holds for it.
    const std::string& history = main->session().chatText();
    const int64_t lines = std::count(history.begin(), history.end(), '\n');
    const size_t historyBytes = history.size();
    main->chatHistory().clear();
    const testing::ProcessMemory cleared = testing::ReadProcessMemory();
    const int64_t historyBoxBytes = end.heapInUseBytes - cleared.heapInUseBytes;
    const int64_t chatCost = static_cast<int64_t>(historyBytes) + historyBoxBytes;

    std::printf(
        "[figures] long session: %lld simulated seconds in %.0f s; %lld receive ticks, longest "
        "%.1f ms; %lld repaints, longest %.1f ms; resident %.2f MiB after the first minute, %.2f "
        "MiB at the end; heap %.2f -> %.2f MiB; chat history %lld lines, %zu bytes of text (%zu "
        "after the first minute) and %.2f MiB in the history box\n",
        static_cast<long long>(simulatedSeconds - 60), realSeconds,
        static_cast<long long>(main->receiveStatistics().count()),
        Milliseconds(main->receiveStatistics().longest()),
        static_cast<long long>(main->repaintStatistics().count()),
        Milliseconds(main->repaintStatistics().longest()), MiB(warm.residentBytes),
        MiB(end.residentBytes), MiB(warm.heapInUseBytes), MiB(end.heapInUseBytes),
        static_cast<long long>(lines), historyBytes, chatAtWarm, MiB(historyBoxBytes));

    EXPECT_EQ(scope.messages.Texts().size(), 1u);  // nothing but "Connected To FS Session!"
    EXPECT_EQ(mostListed, TrafficTable::kCapacity);
    EXPECT_EQ(fewestBeforeRefresh, TrafficTable::kCapacity);
    EXPECT_EQ(scope.windows.trafficList()->table().rowCount(), 20);
    // A line every three seconds, give or take the clocks' drift.
    EXPECT_GT(lines, simulatedSeconds / 3 * 9 / 10);
    EXPECT_LE(historyBytes, kChatHistoryLimit);
    EXPECT_GE(main->repaintStatistics().count(), main->receiveStatistics().count() * 9 / 10);
    EXPECT_LT(main->receiveStatistics().longest(), std::chrono::milliseconds(1000));
    const double allowedHeap = static_cast<double>(warm.heapInUseBytes) * kAllowedHeapGrowth;
    EXPECT_LT(static_cast<double>(end.heapInUseBytes - warm.heapInUseBytes - chatCost),
              allowedHeap);
    if (testing::ResidentSetMeaningful()) {
        const double allowedResident =
            static_cast<double>(warm.residentBytes) * kAllowedResidentGrowth;
        EXPECT_LT(static_cast<double>(end.residentBytes - warm.residentBytes - chatCost),
                  allowedResident);
    }
}

}  // namespace
}  // namespace scopewatch
