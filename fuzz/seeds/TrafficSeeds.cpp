#include "TrafficSeeds.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <stdexcept>

#include "SeedFolder.h"
#include "demohost/DemoSessionHost.h"
#include "demohost/DemoTrafficPlan.h"
#include "directplay/DirectPlayClient.h"
#include "directplay/DirectPlayHost.h"
#include "multiplayer/GameMessages.h"
#include "shared/ByteWriter.h"
#include "shared/MalformedBytes.h"
#include "support/DirectPlaySteps.h"

namespace scopewatch::fuzzing {
namespace {

using namespace directplay;

// Keeps the first message of every kind: the system messages under their command's
// name, player data under the game message kind it carries.
class Recorder {
  public:
    Recorder(const std::filesystem::path& out, std::string direction)
        : messages_(out, "directplay-codec"),
          games_(out, "game-messages"),
          direction_(std::move(direction)) {}

    // The machines hand on decoded messages only. Both ends write with our encoder, whose
    // output decoded and encoded again gives the same bytes (the fuzz targets check that),
    // so encoding the message again gives what was on the wire.
    void Record(const Decoded& decoded) {
        const Bytes wire = Encode(decoded.message, decoded.sender, decoded.version);
        if (const auto* data = std::get_if<PlayerData>(&decoded.message)) {
            const auto parts = SplitPlayerData(*data);
            const std::string kind = parts ? GameKind(parts->payload) : "short";
            if (Keep("data-" + kind)) {
                messages_.Add(direction_ + "-data-" + kind, wire);
                if (parts) {
                    games_.Add(direction_ + "-" + kind, parts->payload);
                }
            }
            return;
        }
        const std::string name = CommandName(decoded);
        if (Keep(name)) {
            messages_.Add(direction_ + "-" + name, wire);
        }
    }

