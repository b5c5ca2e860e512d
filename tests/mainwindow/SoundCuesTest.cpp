#include <gtest/gtest.h>

#include "mainwindow/SoundCues.h"

namespace scopewatch {
namespace {

using Cues = std::vector<SoundCue>;

TrafficTable Named(std::initializer_list<const char*> names) {
    TrafficTable table;
    for (const char* name : names) {
        table.trafficTable.at(static_cast<size_t>(++table.trafficCount)).playerName = name;
    }
    return table;
}

// Each sound only while its box is on and once for what is new: a conflict not there in the
// last 10 seconds, a chat line received, a pilot whose name comes after the first seconds or
// after an absence longer than a refresh. The table's emptying by the refresh brings no
// conflict and no pilot anew.
TEST(SoundCuesTest, EachSoundRingsOnceForWhatIsNewAndOnlyWhileItsBoxIsOn) {
    SoundCues cues;
    const SoundChoices all{true, true, true};
    const Conflict ab{"A", "B"};
    const Conflict ba{"B", "A"};
    EXPECT_EQ(cues.Tick(all, 1, Named({"A", "B"}), false, {}), Cues{});  // there before us
    EXPECT_EQ(cues.Tick(all, 6, Named({"A", "B"}), true, {ab}),
              (Cues{SoundCue::NewConflict, SoundCue::ChatLine}));
    EXPECT_EQ(cues.Tick(all, 7, Named({"A", "B"}), false, {ba}), Cues{});
    EXPECT_EQ(cues.Tick(all, 8, Named({}), false, {}), Cues{});  // the refresh
    EXPECT_EQ(cues.Tick(all, 9, Named({"B", "A", "C"}), false, {ab}), Cues{SoundCue::PilotJoined});
    EXPECT_EQ(cues.Tick({false, false, false}, 10, Named({"B", "A", "C", "D"}), true, {}), Cues{});
    EXPECT_EQ(cues.Tick(all, 10 + SoundCues::kAbsentSeconds, Named({"D"}), false, {}), Cues{});
    EXPECT_EQ(cues.Tick(all, 12 + SoundCues::kAbsentSeconds, Named({"D", "A"}), false, {ab}),
              (Cues{SoundCue::NewConflict, SoundCue::PilotJoined}));
}

}  // namespace
}  // namespace scopewatch
