#include <gtest/gtest.h>

#include "multiplayer/Chat.h"

namespace scopewatch {
namespace {

// Line breaks in the speaker's name or the text become spaces, so a peer cannot start a line of
// its own below, under another pilot's name; tabs and other characters stay. (Sending our own
// line, and received lines: the main window's tests and MessageIntakeTest.)
TEST(Chat, ALineStaysOneLineWhateverBreaksItHolds) {
    using namespace std::string_literals;
    EXPECT_EQ(ChatLine("Pilot\n7", "hi\r\nN1: a\0b\vc\fd\re\034f\tg\x85"s),
              "Pilot 7: hi  N1: ab c d e f\tg\x85");
}

// A peer may send 128 KiB of text in one line, and lines without end: the history shows at
// most kChatLineLimit characters of a line and keeps the newest lines within
// kChatHistoryLimit bytes, whole lines only.
TEST(Chat, LinesAndTheHistoryAreCutToTheirLimits) {
    EXPECT_EQ(ChatLine("N172SP", std::string(5000, 'y')),
              "N172SP: " + std::string(kChatLineLimit - 8, 'y'));
    EXPECT_EQ(ChatLine(std::string(70000, 'N'), "hi"), std::string(kChatLineLimit, 'N'));
    EXPECT_EQ(PrependChatLines("C: 3\r\n", {"A: 1", "B: 2"}), "B: 2\r\nA: 1\r\nC: 3\r\n");

    // Lines of 1000 characters and their line ends: the oldest fall off the bottom.
    const std::string line(994, 'x');
    std::string history;
    for (int i = 0; i < 1100; ++i) {
        history = PrependChatLine(history, line + std::to_string(1000 + i));
    }
    EXPECT_EQ(history.size(), kChatHistoryLimit / 1000 * 1000);
    EXPECT_EQ(history.rfind(line + "2099\r\n", 0), 0u);         // the newest on top
    EXPECT_EQ(history.substr(history.size() - 6), "1052\r\n");  // the oldest kept
    // A batch longer than the limit keeps its newest lines only.
    const std::vector<std::string> batch(3000, std::string(998, 'x'));
    EXPECT_EQ(PrependChatLines("old\r\n", batch).size(), kChatHistoryLimit / 1000 * 1000);
}

}  // namespace
}  // namespace scopewatch
