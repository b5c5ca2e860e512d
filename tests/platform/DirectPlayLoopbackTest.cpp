// Our client against our host over real sockets on 127.0.0.1. Each test uses its own
// enumeration port, so tests running side by side never reach each other's host.
#include <gtest/gtest.h>

#include <QUdpSocket>
#include <memory>

#include "platform/DirectPlayClient.h"
#include "platform/DirectPlayHost.h"
#include "support/DirectPlayTestPorts.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::directplay {
namespace {

using testing::SpinUntil;

PortPlan Plan(uint16_t enumPort) {
    return testing::DirectPlayTestPorts(enumPort);
}

Timings Fast() {
    Timings timings;
    timings.replyTimeoutMs = 2000;
    timings.joinTimeoutMs = 4000;
    timings.addForwardWaitMs = 1500;
    timings.keepAliveMs = 100;
    timings.maxMissedPings = 3;
    timings.flushTimeoutMs = 500;
    return timings;
}

Bytes Payload(uint8_t tag) {
    return Bytes{0x23, 0x10, 0, 0, 1, 0, 0, 0, tag};
}

class Loopback : public ::testing::Test {
  protected:
    void StartHost(uint16_t enumPort, uint32_t maxPlayers = 8) {
        enumPort_ = enumPort;
        host_ = std::make_unique<DirectPlayHost>(Plan(enumPort), Fast());
        HostSettings settings;
        settings.sessionName = u"Loopback Fly-in";
        settings.maxPlayers = maxPlayers;
        ASSERT_EQ(host_->Start(settings), std::nullopt);
        hostPilot_ = host_->CreatePlayer(u"Host Pilot", u"Pilot");
        ASSERT_GT(hostPilot_, 0u);
    }

    std::unique_ptr<DirectPlayClient> JoinedClient(const std::u16string& name, uint32_t* playerId) {
        auto client = std::make_unique<DirectPlayClient>(Plan(enumPort_), Fast());
        const auto sessions = client->Enumerate("127.0.0.1", 2000);
        EXPECT_EQ(sessions.size(), 1u);
        if (sessions.empty()) {
            return client;
        }
        client->Join(sessions[0]);
        *playerId = client->CreatePlayer(name, u"Player");
        return client;
    }

    uint16_t enumPort_ = 0;
    std::unique_ptr<DirectPlayHost> host_;
    uint32_t hostPilot_ = 0;
};

TEST_F(Loopback, EnumerationFindsTheHostedSession) {
    StartHost(47690, 8);
    DirectPlayClient client(Plan(47690), Fast());
    const auto sessions = client.Enumerate("127.0.0.1", 2000);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].name, u"Loopback Fly-in");
    EXPECT_EQ(sessions[0].desc.currentPlayers, 1u);
    EXPECT_EQ(sessions[0].desc.maxPlayers, 8u);
    EXPECT_EQ(sessions[0].hostPort, host_->transport().streamPort());
    EXPECT_EQ(sessions[0].version, kNewestVersion);
    // Nobody listens on the neighbouring enumeration port: an empty list, no error.
    DirectPlayClient lonely(Plan(47699), Fast());
    EXPECT_TRUE(lonely.Enumerate("127.0.0.1", 300).empty());
}

TEST_F(Loopback, JoinedClientAndHostExchangeMessagesWithSenderIdsAndNames) {
    StartHost(47691);
    uint32_t atc = 0;
    auto client = JoinedClient(u"ATC", &atc);
    ASSERT_GT(atc, 0u);
    EXPECT_LE(atc, 0x7FFFFFFFu);  // positive as a signed id
    EXPECT_EQ(client->PlayerName(hostPilot_), u"Host Pilot");
    ASSERT_TRUE(SpinUntil([&] { return host_->HasPlayer(atc); }, 2000));
    EXPECT_EQ(host_->PlayerName(atc), u"ATC");
    EXPECT_EQ(host_->CurrentDesc().currentPlayers, 2u);

    client->SendToAll(atc, Payload(1));
    ASSERT_TRUE(SpinUntil([&] { return host_->WaitingCount() == 1; }, 2000));
    const auto atHost = host_->TakeDelivery();
    EXPECT_EQ(atHost->idFrom, atc);
    EXPECT_EQ(atHost->idTo, hostPilot_);
    EXPECT_EQ(atHost->payload, Payload(1));

    host_->SendToAll(hostPilot_, Payload(2));
    ASSERT_TRUE(SpinUntil([&] { return client->WaitingCount() == 1; }, 2000));
    const auto atClient = client->TakeDelivery();
    EXPECT_EQ(atClient->idFrom, hostPilot_);
    EXPECT_EQ(atClient->idTo, atc);
    EXPECT_EQ(atClient->payload, Payload(2));
}

TEST_F(Loopback, SecondClientJoinsAndBothSeeEachOther) {
    StartHost(47692);
    uint32_t first = 0;
    uint32_t second = 0;
    auto one = JoinedClient(u"Approach", &first);
    auto two = JoinedClient(u"Tower", &second);
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
    ASSERT_TRUE(SpinUntil([&] { return host_->WaitingCount() == 1; }, 2000));

    one->SendToAll(first, Payload(8));
    ASSERT_TRUE(SpinUntil([&] { return two->WaitingCount() == 1; }, 2000));
    const auto delivery = two->TakeDelivery();
    EXPECT_EQ(delivery->idFrom, first);
    EXPECT_EQ(delivery->payload, Payload(8));
}

