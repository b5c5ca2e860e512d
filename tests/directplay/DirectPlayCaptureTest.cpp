// An independent check of what we put on the wire: a loopback session is captured and read
// back with Wireshark's DirectPlay dissector. Capturing needs root and tshark; elsewhere the
// test is skipped with a line saying why.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <set>

#include "support/DirectPlayLoopback.h"
#include "support/SpinEventLoop.h"
#include "support/TempDir.h"

namespace scopewatch::directplay {
namespace {

using testing::SpinUntil;

constexpr uint16_t kPortNumber = 47730;

// Runs a session that sends every message of our subset at least once.
void RunSession() {
    testing::LoopbackSession s(kPortNumber);
    s.StartHost({u"Capture Fly-in", 8, {}, session_flags::kKeepAlive});
    const auto atc = s.Join(u"ATC");
    const auto tower = s.Join(u"Tower");
    ASSERT_TRUE(SpinUntil([&] { return atc.client->HasPlayer(tower.player); }, 2000));
    atc.client->SendToAll(atc.player, Bytes{1, 0x10, 0, 0, 0, 0, 0, 0});
    s.host->SendToAll(s.hostPilot, Bytes{3, 0x10, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0});
    testing::Spin(600);  // long enough for pings and their replies
    tower.client->Leave();
    testing::Spin(200);
    s.host->Stop();
    testing::Spin(200);
}

QString Tshark() {
    return QStandardPaths::findExecutable("tshark");
}

// Reads a capture back. Another dissector's heuristic could claim our TCP data and hide it
// from the DirectPlay dissector, so that one is switched off.
QString RunTshark(QStringList arguments) {
    arguments << "--disable-protocol"
              << "lbmsrs";
    QProcess read;
    read.start(Tshark(), arguments);
    read.waitForFinished(60000);
    return QString::fromUtf8(read.readAllStandardOutput());
}

// What Wireshark's dissector read in a capture: the frames it found malformed or flagged, the
// commands, the session and player names, and every player described, packed (player
// announcements) or super-packed (the name table; the dialect there is given for system
// players only).
struct Dissection {
    struct Player {
        uint32_t flags = 0;
        int spSize = -1, dialect = -1, messageDialect = -1;  // -1: absent
    };
    QStringList flagged, names;
    std::set<int> commands;
    std::vector<Player> players;
};

Dissection Dissect(const QString& file) {
    Dissection seen;
    QString frame;
    int messageDialect = -1;
    int frameCommand = -1;
    QXmlStreamReader xml(RunTshark({"-r", file, "-Y", "dplay || _ws.malformed", "-T", "pdml"}));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const QString name = xml.attributes().value("name").toString();
        const QString show = xml.attributes().value("show").toString();
        const int value = static_cast<int>(show.toUInt(nullptr, 0));
        if (name == "num") {
            frame = show;
            frameCommand = -1;
        } else if (name.startsWith("_ws.malformed") || name.startsWith("_ws.expert")) {
            // YOUAREDEAD is the bare header; the dissector expects more after it. It is sent
            // only when a ping crosses a machine's leaving, so some runs have one.
            if (frameCommand != kYouAreDead) {
                seen.flagged << frame + ": " + xml.attributes().value("showname").toString();
            }
        } else if (name == "dplay.command") {
            frameCommand = value;
            seen.commands.insert(value);
        } else if (name == "dplay.type_01.game_name" || name == "dplay.pp.short_name") {
            seen.names << show;
        } else if (name == "dplay.dialect.version") {
            messageDialect = value;
        } else if (name == "dplay.pp.flags" || name == "dplay.spp.flags") {
            seen.players.push_back({static_cast<uint32_t>(value), -1, -1, messageDialect});
        } else if (seen.players.empty()) {
            continue;
        } else if (name == "dplay.pp.sp_data_size" || name == "dplay.spp.sp_data_length") {
            seen.players.back().spSize = value;
        } else if (name == "dplay.pp.dialect" || name == "dplay.spp.dialect") {
            seen.players.back().dialect = value;
        }
    }
    return seen;
}

// Wireshark decodes every command of our subset, flags nothing and finds our session and
// player names. Joiners refuse a player without its machine's 32 bytes of address data; our
// own players (and the host's system player in the name table) carry the dialect of their
// message.
TEST(DirectPlayCapture, WiresharkDecodesEveryMessageWeSend) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "capturing loopback traffic needs root; run the tests as root to check "
                        "our messages with Wireshark's DirectPlay dissector";
    }
    if (Tshark().isEmpty()) {
        GTEST_SKIP() << "tshark is not installed (scripts/install-deps.sh installs it)";
    }
    const testing::TempDir dir;
    const QString file = QString::fromStdString((dir / "session.pcapng").string());
    const PortPlan plan = testing::DirectPlayTestPorts(kPortNumber);
    const QString filter = QString::asprintf("port %d or portrange %d-%d", plan.enumPort,
                                             plan.rangeFirst, plan.rangeLast);
    QProcess capture;
    capture.start(Tshark(), {"-i", "lo", "-f", filter, "-w", file});
    ASSERT_TRUE(capture.waitForStarted(5000));
    QByteArray status;
    const auto announced = [&] {
        return (status += capture.readAllStandardError()).contains("Capturing on");
    };
    if (!SpinUntil(announced, 10000)) {
        capture.kill();
        capture.waitForFinished(5000);
        GTEST_SKIP() << "tshark cannot capture on the loopback interface here";
    }
    testing::Spin(1000);  // the capture is announced a little before it really starts
    RunSession();
    testing::Spin(500);
    capture.terminate();
    ASSERT_TRUE(capture.waitForFinished(10000));

    const Dissection seen = Dissect(file);
    EXPECT_TRUE(seen.flagged.isEmpty())
        << "flagged frames " << seen.flagged.join("; ").toStdString();
    for (int expected :
         {0x01, 0x02, 0x05, 0x07, 0x08, 0x0B, 0x13, 0x16, 0x17, 0x29, 0x2E, 0x2F, 0x38}) {
        EXPECT_TRUE(seen.commands.count(expected)) << "command " << expected << " not decoded";
    }
    EXPECT_TRUE(seen.names.contains("Capture Fly-in"));
    EXPECT_TRUE(seen.names.contains("ATC"));
    int applicationPlayers = 0;
    for (const Dissection::Player& player : seen.players) {
        applicationPlayers += (player.flags & player_flags::kSystemPlayer) != 0 ? 0 : 1;
        EXPECT_EQ(player.spSize, 32) << "player flags " << player.flags;
        const bool ours = (player.flags & (player_flags::kLocal | player_flags::kNameServer)) != 0;
        if (ours && player.dialect != -1) {
            EXPECT_EQ(player.dialect, player.messageDialect) << "player flags " << player.flags;
        }
    }
    EXPECT_GE(applicationPlayers, 6);  // pilots in name tables, announcements, verifications
}

}  // namespace
}  // namespace scopewatch::directplay
