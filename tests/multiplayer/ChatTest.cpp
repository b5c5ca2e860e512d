#include <gtest/gtest.h>

#include "multiplayer/Chat.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/InMemorySession.h"
#include "multiplayer/MessageIntake.h"
#include "platform/CodePage.h"
#include "shared/ProgramState.h"

namespace scopewatch {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (int value : values) {
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return bytes;
}

TEST(Chat, SendingPadsTheTextWithZerosAndPutsTheOwnLineOnTop) {
    ProgramState state;
    InMemorySession session;
    session.AddPeer(101, "ATC");
    EXPECT_EQ(SendChat(session, state, "Hello"), std::nullopt);  // no player yet
    EXPECT_TRUE(session.sent.empty());

    state.myPlayerId = 101;
    EXPECT_EQ(SendChat(session, state, "Hello"), "ATC: Hello");
    EXPECT_EQ(session.sent.at(0).message.bytes(),
              Bytes({0x23, 0x10, 0, 0, 10, 0, 0, 0, 'H', 'e', 'l', 'l',
                     'o',  0,    0, 0, 0,  0, 0, 0, 0,   0,   0}));
    EXPECT_EQ(SendChat(session, state, ""), "ATC: ");
    EXPECT_EQ(session.sent.at(1).message.bytes(), Bytes({0x23, 0x10, 0, 0, 0, 0, 0, 0}));
    // A character Windows-1252 lacks travels as "?", as the line in the history shows it.
    EXPECT_EQ(SendChat(session, state, ToAnsi(QString::fromUtf8("\u20ac1 \u2192 2"))),
              "ATC: \x80"
              "1 ? 2");

    EXPECT_EQ(PrependChatLine(PrependChatLine("", "A: 1"), "B: 2"), "B: 2\r\nA: 1\r\n");
}

TEST(Chat, ReceivedLinesShowTheirTextWithoutZeroCharacters) {
    ProgramState state;
    state.myPlayerId = 101;
    InMemorySession session;
    session.AddPeer(7, "N172SP");
    MessageIntake intake(session, state);  // chat is read also before acceptance
    std::vector<std::string> lines;
    const auto tick = [&] {
        intake.ReceiveMessages([&](const std::string& line) { lines.push_back(line); });
    };

    SessionMessage one;
    one.WriteInt32(kinds::kChat);
    one.WriteInt32(1);
    one.WriteByte('x');
    session.Deliver(7, one);                           // length 1: nothing
    session.Deliver(7, MakeSimulatorChat("Hello"));    // length 6: "Hello" and a zero
    session.Deliver(7, MakeChat("Hi"));                // another copy of this program
    session.Deliver(7, MakeSimulatorChat("caf\xe9"));  // Windows-1252 stays as it is
    tick();
    EXPECT_EQ(lines, (std::vector<std::string>{"N172SP: Hello", "N172SP: Hi", "N172SP: caf\xe9"}));
}

}  // namespace
}  // namespace scopewatch
