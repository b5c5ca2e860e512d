// A session joined through the session service is recorded, and the recording is what Wireshark
// and our capture reader make of it: the demo session host runs as its own process on loopback
// ports of this test's own.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <map>
#include <set>

#include "capture/CaptureReader.h"
#include "multiplayer/DirectPlaySession.h"
#include "support/DemoHostProcess.h"
#include "support/SpinEventLoop.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

using testing::SpinUntil;

constexpr uint16_t kHostPorts = 47730;
constexpr uint16_t kClientPorts = 47731;

// The DirectPlay commands Wireshark's dissector decoded in the file, by number, with how often.
std::map<int, int> CommandsWiresharkDecodes(const std::filesystem::path& file) {
    QProcess tshark;
    tshark.start("tshark", {"-r", QString::fromStdString(file.string()), "--enable-heuristic",
                            "dplay_tcp", "--enable-heuristic", "dplay_udp", "--disable-protocol",
                            "lbmsrs", "-Y", "dplay", "-T", "fields", "-e", "dplay.command"});
    EXPECT_TRUE(tshark.waitForFinished(30000));
    EXPECT_EQ(tshark.exitCode(), 0) << tshark.readAllStandardError().toStdString();
    std::map<int, int> commands;
    for (const QByteArray& line : tshark.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty()) {
            ++commands[line.toInt(nullptr, 0)];
        }
    }
    return commands;
}

// Joins the one session through the service (recording into the folder), creates our player,
// takes a few seconds of the pilots' traffic and leaves.
void JoinAndLeave(uint16_t enumPort, const std::filesystem::path& recordings) {
    DirectPlaySessionOptions options;
    options.ports = testing::DirectPlayTestPorts(kClientPorts);
    options.ports.enumPort = enumPort;
    options.enumerationWindowMs = 1000;
    options.recording.folder = recordings;
    DirectPlaySession session([] { return std::optional<std::string>("127.0.0.1"); }, options);
    const auto reach = [&](SessionStep step) {
        return SpinUntil([&] { return session.Step() == step; }, 10000);
    };
    session.InitialiseConnection(2);
    session.ListSessions();
    ASSERT_TRUE(reach(SessionStep::kListed));
    session.JoinSession(1);
    ASSERT_TRUE(reach(SessionStep::kJoined)) << session.StepFailure();
    session.CreatePlayer("ATC", "Controller");
    ASSERT_TRUE(reach(SessionStep::kPlayerCreated)) << session.StepFailure();
    testing::Spin(2500);
    bool closed = false;
    QObject::connect(&session, &SessionService::closed, [&] { closed = true; });
    session.Close();
    ASSERT_TRUE(!session.closing() || SpinUntil([&] { return closed; }, 5000));
    testing::Spin(100);  // the client that left is deleted, and its recording closed
}

// Joined, our player created, a few seconds of the pilots' traffic, then left: the file in
// recordings/ is named after the session (a character no file name holds replaced), holds the
// join from its first request and every message after it, our leaving included, and reads whole.
// Every system message in it is one Wireshark's DirectPlay dissector decodes as the same
// command.
TEST(SessionRecording, AJoinedSessionIsRecordedAndWiresharkDecodesTheRecording) {
    const testing::TempDir dir;
    testing::DemoHostProcess host(kHostPorts,
                                  {"--chat-every", "1", "--quiet", "--name", "Recorded: Fly-in"});
    ASSERT_TRUE(host.Running());

    ASSERT_NO_FATAL_FAILURE(JoinAndLeave(host.ports().enumPort, dir / "recordings"));

    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "recordings")) {
        files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].filename().string().ends_with(" Recorded_ Fly-in.pcap")) << files[0];
    std::map<int, int> commands;
    int playerData = 0;
    const auto read = capture::ReadCapture(files[0], [&](const capture::CapturedFrame& frame) {
        const auto decoded = directplay::Decode(frame.bytes);
        ASSERT_TRUE(decoded.ok()) << decoded.failure;
        decoded.value->command != 0 ? ++commands[decoded.value->command] : ++playerData;
    });
    ASSERT_TRUE(read.ok()) << read.failure;
    EXPECT_EQ(capture::CaptureWarning(files[0], *read.value), std::nullopt);
    EXPECT_EQ(read.value->resyncBytes, 0u);
    for (const int command : {0x05, 0x07, 0x13, 0x29, 0x08, 0x0B}) {
        EXPECT_GT(commands[command], 0) << "command " << command << " not recorded";
    }
    EXPECT_GT(playerData, 20);  // the pilots' positions and chat, our announcements
    if (QStandardPaths::findExecutable("tshark").isEmpty()) {
        std::printf("[tshark] not installed: the recording was not read by Wireshark\n");
        return;
    }
    const std::map<int, int> decoded = CommandsWiresharkDecodes(files[0]);
    EXPECT_EQ(decoded, commands);
    std::string seen;
    for (const auto& [command, count] : decoded) {
        seen += " " + std::to_string(command) + "x" + std::to_string(count);
    }
    std::printf(
        "[tshark] decoded commands (number x count):%s; %d player data frames left to "
        "the game\n",
        seen.c_str(), playerData);
}

}  // namespace
}  // namespace scopewatch
