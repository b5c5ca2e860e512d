// The demo host end to end, driven through the session service the way the scope drives it.
#include <gtest/gtest.h>

#include <set>

#include "demohost/DemoSessionHost.h"
#include "multiplayer/DirectPlaySession.h"
#include "support/DirectPlayTestPorts.h"
#include "support/ScriptedMachine.h"
#include "support/SessionSteps.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::demo {
namespace {

using testing::SpinUntil;

DemoHostOptions HostOptions(uint16_t enumPort) {
    DemoHostOptions options;
    options.ports = testing::DirectPlayTestPorts(enumPort);
    options.tickMs = 50;  // a "second" of the pilots is one tick
    options.chatEverySeconds = 0;
    return options;
}

// A received message with its head read; `rest` continues with the payload.
struct Seen {
    int32_t from;
    int32_t kind;
    int32_t length;
    SessionMessage rest;
};

class DemoHostEndToEnd : public ::testing::Test {
  protected:
    void Start(DemoHostOptions options) {
        DirectPlaySessionOptions client;  // our client on the ports of the host's test
        client.ports = options.ports;
        client.enumerationWindowMs = 1500;
        host_ = std::make_unique<DemoSessionHost>(
            std::move(options), FallbackAirportPlan(),
            [this](const std::string& line) { log_.push_back(line); });
        ASSERT_EQ(host_->Start(), std::nullopt);
        session_ = std::make_unique<DirectPlaySession>(
            [] { return std::optional<std::string>("127.0.0.1"); }, client);
        session_->InitialiseConnection(2);
        ASSERT_EQ(testing::ListNow(*session_).size(), 1u);
        testing::JoinNow(*session_, 1);
        me_ = testing::CreatePlayerNow(*session_, "ATC");
        ASSERT_GT(me_, 0);
    }

    // Waits until a message of that kind arrives that `match` (if any) accepts; keeps the
    // kinds of all it read.
    std::optional<Seen> WaitFor(int32_t kind, const std::function<bool(Seen&)>& match = {}) {
        std::optional<Seen> found;
        SpinUntil(
            [&] {
                while (!found && session_->WaitingMessageCount(me_) > 0) {
                    ReceivedMessage received = session_->Receive();
                    const MessageHead head = ReadHead(received.message);
                    Seen seen{received.fromId, head.kind, head.length, received.message};
                    kindsSeen_.insert(head.kind);
                    Seen probe = seen;
                    try {
                        if (head.kind == kind && (!match || match(probe))) {
                            found = seen;
                        }
                    } catch (const SessionError&) {
                        // a message that does not fit the matcher is just not the one
                    }
                }
                return found.has_value();
            },
            3000);
        return found;
    }

    std::vector<std::string> log_;
    std::unique_ptr<DemoSessionHost> host_;
    std::unique_ptr<DirectPlaySession> session_;
    int32_t me_ = 0;
    std::set<int32_t> kindsSeen_;
};

// Admitted, the controller hears the pilots' positions in both forms and the keep-alives, and
// gets the aircraft information it asks for; the host logs what it receives. (The pilots'
// announcements and their chat: the end-to-end run.)
TEST_F(DemoHostEndToEnd, AdmitsTheControllerThenTrafficFlows) {
    Start(HostOptions(47710));
    session_->SendToAll(me_, MakeSignal(kinds::kJoinRequest));
    ASSERT_TRUE(WaitFor(kinds::kPlayerPresent, [&](Seen& seen) {
        return seen.rest.ReadInt32() == me_;
    })) << "no 0x1003 with our id";

    const auto position = WaitFor(kinds::kPositionLong);
    ASSERT_TRUE(position);
    EXPECT_EQ(session_->PlayerName(position->from), "DAL1842");
    EXPECT_TRUE(WaitFor(kinds::kPositionShort));
    EXPECT_TRUE(kindsSeen_.count(kinds::kKeepAlive) || WaitFor(kinds::kKeepAlive));

    session_->SendToAll(me_, MakeSignal(kinds::kAircraftInfoRequest));
    auto info = WaitFor(kinds::kAircraftInfo,
                        [&](Seen& seen) { return session_->PlayerName(seen.from) == "UAL913"; });
    ASSERT_TRUE(info);
    const AircraftInfo aircraft = ReadAircraftInfo(info->rest, info->length);
    EXPECT_EQ(aircraft.typeCode, 1);
    EXPECT_EQ(aircraft.title, "Airbus A320");

    EXPECT_EQ(host_->AdmittedControllers(), std::vector<uint32_t>{static_cast<uint32_t>(me_)});
    // The host logged what it received, one readable line per message.
    EXPECT_NE(
        std::find(log_.begin(), log_.end(),
                  "received 0x1001 join request from ATC (" + std::to_string(me_) + ") length 0"),
        log_.end());
}

// Asked to, the host refuses the controller. (Its removal and its silence end the sessions
// of the hostile-network tests.)
TEST_F(DemoHostEndToEnd, RefusesWhenAskedTo) {
    DemoHostOptions options = HostOptions(47711);
    options.refuseControllers = true;
    Start(options);
    session_->SendToAll(me_, MakeSignal(kinds::kJoinRequest));
    EXPECT_TRUE(WaitFor(kinds::kRefused));
    EXPECT_TRUE(host_->AdmittedControllers().empty());
}

// A simulator looks for sessions of its own application: the demo host answers it, as it
// answers a request for every application, and logs which application was asked for.
TEST(DemoSessionHost, AnswersSimulatorsThatAskForTheirOwnApplicationOnly) {
    std::vector<std::string> log;
    DemoSessionHost host(HostOptions(47714), FallbackAirportPlan(),
                         [&log](const std::string& line) { log.push_back(line); });
    ASSERT_EQ(host.Start(), std::nullopt);
    testing::ScriptedMachine simulator;
    const auto ask = [&](const directplay::Guid& application) {
        directplay::EnumSessions request;
        request.application = application;
        simulator.SendTo(host.host().transport().plan().enumPort,
                         directplay::Encode(request, simulator.address(), 11));
        return simulator.Take(directplay::kEnumSessionsReply, 1000);
    };
    const auto reply = ask(kFlightSimulatorApplication);
    ASSERT_TRUE(reply.has_value());
    const auto& answer = std::get<directplay::EnumSessionsReply>(reply->decoded.message);
    EXPECT_EQ(answer.desc.application, kFlightSimulatorApplication);
    EXPECT_TRUE(ask(directplay::Guid{}).has_value());
    EXPECT_FALSE(ask(directplay::Guid{1}).has_value());
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
        return line.find(
                   "ENUMSESSIONS flags 0x1 application "
                   "{CC080A27-6D4E-11D0-8E21-00A0C90542EF}") != std::string::npos;
    }));
}

}  // namespace
}  // namespace scopewatch::demo