TEST_F(Loopback, LeavingClientIsRemovedEverywhere) {
    StartHost(47693);
    uint32_t first = 0;
    uint32_t second = 0;
    auto one = JoinedClient(u"Leaver", &first);
    auto two = JoinedClient(u"Stayer", &second);
    ASSERT_TRUE(SpinUntil([&] { return two->HasPlayer(first) && host_->HasPlayer(second); }, 2000));
    std::vector<uint32_t> destroyed;
    two->SetPlayerListener([&](uint32_t id, bool created) {
        if (!created) {
            destroyed.push_back(id);
        }
    });
    one->Leave();
    ASSERT_TRUE(
        SpinUntil([&] { return !two->HasPlayer(first) && !host_->HasPlayer(first); }, 2000));
    EXPECT_EQ(destroyed, std::vector<uint32_t>{first});
    EXPECT_EQ(two->machines().size(), 1u);  // only the host remains
    EXPECT_EQ(host_->CurrentDesc().currentPlayers, 2u);
    EXPECT_FALSE(two->lost());
}

TEST_F(Loopback, HostEndingTheSessionIsNoticed) {
    StartHost(47694);
    uint32_t atc = 0;
    auto client = JoinedClient(u"ATC", &atc);
    host_->Stop();
    ASSERT_TRUE(SpinUntil([&] { return client->lost(); }, 2000));
    EXPECT_EQ(client->lostReason(), "the host ended the session");
}

TEST_F(Loopback, OnlyTheHostCanDeclareUsDead) {
    StartHost(47689);
    uint32_t atc = 0;
    auto client = JoinedClient(u"ATC", &atc);
    const Bytes dead = Encode(YouAreDead{}, SockAddr{host_->transport().streamPort(), 0}, 14);
    QUdpSocket stranger;
    ASSERT_TRUE(stranger.bind(QHostAddress("127.0.0.2"), 0));
    stranger.writeDatagram(reinterpret_cast<const char*>(dead.data()),
                           static_cast<qint64>(dead.size()), QHostAddress::LocalHost,
                           client->transport().datagramPort());
    testing::Spin(200);
    EXPECT_FALSE(client->lost());
    host_->transport().SendDatagram(QHostAddress::LocalHost, client->transport().datagramPort(),
                                    dead);
    ASSERT_TRUE(SpinUntil([&] { return client->lost(); }, 2000));
    EXPECT_EQ(client->lostReason(), "the host removed this machine from the session");
}

TEST_F(Loopback, VanishedHostIsNoticedByKeepAlive) {
    StartHost(47695);
    uint32_t atc = 0;
    auto client = JoinedClient(u"ATC", &atc);
    ASSERT_GT(atc, 0u);
    host_->transport().Close();  // gone without a word
    ASSERT_TRUE(SpinUntil([&] { return client->lost(); }, 3000));
    EXPECT_NE(client->lostReason().find("the host at 127.0.0.1"), std::string::npos);
}

TEST_F(Loopback, VanishedClientIsDroppedAndTheOthersAreTold) {
    StartHost(47696);
    uint32_t first = 0;
    uint32_t second = 0;
    auto one = JoinedClient(u"Crasher", &first);
    auto two = JoinedClient(u"Survivor", &second);
    ASSERT_TRUE(SpinUntil([&] { return two->HasPlayer(first); }, 2000));
    one->transport().Close();
    ASSERT_TRUE(
        SpinUntil([&] { return !two->HasPlayer(first) && !host_->HasPlayer(first); }, 4000));
    EXPECT_EQ(two->machines().count(one->systemId()), 0u);
    EXPECT_FALSE(two->lost());
}

TEST_F(Loopback, FullSessionRefusesTheJoin) {
    StartHost(47697, 1);  // the host pilot fills it
    DirectPlayClient client(Plan(47697), Fast());
    // A full session is not offered to "available only" enumerations.
    EXPECT_TRUE(client.Enumerate("127.0.0.1", 300).empty());
    FoundSession session;
    session.hostIp = QHostAddress::LocalHost;
    session.hostPort = host_->transport().streamPort();
    try {
        client.Join(session);
        FAIL() << "joined a full session";
    } catch (const DirectPlayError& error) {
        EXPECT_NE(std::string(error.what()).find("accepts no new players"), std::string::npos);
    }
}

TEST_F(Loopback, JoiningAnAbsentHostFailsWithAReadableReason) {
    DirectPlayClient client(Plan(47698), Fast());
    FoundSession session;
    session.hostIp = QHostAddress::LocalHost;
    session.hostPort = Plan(47698).rangeLast;  // nothing listens there
    try {
        client.Join(session);
        FAIL() << "joined nobody";
    } catch (const DirectPlayError& error) {
        EXPECT_NE(std::string(error.what()).find("refused the connection"), std::string::npos)
            << error.what();
    }
    // The same client can try again once a host is there.
    StartHost(47698);
    const auto sessions = client.Enumerate("127.0.0.1", 1000);
    ASSERT_EQ(sessions.size(), 1u);
    client.Join(sessions[0]);
    EXPECT_TRUE(client.joined());
}

}  // namespace
}  // namespace scopewatch::directplay
