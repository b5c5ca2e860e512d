#include <gtest/gtest.h>

#include "multiplayer/GameMessages.h"
#include "shared/MalformedBytes.h"
#include "support/Golden.h"

namespace scopewatch {
namespace {

// A game message's bytes: kind and length as little-endian words, then the rest.
SessionMessage Wire(int32_t kind, int32_t length, const std::vector<uint8_t>& rest = {}) {
    SessionMessage message;
    message.WriteInt32(kind);
    message.WriteInt32(length);
    for (const uint8_t byte : rest) {
        message.WriteByte(byte);
    }
    return SessionMessage(message.bytes());
}

// Every kind of game message, as tests/data/gamemessages/*.hex holds it byte for byte: kind and
// length as little-endian words, then the rest. Our chat line is the text and twice as many
// zeros, all counted in the length; a pilot's simulator counts one zero after the text. (How the
// intake reads each kind back: MessageIntakeTest.)
TEST(GameMessages, EveryMessageMatchesItsGoldenBytes) {
    const PositionReport report{1024, LatitudeRaw(38.5), LongitudeRaw(-104.25), 1609};  // metres
    const std::vector<std::tuple<std::string, std::string, SessionMessage>> golden = {
        {"chat", "our chat line \"Hello\"", MakeChat("Hello")},
        {"chat-empty", "our chat line without text", MakeChat("")},
        {"simulator-chat", "a simulator's chat line \"Hello\"", MakeSimulatorChat("Hello")},
        {"join-request", "a signal (join request)", MakeSignal(kinds::kJoinRequest)},
        {"player-present", "player 77 is present", MakePlayerPresent(77)},
        {"position-short", "short position at 38.5 N 104.25 W", MakePosition(report, false)},
        {"position-long", "long position at 38.5 N 104.25 W", MakePosition(report, true)},
        {"aircraft-info", "aircraft type 1, \"B7\\03 7\"",
         MakeAircraftInfo({1, {'B', '7', 0, '3', '7'}})},
    };
    for (const auto& [name, what, message] : golden) {
        testing::ExpectBytesMatchGolden(message.bytes(), "gamemessages/" + name + ".hex", what);
    }
}

// A text of its zero only is no line; a length beyond the message is an error. Found by fuzzing:
// the smallest length there is made the count of an aircraft's title bytes overflow.
TEST(GameMessages, ShortOrLyingLengths) {
    const auto readChat = [](SessionMessage message) {
        return ReadChat(message, ReadHead(message).length);
    };
    EXPECT_EQ(readChat(Wire(kinds::kChat, 1, {'X'})), std::nullopt);
    EXPECT_THROW(readChat(Wire(kinds::kChat, 50, {'a', 'b'})), MalformedBytes);
    SessionMessage negative = Wire(kinds::kAircraftInfo, INT32_MIN, {3, 0});
    EXPECT_EQ(ReadAircraftInfo(negative, ReadHead(negative).length).title, "");
}

}  // namespace
}  // namespace scopewatch
