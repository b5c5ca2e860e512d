#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "directplay/DirectPlayClient.h"
#include "directplay/DirectPlayHost.h"
#include "support/DirectPlaySteps.h"
#include "support/DirectPlayTestPorts.h"

namespace scopewatch::testing {

// A machine's system player: its flags, id, dialect and the addresses of its machine.
inline directplay::PlayerInfo SystemPlayerOf(uint32_t flags, uint32_t id, uint32_t version,
                                             std::optional<directplay::SockAddr> stream = {},
                                             std::optional<directplay::SockAddr> datagram = {}) {
    directplay::PlayerInfo player;
    player.flags = flags;
    player.id = player.systemPlayerId = id;
    player.version = version;
    player.streamAddress = stream;
    player.datagramAddress = datagram;
    return player;
}

// A player of the machine whose system player is `machine`.
inline directplay::PlayerInfo PlayerOf(uint32_t id, uint32_t machine, std::u16string shortName,
                                       std::u16string longName = u"Pilot") {
    directplay::PlayerInfo player;
    player.id = id;
    player.systemPlayerId = machine;
    player.shortName = std::move(shortName);
    player.longName = std::move(longName);
    return player;
}

// Timings short enough for a loopback test to notice a lost peer within a second or two.
inline directplay::Timings FastTimings() {
    return {.replyTimeoutMs = 2000,
            .joinTimeoutMs = 4000,
            .addForwardWaitMs = 1500,
            .keepAliveMs = 100,
            .maxMissedPings = 3,
            .flushTimeoutMs = 500};
}

// Fast, but without keep-alive pings in the time of a test: a peer that is noticed gone was
// noticed through its connections.
inline directplay::Timings QuietTimings() {
    directplay::Timings timings = FastTimings();
    timings.keepAliveMs = 600000;
    return timings;
}

// Our host and our clients on the test ports of one enumeration port, on 127.0.0.1.
struct LoopbackSession {
    explicit LoopbackSession(uint16_t enumPort, directplay::Timings fastOrNot = FastTimings())
        : plan(DirectPlayTestPorts(enumPort)), timings(fastOrNot) {}

    // Hosts the session with a player "Host Pilot" of the host machine.
    void StartHost(const directplay::HostSettings& settings = {
                       u"Loopback Fly-in", 8, {}, directplay::session_flags::kKeepAlive}) {
        host = std::make_unique<directplay::DirectPlayHost>(plan, timings);
        ASSERT_TRUE(host->Start(settings).ok());
        hostPilot = host->CreatePlayer(u"Host Pilot", u"Pilot");
        ASSERT_GT(hostPilot, 0u);
    }

    std::unique_ptr<directplay::DirectPlayClient> Client() const {
        return std::make_unique<directplay::DirectPlayClient>(plan, timings);
    }

    struct Joined {
        std::unique_ptr<directplay::DirectPlayClient> client;
        uint32_t player = 0;  // 0 when no session was found
    };
    // A client that found the one session, joined it and created a player of that name.
    Joined Join(const std::u16string& name) const {
        Joined joined{Client(), 0};
        const auto sessions = EnumerateNow(*joined.client, "127.0.0.1", 2000);
        EXPECT_EQ(sessions.size(), 1u);
        if (!sessions.empty()) {
            const auto outcome = JoinNow(*joined.client, sessions[0]);
            EXPECT_TRUE(outcome.ok()) << outcome.failure;
            joined.player = CreatePlayerNow(*joined.client, name);
        }
        return joined;
    }

    directplay::PortPlan plan;
    directplay::Timings timings;
    std::unique_ptr<directplay::DirectPlayHost> host;
    uint32_t hostPilot = 0;
};

}  // namespace scopewatch::testing