  private:
    static std::string GameKind(const Bytes& payload) {
        SessionMessage message(payload);
        try {
            char text[16];
            std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(ReadHead(message).kind));
            return text;
        } catch (const MalformedBytes&) {
            return "short";
        }
    }
    // The command's name as the log writes it, in lower case.
    static std::string CommandName(const Decoded& decoded) {
        const std::string described = Describe(decoded);
        std::string name;
        for (char c : described.substr(0, described.find(' '))) {
            name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
        return name;
    }
    bool Keep(const std::string& key) { return ++seen_[key] == 1; }

    SeedFolder messages_;
    SeedFolder games_;
    std::string direction_;
    std::map<std::string, int> seen_;
};

// A client or host that records every message it takes.
template <typename Peer>
class Recording : public Peer {
  public:
    Recording(PortPlan plan, Timings timings, Recorder& recorder) : Peer(std::move(plan), timings) {
        this->peer().SetMessageObserver(
            [&recorder](const Decoded& decoded) { recorder.Record(decoded); });
    }
};
using RecordingClient = Recording<DirectPlayClient>;
using RecordingHost = Recording<DirectPlayHost>;

// Ports on 127.0.0.1 apart from the tests' (47600 to 47799 and their session ports).
PortPlan LoopbackPorts(uint16_t enumPort, uint16_t first) {
    PortPlan plan;
    plan.enumPort = enumPort;
    plan.rangeFirst = first;
    plan.rangeLast = static_cast<uint16_t>(first + 9);
    plan.bindAddress = QHostAddress::LocalHost;
    return plan;
}

// Short enough for pings and their replies within a run of a few seconds.
Timings QuickTimings() {
    Timings timings;
    timings.replyTimeoutMs = 2000;
    timings.joinTimeoutMs = 4000;
    timings.addForwardWaitMs = 1500;
    timings.keepAliveMs = 200;
    timings.maxMissedPings = 20;
    timings.flushTimeoutMs = 500;
    return timings;
}

// Joins the session at 127.0.0.1 and creates a player; returns its id.
uint32_t JoinAs(DirectPlayClient& client, const std::u16string& name) {
    const std::vector<FoundSession> sessions = testing::EnumerateNow(client, "127.0.0.1", 1500);
    if (sessions.empty()) {
        throw std::runtime_error("no session answered on 127.0.0.1");
    }
    const auto joined = testing::JoinNow(client, sessions.front());
    if (!joined.ok()) {
        throw std::runtime_error("the join failed: " + joined.failure);
    }
    return testing::CreatePlayerNow(client, name, u"Controller");
}

// What a controller sends: asks to join, for identification and aircraft information, talks.
void SendControllerMessages(DirectPlayClient& client, uint32_t player) {
    for (const SessionMessage& message :
         {MakeSignal(kinds::kJoinRequest), MakeSignal(kinds::kIdentifyRequest),
          MakeSignal(kinds::kAircraftInfoRequest), MakeChat("cleared to land runway 17")}) {
        client.SendToAll(player, message.bytes());
    }
}

void RecordDemoHostTraffic(const std::filesystem::path& out) {
    Recorder recorder(out, "to-client");
    demo::DemoHostOptions options;
    options.ports = LoopbackPorts(47590, 19800);
    options.timings = QuickTimings();
    options.tickMs = 100;
    options.chatEverySeconds = 3;
    demo::DemoSessionHost host(options, demo::DemoLargeAirportPlan(), {});
    if (const Status started = host.Start(); !started.ok()) {
        throw std::runtime_error("the demo host did not start: " + started.failure);
    }
    RecordingClient client(options.ports, options.timings, recorder);
    const uint32_t player = JoinAs(client, u"ATC");
    SendControllerMessages(client, player);
    testing::Spin(3000);
    client.Leave();
    host.Stop();
}

void RecordHostIntake(const std::filesystem::path& out) {
    Recorder toHost(out, "to-host");
    Recorder toClient(out, "between-clients");
    const PortPlan ports = LoopbackPorts(47591, 19810);
    RecordingHost host(ports, QuickTimings(), toHost);
    const Status started = host.Start({u"Seed Fly-in", 8, {}, session_flags::kKeepAlive});
    if (!started.ok()) {
        throw std::runtime_error("our host did not start: " + started.failure);
    }
    host.CreatePlayer(u"N172SP", u"Cessna Skyhawk");
    RecordingClient first(ports, QuickTimings(), toClient);
    const uint32_t firstPlayer = JoinAs(first, u"ATC");
    RecordingClient second(ports, QuickTimings(), toClient);
    const uint32_t secondPlayer = JoinAs(second, u"Tower");
    SendControllerMessages(first, firstPlayer);
    SendControllerMessages(second, secondPlayer);
    testing::Spin(1500);
    second.Leave();
    testing::Spin(500);
    first.Leave();
    host.Stop();
}

// Player data inside a system message (command 0x19): idFrom, idTo, then a keep-alive.
Bytes WrappedPlayerData(SockAddr sender) {
    Bytes bytes = Encode(Unhandled{kPlayerWrapper}, sender, kNewestVersion);
    const Bytes body = EncodePlayerData(sender, 0x1234, 0, MakeSignal(kinds::kKeepAlive).bytes());
    bytes.insert(bytes.end(), body.begin() + kPrefixSize, body.end());
    ByteWriter framed(std::move(bytes));
    framed.UInt32At(prefix::kSizeWord, SizeWord(framed.Size(), kTokenSend));
    return framed.Take();
}

// The kinds the sessions above do not send, made by the encoder and the game messages'
// writers.
void WriteMadeSeeds(const std::filesystem::path& out) {
    const SeedFolder messages(out, "directplay-codec");
    const SockAddr sender{2300, 0x7F000001};
    SessionDesc desc;
    desc.maxPlayers = 8;
    desc.currentPlayers = 3;
    messages.Add("made-youaredead", Encode(YouAreDead{}, sender, kNewestVersion));
    messages.Add("made-sessiondescchanged",
                 Encode(SessionDescChanged{0, desc, u"Renamed Fly-in"}, sender, kNewestVersion));
    messages.Add("made-playernamechanged",
                 Encode(PlayerNameChanged{0, 0x1234, u"DAL1842", u"Boeing 737"}, sender, 12));
    messages.Add("made-addforwardreply",
                 Encode(AddForwardReply{kErrorNoNewPlayers}, sender, kNewestVersion));
    messages.Add("made-wrapped-data", WrappedPlayerData(sender));
    messages.Add("made-enumsessions-password",
                 Encode(EnumSessions{{}, enum_flags::kAll, u"secret"}, sender, kOldestVersion));
    const SeedFolder games(out, "game-messages");
    games.Add("made-refused", MakeSignal(kinds::kRefused).bytes());
    games.Add("made-removed", MakeSignal(kinds::kRemoved).bytes());
    games.Add("made-join-notice", MakeSignal(kinds::kJoinNotice).bytes());
    games.Add("made-simulator-chat", MakeSimulatorChat("roger").bytes());
}

}  // namespace

void WriteTrafficSeeds(const std::filesystem::path& out) {
    RecordDemoHostTraffic(out);
    RecordHostIntake(out);
    WriteMadeSeeds(out);
}

void WriteEncoderSeeds(const std::filesystem::path& out) {
    const SeedFolder seeds(out, "directplay-encode");
    uint32_t state = 12345;
    for (int seed = 0; seed < 17; ++seed) {
        Bytes input(64 + 16 * static_cast<size_t>(seed));
        for (uint8_t& byte : input) {
            state = state * 1103515245U + 12345U;
            byte = static_cast<uint8_t>(state >> 16);
        }
        input.back() = static_cast<uint8_t>(seed);  // the kind is taken from the end
        seeds.Add("random-" + std::to_string(seed), input);
    }
}

}  // namespace scopewatch::fuzzing
