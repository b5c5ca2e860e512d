// Our client against our host over real sockets on 127.0.0.1. Each test uses its own
// enumeration port, so tests running side by side never reach each other's host.
#include <gtest/gtest.h>

#include <QUdpSocket>
#include <memory>

#include "support/DirectPlayLoopback.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::directplay {
namespace {

using testing::LoopbackSession;
using testing::SpinUntil;

Bytes Payload(uint8_t tag) {
    return Bytes{0x23, 0x10, 0, 0, 1, 0, 0, 0, tag};
}

// A join that must fail, with a reason containing `reason`.
void ExpectJoinRefused(DirectPlayClient& client, const FoundSession& session,
                       const std::string& reason) {
    try {
        client.Join(session);
        FAIL() << "joined";
    } catch (const DirectPlayError& error) {
        EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
    }
}

TEST(Loopback, EnumerationFindsTheHostedSession) {
    LoopbackSession s(47690);
    s.StartHost();
    const auto sessions = s.Client()->Enumerate("127.0.0.1", 2000);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].name, u"Loopback Fly-in");
    EXPECT_EQ(sessions[0].desc.currentPlayers, 1u);
    EXPECT_EQ(sessions[0].desc.maxPlayers, 8u);
    EXPECT_EQ(sessions[0].hostPort, s.host->transport().streamPort());
    EXPECT_EQ(sessions[0].version, kNewestVersion);
    // Nobody listens on the neighbouring enumeration port: an empty list, no error.
    EXPECT_TRUE(LoopbackSession(47699).Client()->Enumerate("127.0.0.1", 300).empty());
}

TEST(Loopback, JoinedClientAndHostExchangeMessagesWithSenderIdsAndNames) {
    LoopbackSession s(47691);
    s.StartHost();
    uint32_t atc = 0;
    auto client = s.JoinedClient(u"ATC", &atc);
    ASSERT_GT(atc, 0u);
    EXPECT_LE(atc, 0x7FFFFFFFu);  // positive as a signed id
    EXPECT_EQ(client->PlayerName(s.hostPilot), u"Host Pilot");
    ASSERT_TRUE(SpinUntil([&] { return s.host->HasPlayer(atc); }, 2000));
    EXPECT_EQ(s.host->PlayerName(atc), u"ATC");
    EXPECT_EQ(s.host->CurrentDesc().currentPlayers, 2u);

    client->SendToAll(atc, Payload(1));
    ASSERT_TRUE(SpinUntil([&] { return s.host->WaitingCount() == 1; }, 2000));
    const auto atHost = s.host->TakeDelivery();
    EXPECT_EQ(atHost->idFrom, atc);
    EXPECT_EQ(atHost->idTo, s.hostPilot);
    EXPECT_EQ(atHost->payload, Payload(1));

    s.host->SendToAll(s.hostPilot, Payload(2));
    ASSERT_TRUE(SpinUntil([&] { return client->WaitingCount() == 1; }, 2000));
    const auto atClient = client->TakeDelivery();
    EXPECT_EQ(atClient->idFrom, s.hostPilot);
    EXPECT_EQ(atClient->idTo, atc);
    EXPECT_EQ(atClient->payload, Payload(2));
}

TEST(Loopback, SecondClientJoinsAndBothSeeEachOther) {
    LoopbackSession s(47692);
    s.StartHost();
    uint32_t first = 0;
    uint32_t second = 0;
    auto one = s.JoinedClient(u"Approach", &first);
    auto two = s.JoinedClient(u"Tower", &second);
    ASSERT_GT(second, 0u);
    // The first client learnt about the second machine through the host, and about its
    // player from the second client directly.
    ASSERT_TRUE(SpinUntil([&] { return one->HasPlayer(second); }, 2000));
    EXPECT_EQ(one->PlayerName(second), u"Tower");
    EXPECT_EQ(two->PlayerName(first), u"Approach");
    EXPECT_EQ(one->machines().size(), 2u);

    two->SendToAll(second, Payload(7));
    ASSERT_TRUE(SpinUntil([&] { return one->WaitingCount() == 1; }, 2000));
    EXPECT_EQ(one->TakeDelivery()->idFrom, second);
    ASSERT_TRUE(SpinUntil([&] { return s.host->WaitingCount() == 1; }, 2000));

    one->SendToAll(first, Payload(8));
    ASSERT_TRUE(SpinUntil([&] { return two->WaitingCount() == 1; }, 2000));
    const auto delivery = two->TakeDelivery();
    EXPECT_EQ(delivery->idFrom, first);
    EXPECT_EQ(delivery->payload, Payload(8));
}

