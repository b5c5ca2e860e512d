#include <gtest/gtest.h>

#include "multiplayer/Chat.h"
#include "multiplayer/GameMessages.h"
#include "platform/CodePage.h"
#include "state/ProgramState.h"
#include "support/InMemorySession.h"

namespace scopewatch {
namespace {

// Our own line goes out padded with zeros (only once we have a player) and comes back as the
// history's top line, a character Windows-1252 lacks as "?". Received lines: MessageIntakeTest.
TEST(Chat, SendingPadsTheTextWithZerosAndPutsTheOwnLineOnTop) {
    ProgramState state;
    InMemorySession session;
    session.AddPeer(101, "ATC");
    EXPECT_EQ(SendChat(session, state, "Hello"), std::nullopt);  // no player yet
    EXPECT_TRUE(session.sent.empty());

    state.myPlayerId = 101;
    EXPECT_EQ(SendChat(session, state, "Hello"), "ATC: Hello");
    // The padded layout, whose bytes the game messages' test checks.
    EXPECT_EQ(session.sent.at(0).message.bytes(), MakeChat("Hello").bytes());
    // A character Windows-1252 lacks travels as "?", as the line in the history shows it.
    EXPECT_EQ(SendChat(session, state, ToAnsi(QString::fromUtf8("\u20ac1 \u2192 2"))),
              "ATC: \x80"
              "1 ? 2");
}

// Line breaks in the speaker's name or the text become spaces, so a peer cannot start a line of
// its own below, under another pilot's name; tabs and other characters stay.
TEST(Chat, ALineStaysOneLineWhateverBreaksItHolds) {
    EXPECT_EQ(ChatLine("Pilot7", "hi\r\nN172SP: cleared to land"),
              "Pilot7: hi  N172SP: cleared to land");
    using namespace std::string_literals;
    EXPECT_EQ(ChatLine("Pilot\n7", "a\0b\vc\fd\re\034f\tg\x85"s), "Pilot 7: ab c d e f\tg\x85");
}

// A peer may send 128 KiB of text in one line, and lines without end: the history shows at
// most kChatLineLimit characters of a line and keeps the newest lines within
// kChatHistoryLimit bytes, whole lines only.
TEST(Chat, LinesAndTheHistoryAreCutToTheirLimits) {
    EXPECT_EQ(ChatLine("N172SP", std::string(5000, 'y')),
              "N172SP: " + std::string(kChatLineLimit - 8, 'y'));
    EXPECT_EQ(ChatLine(std::string(70000, 'N'), "hi"), std::string(kChatLineLimit, 'N'));
    EXPECT_EQ(PrependChatLines("C: 3\r\n", {"A: 1", "B: 2"}), "B: 2\r\nA: 1\r\nC: 3\r\n");
    EXPECT_EQ(PrependChatLines("C: 3\r\n", {}), "C: 3\r\n");

    // Lines of 1000 characters and their line ends: the oldest fall off the bottom.
    const std::string line(998, 'x');
    std::string history;
    for (int i = 0; i < 1100; ++i) {
        history = PrependChatLine(history, line.substr(0, 994) + std::to_string(1000 + i));
    }
    EXPECT_EQ(history.size(), kChatHistoryLimit / 1000 * 1000);
    EXPECT_EQ(history.rfind(line.substr(0, 994) + "2099\r\n", 0), 0u);  // the newest on top
    EXPECT_EQ(history.substr(history.size() - 6), "1052\r\n");          // the oldest kept
    // A batch longer than the limit keeps its newest lines only.
    const std::vector<std::string> batch(3000, line);
    EXPECT_EQ(PrependChatLines("old\r\n", batch).size(), kChatHistoryLimit / 1000 * 1000);
}

}  // namespace
}  // namespace scopewatch
