// The demo session host's answer to simulators. (Its pilots flying the demo airport, admitting
// the controller, the traffic, the chat, the removal and the silence: the live runs in
// tests/app.)
#include <gtest/gtest.h>

#include "demohost/DemoSessionHost.h"
#include "demohost/DemoTrafficPlan.h"
#include "support/DirectPlayTestPorts.h"
#include "support/Golden.h"
#include "support/ScriptedMachine.h"

namespace scopewatch::demo {
namespace {

// A simulator looks for sessions of its own application: the demo host answers it, as it
// answers a request for every application, and logs which application was asked for.
TEST(DemoSessionHost, AnswersSimulatorsThatAskForTheirOwnApplicationOnly) {
    DemoHostOptions options;
    options.ports = testing::DirectPlayTestPorts(47714);
    options.chatEverySeconds = 0;
    std::vector<std::string> log;
    DemoSessionHost host(options, FallbackAirportPlan(),
                         [&log](const std::string& line) { log.push_back(line); });
    ASSERT_EQ(host.Start(), std::nullopt);
    testing::ScriptedMachine simulator;
    const auto ask = [&](const directplay::Guid& application) {
        directplay::EnumSessions request;
        request.application = application;
        simulator.SendTo(options.ports.enumPort,
                         directplay::Encode(request, simulator.address(), 11));
        return simulator.Take(directplay::kEnumSessionsReply, 1000);
    };
    const auto reply = ask(kFlightSimulatorApplication);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(std::get<directplay::EnumSessionsReply>(reply->decoded.message).desc.application,
              kFlightSimulatorApplication);
    EXPECT_TRUE(ask(directplay::Guid{}).has_value());
    EXPECT_FALSE(ask(directplay::Guid{1}).has_value());
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
        return line.find(
                   "ENUMSESSIONS flags 0x1 application "
                   "{CC080A27-6D4E-11D0-8E21-00A0C90542EF}") != std::string::npos;
    }));
}

// The log names each game message by its kind, and an unknown kind as such.
TEST(DemoSessionHost, TheLogNamesEveryGameMessageKind) {
    std::string names;
    for (const int32_t kind : {kinds::kJoinRequest, kinds::kPlayerPresent, kinds::kKeepAlive,
                               kinds::kRefused, kinds::kIdentifyRequest, kinds::kJoinNotice,
                               kinds::kAircraftInfo, kinds::kAircraftInfoRequest, kinds::kRemoved,
                               kinds::kPositionShort, kinds::kPositionLong, kinds::kChat, 0x7777}) {
        names += KindName(kind) + "\n";
    }
    testing::ExpectTextMatchesGolden(names, "demohost/kind-names.txt",
                                     "the demo host log's name of each game message kind");
}

}  // namespace
}  // namespace scopewatch::demo
