// An observer of a whole session, fed the frames a capture holds: what it makes of the session,
// the joins, the players' game messages, and the frames it must not take.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "multiplayer/GameMessages.h"
#include "replay/ReadRecording.h"
#include "replay/ReplayReport.h"
#include "replay/SessionObserver.h"
#include "support/Golden.h"
#include "support/RecordedSession.h"

namespace scopewatch::replay {
namespace {

using testing::RecordedSession;
using testing::SessionFrames;

Recording Observed(const std::vector<capture::CapturedFrame>& frames) {
    Recording recording;
    recording.file = "recorded.pcap";
    recording.summary.format = "pcap";
    recording.summary.linkType = "Ethernet";
    recording.summary.packets = frames.size();
    recording.summary.frames = frames.size();
    recording.summary.tcpFrames = frames.size();
    SessionObserver observer(&recording.timeline);
    for (const capture::CapturedFrame& frame : frames) {
        observer.Take(frame);
    }
    recording.observation = observer.Finish();
    return recording;
}

// A scope's recording of its join and the first minute: the report names the session, every
// machine and player, the join step by step, the counts and each aircraft's span; the replay
// starts where the host let the scope's player in.
TEST(SessionObserver, FollowsTheJoinAndTheSessionAfterIt) {
    RecordedSession session = testing::RecordSession(60);
    const Recording recording = Observed(session.frames.frames);
    testing::ExpectTextMatchesGolden(ReportText(recording), "replay/report-recorded.txt",
                                     "what scopewatch-replay-info says of a scope's recording");
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReportJson(recording))).object();
    EXPECT_EQ(json["session"].toObject()["name"].toString(), "Eldorado Fly-in");
    EXPECT_EQ(json["players"].toArray().size(), 3);
    EXPECT_EQ(json["joins"].toArray().at(0).toObject()["steps"].toArray().size(),
              static_cast<qsizetype>(recording.observation.joins.at(0).steps.size()));

    const ReplayTimeline& timeline = recording.timeline;
    EXPECT_EQ(timeline.start(), SessionFrames::kStartMicros + 2'500'000);
    EXPECT_EQ(timeline.session().name, "Eldorado Fly-in");
    EXPECT_EQ(timeline.session().currentPlayers, 2);
    EXPECT_EQ(timeline.chat().size(), 1u);
    const auto present = timeline.PresentAt(timeline.end());
    ASSERT_EQ(present.size(), 3u);  // the pilots and the recording scope's controller
    EXPECT_TRUE(present[0]->onHostMachine);
    EXPECT_EQ(present[0]->announcements.size(), 3u);
    EXPECT_EQ(present[1]->aircraftInfo.size(), 3u);
    EXPECT_TRUE(present[2]->announcements.empty());
}

// A pilot's message that went to two machines is one message, and so is the controller's that
// went to both pilots of one machine; a stranger who speaks for a
// pilot is refused and a frame that does not read is reported, each with its place in the file;
// the host's removal of some player reaches no replay.
TEST(SessionObserver, CountsCopiesOnceAndReportsWhatItMustNotTake) {
    RecordedSession s = testing::RecordSession(1);
    SessionFrames& f = s.frames;
    const SessionFrames::Machine other{{0x0A000003, 2302}, 0x3003};
    f.At(5.0);
    f.System(s.host, s.scope,
             directplay::AddForward{0, other.systemId,
                                    testing::PlayerEntry(other.systemId, other.systemId, u"", 0x1,
                                                         other.stream.port)});
    const SessionMessage line = MakeSimulatorChat("hello");
    f.Data(s.scope, s.host, s.controller, s.pilots[0], line);
    f.Data(s.scope, s.host, s.controller, s.pilots[1], line);
    const SessionMessage chat = MakeSimulatorChat("wind calm");
    f.Data(s.host, s.scope, s.pilots[0], s.controller, chat);
    f.Data(s.host, other, s.pilots[0], 0x3301, chat);
    f.Data(other, s.scope, s.pilots[1], s.controller, chat);  // not the pilot's machine
    f.Raw(s.host.stream, s.scope.stream, {0x10, 0x00, 0xB0, 0xFA, 1, 2, 3});
    f.Data(s.host, s.scope, s.pilots[0], s.controller, MakeSignal(kinds::kRemoved));
    const size_t refusedAt = f.frames.size() - 2;

    const Recording recording = Observed(f.frames);
    const Observation& seen = recording.observation;
    EXPECT_EQ(seen.copiesCountedOnce, 2u);
    EXPECT_EQ(seen.gameKinds.at(kinds::kChat), 2u);
    EXPECT_EQ(recording.timeline.chat().size(), 2u);
    ASSERT_EQ(seen.refused.count, 1u);
    EXPECT_EQ(seen.refused.listed[0].place.packet, refusedAt);
    EXPECT_NE(seen.refused.listed[0].text.find("10.0.0.3:2302"), std::string::npos);
    ASSERT_EQ(seen.unreadable.count, 1u);
    EXPECT_EQ(seen.unreadable.listed[0].place.packet, refusedAt + 1);
    EXPECT_EQ(seen.gameKinds.at(kinds::kRemoved), 1u);
    EXPECT_NE(recording.timeline.KindOf(recording.timeline.size() - 1), kinds::kRemoved);
    EXPECT_TRUE(seen.players.at(other.systemId).machine);
}

// A capture that begins inside the session has no name table: the players are met by their
// messages, named by their ids, and nothing is judged.
TEST(SessionObserver, TakesACaptureThatBeginsInsideTheSession) {
    RecordedSession s;
    testing::PilotsSecond(s, 0);
    const Recording recording = Observed(s.frames.frames);
    EXPECT_FALSE(recording.observation.judged);
    EXPECT_EQ(recording.observation.refused.count, 0u);
    EXPECT_EQ(recording.timeline.NameAt(s.pilots[1], 0), "Player " + std::to_string(s.pilots[1]));
    EXPECT_EQ(recording.timeline.start(), SessionFrames::kStartMicros + 2'500'000);
}

}  // namespace
}  // namespace scopewatch::replay