TEST(Loopback, LeavingClientIsRemovedEverywhere) {
    LoopbackSession s(47693);
    s.StartHost();
    uint32_t first = 0;
    uint32_t second = 0;
    auto one = s.JoinedClient(u"Leaver", &first);
    auto two = s.JoinedClient(u"Stayer", &second);
    ASSERT_TRUE(
        SpinUntil([&] { return two->HasPlayer(first) && s.host->HasPlayer(second); }, 2000));
    std::vector<uint32_t> destroyed;
    two->SetPlayerListener([&](uint32_t id, bool created) {
        if (!created) {
            destroyed.push_back(id);
        }
    });
    one->Leave();
    ASSERT_TRUE(
        SpinUntil([&] { return !two->HasPlayer(first) && !s.host->HasPlayer(first); }, 2000));
    EXPECT_EQ(destroyed, std::vector<uint32_t>{first});
    EXPECT_EQ(two->machines().size(), 1u);  // only the host remains
    EXPECT_EQ(s.host->CurrentDesc().currentPlayers, 2u);
    EXPECT_FALSE(two->lost());
}

TEST(Loopback, HostEndingTheSessionIsNoticed) {
    LoopbackSession s(47694);
    s.StartHost();
    uint32_t atc = 0;
    auto client = s.JoinedClient(u"ATC", &atc);
    s.host->Stop();
    ASSERT_TRUE(SpinUntil([&] { return client->lost(); }, 2000));
    EXPECT_EQ(client->lostReason(), "the host ended the session");
}

TEST(Loopback, OnlyTheHostCanDeclareUsDead) {
    LoopbackSession s(47689);
    s.StartHost();
    uint32_t atc = 0;
    auto client = s.JoinedClient(u"ATC", &atc);
    const Bytes dead = Encode(YouAreDead{}, SockAddr{s.host->transport().streamPort(), 0}, 14);
    QUdpSocket stranger;
    ASSERT_TRUE(stranger.bind(QHostAddress("127.0.0.2"), 0));
    stranger.writeDatagram(reinterpret_cast<const char*>(dead.data()),
                           static_cast<qint64>(dead.size()), QHostAddress::LocalHost,
                           client->transport().datagramPort());
    testing::Spin(200);
    EXPECT_FALSE(client->lost());
    s.host->transport().SendDatagram(QHostAddress::LocalHost, client->transport().datagramPort(),
                                     dead);
    ASSERT_TRUE(SpinUntil([&] { return client->lost(); }, 2000));
    EXPECT_EQ(client->lostReason(), "the host removed this machine from the session");
}

TEST(Loopback, VanishedHostIsNoticedByKeepAlive) {
    LoopbackSession s(47695);
    s.StartHost();
    uint32_t atc = 0;
    auto client = s.JoinedClient(u"ATC", &atc);
    ASSERT_GT(atc, 0u);
    s.host->transport().Close();  // gone without a word
    ASSERT_TRUE(SpinUntil([&] { return client->lost(); }, 3000));
    EXPECT_NE(client->lostReason().find("the host at 127.0.0.1"), std::string::npos);
}

TEST(Loopback, VanishedClientIsDroppedAndTheOthersAreTold) {
    LoopbackSession s(47696);
    s.StartHost();
    uint32_t first = 0;
    uint32_t second = 0;
    auto one = s.JoinedClient(u"Crasher", &first);
    auto two = s.JoinedClient(u"Survivor", &second);
    ASSERT_TRUE(SpinUntil([&] { return two->HasPlayer(first); }, 2000));
    one->transport().Close();
    ASSERT_TRUE(
        SpinUntil([&] { return !two->HasPlayer(first) && !s.host->HasPlayer(first); }, 4000));
    EXPECT_EQ(two->machines().count(one->systemId()), 0u);
    EXPECT_FALSE(two->lost());
}

TEST(Loopback, FullSessionRefusesTheJoin) {
    LoopbackSession s(47697);
    s.StartHost({u"Full", 1, {}, session_flags::kKeepAlive});  // the host pilot fills it
    const auto client = s.Client();
    // A full session is not offered to "available only" enumerations.
    EXPECT_TRUE(client->Enumerate("127.0.0.1", 300).empty());
    FoundSession session;
    session.hostIp = QHostAddress::LocalHost;
    session.hostPort = s.host->transport().streamPort();
    ExpectJoinRefused(*client, session, "accepts no new players");
}

TEST(Loopback, JoiningAnAbsentHostFailsWithAReadableReason) {
    LoopbackSession s(47698);
    const auto client = s.Client();
    FoundSession session;
    session.hostIp = QHostAddress::LocalHost;
    session.hostPort = s.plan.rangeLast;  // nothing listens there
    ExpectJoinRefused(*client, session, "refused the connection");
    // The same client can try again once a host is there.
    s.StartHost();
    const auto sessions = client->Enumerate("127.0.0.1", 1000);
    ASSERT_EQ(sessions.size(), 1u);
    client->Join(sessions[0]);
    EXPECT_TRUE(client->joined());
}

}  // namespace
}  // namespace scopewatch::directplay
