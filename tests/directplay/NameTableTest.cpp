// Whom a machine takes each message from, on name tables as our client and our host hold them,
// without sockets. (The same rule against forgeries over real sockets: tests/app's hostile
// network.)
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "directplay/DirectPlayPeer.h"
#include "directplay/TakenFrom.h"
#include "support/DirectPlayLoopback.h"

namespace scopewatch::directplay {
namespace {

const QHostAddress kHostIp("127.0.0.1");
const QHostAddress kMemberIp("127.0.0.3");
const QHostAddress kStrangerIp("127.0.0.2");
constexpr uint32_t kUs = 0x2002, kHost = 0x1001, kMember = 0x4004;
constexpr uint32_t kOurPilot = 0x3003, kHostPilot = 0x5015, kMemberPilot = 0x6006;
constexpr uint32_t kUnreachablePilot = 0x7007;  // of a machine nobody told us the address of

// The table of a session of three machines (the host's, a member's and ours) as our machine
// sees it, hosting it or not, in a session with or without these flags.
void FillTable(NameTable& table, bool weHost, uint32_t flags = 0) {
    const uint32_t host = weHost ? kUs : kHost;
    table.SetDesc(SessionDesc{.flags = flags});
    table.SetSystemId(kUs);
    table.SetHostSystemId(host);
    table.AddLocalPlayer(kOurPilot, u"ATC", u"Player", 0);
    for (const auto& [machine, ip] : {std::pair(kHost, kHostIp), std::pair(kMember, kMemberIp)}) {
        if (machine != host || !weHost) {
            table.PutMachine(RemoteMachine{machine, ip, 2300, 2300, kNewestVersion});
            table.PutPlayer(testing::SystemPlayerOf(0x7, machine, kNewestVersion));
        }
    }
    table.PutPlayer(testing::PlayerOf(kHostPilot, host, u"Host Pilot"));
    table.PutPlayer(testing::PlayerOf(kMemberPilot, kMember, u"Member Pilot"));
    table.PutPlayer(testing::PlayerOf(kUnreachablePilot, 0x8008, u"Far"));
}

// Player data as it arrives: after the 20-byte prefix, the sender's and receiver's ids.
Message DataFrom(uint32_t idFrom, uint32_t idTo = 0) {
    const Bytes framed = EncodePlayerData(SockAddr{}, idFrom, idTo, {1});
    return PlayerData{Bytes(framed.begin() + kPrefixSize, framed.end())};
}

// Whether each message is taken from the address beside it.
void ExpectRule(const NameTable& table,
                const std::vector<std::tuple<Message, QHostAddress, bool>>& cases,
                bool searching = false) {
    for (const auto& [message, from, taken] : cases) {
        EXPECT_EQ(Admits(table, message, from, searching), taken)
            << RowOf(message).messages << " from " << from.toString().toStdString();
    }
}

// Our client takes player data from the machine of the player it names (or from the host, for
// a player it cannot reach or where the host relays), the join's answers and the session's fate
// from the host alone, a player's deletion from its machine or the host, the rest from any
// machine of the session, and search replies from anyone while it searches. Nobody speaks for
// our own players, and no one may send it what only a host takes.
TEST(TakenFrom, OurClientHearsTheSessionAndItsHostEachForWhatIsTheirs) {
    NameTable table;
    FillTable(table, false);
    ExpectRule(table, {{DataFrom(kMemberPilot), kMemberIp, true},
                       {DataFrom(kMemberPilot), kHostIp, false},
                       {DataFrom(kHostPilot), kMemberIp, false},
                       {DataFrom(kUnreachablePilot), kHostIp, true},
                       {DataFrom(kOurPilot), kMemberIp, false},
                       {DataFrom(0x5EED0001), kMemberIp, false},
                       {EnumSessionsReply{}, kStrangerIp, false},
                       {RequestPlayerReply{}, kHostIp, true},
                       {DeletePlayer{0, kHost}, kMemberIp, false},
                       {DeletePlayer{0, kHostPilot}, kMemberIp, false},
                       {DeletePlayer{0, kMemberPilot}, kMemberIp, true},
                       {PlayerNameChanged{0, kMemberPilot, u"", u""}, kStrangerIp, false},
                       {Ping{kMember, 1, false}, kStrangerIp, false},
                       {Unhandled{0x77}, kMemberIp, true}});
    ExpectRule(table, {{EnumSessionsReply{}, kStrangerIp, true}}, true);
    FillTable(table, false, session_flags::kMulticastServer);
    ExpectRule(table, {{DataFrom(kMemberPilot), kHostIp, true}});
}

// Our host takes searches, id and join requests and pings from anyone, and nothing that only a
// host sends; without message ids, player data from any machine of the session.
TEST(TakenFrom, OurHostHearsNewcomersAndNoOtherHost) {
    NameTable table;
    FillTable(table, true);
    ExpectRule(table, {{EnumSessions{}, kStrangerIp, true},
                       {AddForwardRequest{}, kStrangerIp, true},
                       {Ping{0x4242, 1, false}, kStrangerIp, true},
                       {EnumSessionsReply{}, kMemberIp, false},
                       {RequestPlayerReply{}, kMemberIp, false},
                       {AddForward{}, kMemberIp, false},
                       {DataFrom(kUnreachablePilot), kMemberIp, false},
                       {AddForwardAck{}, kStrangerIp, false}});
    FillTable(table, true, session_flags::kNoMessageId);
    ExpectRule(table,
               {{PlayerData{{1, 2}}, kMemberIp, true}, {PlayerData{{1}}, kStrangerIp, false}});
}

// Taken player data waits for the program marked with whether its sender lives on the host's
// machine; without message ids, whether it came from the host's address. Data for another
// machine's players is not ours to keep.
TEST(TakenFrom, PlayerDataOfTheHostsPlayersCountsAsTheHosts) {
    DirectPlayPeer peer(PortPlan{}, {}, {}, true);  // never opened
    FillTable(peer.table(), false);
    const auto receive = [&](const Message& message, const QHostAddress& from) {
        peer.HandleCommon(Decoded{SockAddr{}, 0, 0, message}, Origin{from, false, 2300, 0});
        const auto delivery = peer.deliveries().Take();
        return delivery ? std::optional(delivery->fromHost) : std::nullopt;
    };
    EXPECT_EQ(receive(DataFrom(kHostPilot), kHostIp), true);
    EXPECT_EQ(receive(DataFrom(kMemberPilot), kMemberIp), false);
    EXPECT_EQ(receive(DataFrom(kMemberPilot, kHostPilot), kMemberIp), std::nullopt);
    FillTable(peer.table(), false, session_flags::kNoMessageId);
    EXPECT_EQ(receive(PlayerData{{1}}, kHostIp), true);
}

// The rows of docs/directplay.md's table "Whom each message is taken from" are the rows of
// kTakenFrom, in the same order.
TEST(TakenFrom, TheDocumentedTableIsTheTableInTheCode) {
    std::ifstream doc(std::string(std::getenv("SCOPEWATCH_SOURCE_DIR")) + "/docs/directplay.md");
    std::string line;
    while (std::getline(doc, line) && line != "## Whom each message is taken from") {
    }
    while (std::getline(doc, line) && line != "|---|---|") {
    }
    const std::regex row(R"(^\| (.+?) \| .+ \|$)");
    std::smatch cells;
    for (const TakenFromRow& entry : kTakenFrom) {
        std::getline(doc, line);
        EXPECT_TRUE(std::regex_match(line, cells, row) && cells[1].str() == entry.messages) << line;
    }
    std::getline(doc, line);
    EXPECT_EQ(line, "");  // the documented table has no more rows
}

}  // namespace
}  // namespace scopewatch::directplay
