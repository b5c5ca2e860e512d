#include <gtest/gtest.h>

#include "multiplayer/GameMessages.h"

namespace scopewatch {
namespace {

// A game message's bytes: kind and length as little-endian words, then the rest.
std::vector<uint8_t> Wire(int32_t kind, int32_t length, std::vector<uint8_t> rest = {}) {
    std::vector<uint8_t> all;
    for (const int32_t word : {kind, length}) {
        for (int shift = 0; shift < 32; shift += 8) {
            all.push_back(static_cast<uint8_t>(static_cast<uint32_t>(word) >> shift));
        }
    }
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

// Our chat line is the text and twice as many zeros, all counted in the length; a pilot's
// simulator counts one zero after the text. Either is read up to the length less one, and a
// length beyond the message is an error.
TEST(GameMessages, ChatIsTextThenTwiceAsManyZerosReadUpToTheLengthLessOne) {
    std::vector<uint8_t> hello{'H', 'e', 'l', 'l', 'o'};
    hello.resize(15, 0);
    EXPECT_EQ(MakeChat("Hello").bytes(), Wire(0x1023, 10, hello));
    EXPECT_EQ(MakeChat("").bytes(), Wire(0x1023, 0));
    hello.resize(6);
    EXPECT_EQ(MakeSimulatorChat("Hello").bytes(), Wire(0x1023, 6, hello));
    const auto read = [](SessionMessage message) {
        return ReadChat(message, ReadHead(message).length);
    };
    EXPECT_EQ(read(SessionMessage(Wire(0x1023, 6, hello))), "Hello");
    EXPECT_EQ(read(SessionMessage(Wire(0x1023, 1, {'X'}))), std::nullopt);
    // A line from another copy of the program carries its padding inside the length.
    EXPECT_EQ(read(MakeChat("Hi")), std::string("Hi\0", 3));
    EXPECT_THROW(read(SessionMessage(Wire(0x1023, 50, {'a', 'b'}))), SessionError);
}

// Positions round-trip in both forms, at the limits of their units; a cut one is an error.
TEST(GameMessages, PositionsRoundTripInBothFormsAndUnitsAtTheirLimits) {
    const PositionReport report{1024, LatitudeRaw(38.5), LongitudeRaw(-104.25), 1609};
    for (bool longForm : {false, true}) {
        SessionMessage message = MakePosition(report, longForm);
        const MessageHead head = ReadHead(message);
        EXPECT_EQ(head.kind, longForm ? 0x1019 : 0x1018);
        EXPECT_EQ(static_cast<size_t>(head.length), message.remaining());
        const PositionReport read = ReadPosition(message, head.kind);
        EXPECT_EQ(read.headingWord, 1024);
        EXPECT_NEAR(LatitudeDegrees(read.latitudeRaw), 38.5, 1e-5);
        EXPECT_NEAR(LongitudeDegrees(read.longitudeRaw), -104.25, 1e-7);
        EXPECT_EQ(read.altitudeMetres, 1609);
        EXPECT_EQ(message.remaining(), 0u);
    }
    SessionMessage cut(Wire(0x1018, 34, {0, 0, 0, 0}));
    ReadHead(cut);
    EXPECT_THROW(ReadPosition(cut, 0x1018), SessionError);

    EXPECT_EQ(LongitudeRaw(-180.0), std::numeric_limits<int32_t>::min());
    EXPECT_DOUBLE_EQ(LongitudeDegrees(std::numeric_limits<int32_t>::min()), -180.0);
    EXPECT_EQ(LongitudeRaw(190.0), LongitudeRaw(-170.0));
    EXPECT_EQ(HeadingWord(0.0), 0);
    EXPECT_EQ(HeadingWord(90.0), 256 * 4);
    EXPECT_EQ(HeadingWord(-90.0), 768 * 4);
    EXPECT_EQ(HeadingWord(359.9), 0);  // rounds up to a full turn, which is north again
}

// Aircraft information: type code and title, zero bytes dropped from the title.
TEST(GameMessages, AircraftInformationDropsZeroBytes) {
    SessionMessage message = MakeAircraftInfo({1, std::string{'B', '7', '\0', '3', '7'}});
    const MessageHead head = ReadHead(message);
    EXPECT_EQ(head.length, 7);
    const AircraftInfo info = ReadAircraftInfo(message, head.length);
    EXPECT_EQ(info.typeCode, 1);
    EXPECT_EQ(info.title, "B737");
    EXPECT_STREQ(AircraftTypeText(3), "Helicopter");
    EXPECT_STREQ(AircraftTypeText(9), "");

    // Found by fuzzing: the smallest length there is made the count of title bytes overflow.
    SessionMessage negative(Wire(kinds::kAircraftInfo, INT32_MIN, {3, 0}));
    EXPECT_EQ(ReadAircraftInfo(negative, ReadHead(negative).length).title, "");
}

// A signal is a head of length 0; player-present carries the player's id.
TEST(GameMessages, SignalsAndPlayerPresent) {
    EXPECT_EQ(MakeSignal(0x1001).bytes(), Wire(0x1001, 0));
    SessionMessage present = MakePlayerPresent(77);
    EXPECT_EQ(present.bytes(), Wire(0x1003, 4, {77, 0, 0, 0}));
    ReadHead(present);
    EXPECT_EQ(ReadPlayerId(present), 77);
    EXPECT_THROW(present.ReadByte(), SessionError);
}

}  // namespace
}  // namespace scopewatch
