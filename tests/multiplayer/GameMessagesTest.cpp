#include <gtest/gtest.h>

#include "multiplayer/GameMessages.h"

namespace scopewatch {
namespace {

std::vector<uint8_t> Le32(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
            static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TEST(GameMessages, ChatIsTextThenTwiceAsManyZerosReadUpToTheLengthLessOne) {
    const std::vector<uint8_t> expected =
        Concat({Le32(0x1023), Le32(10), {'H', 'e', 'l', 'l', 'o'}, std::vector<uint8_t>(10, 0)});
    EXPECT_EQ(MakeChat("Hello").bytes(), expected);
    EXPECT_EQ(MakeChat("").bytes(), Concat({Le32(0x1023), Le32(0)}));
    // It is read up to the length less one.
    SessionMessage tooShort(Concat({Le32(0x1023), Le32(1), {'X'}}));
    EXPECT_EQ(ReadChat(tooShort, ReadHead(tooShort).length), std::nullopt);

    // A pilot's simulator counts one zero byte after the text.
    const auto fromSimulator = Concat({Le32(0x1023), Le32(6), {'H', 'e', 'l', 'l', 'o', 0}});
    EXPECT_EQ(MakeSimulatorChat("Hello").bytes(), fromSimulator);
    SessionMessage hello(fromSimulator);
    EXPECT_EQ(ReadChat(hello, ReadHead(hello).length), "Hello");

    // A line from another copy of the program carries its padding inside the length.
    SessionMessage padded(MakeChat("Hi").bytes());
    EXPECT_EQ(ReadChat(padded, ReadHead(padded).length), std::string("Hi\0", 3));

    SessionMessage lying(Concat({Le32(0x1023), Le32(50), {'a', 'b'}}));
    const int32_t length = ReadHead(lying).length;
    EXPECT_THROW(ReadChat(lying, length), SessionError);
}

TEST(GameMessages, PositionsRoundTripInBothForms) {
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
    SessionMessage cut(Concat({Le32(0x1018), Le32(34), Le32(0)}));
    ReadHead(cut);
    EXPECT_THROW(ReadPosition(cut, 0x1018), SessionError);
}

TEST(GameMessages, UnitConversionsAtTheirLimits) {
    EXPECT_EQ(LongitudeRaw(-180.0), std::numeric_limits<int32_t>::min());
    EXPECT_DOUBLE_EQ(LongitudeDegrees(std::numeric_limits<int32_t>::min()), -180.0);
    EXPECT_EQ(LongitudeRaw(190.0), LongitudeRaw(-170.0));
    EXPECT_EQ(HeadingWord(0.0), 0);
    EXPECT_EQ(HeadingWord(90.0), 256 * 4);
    EXPECT_EQ(HeadingWord(-90.0), 768 * 4);
    EXPECT_EQ(HeadingWord(359.9), 0);  // rounds up to a full turn, which is north again
}

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
    SessionMessage negative(Concat({Le32(kinds::kAircraftInfo), Le32(INT32_MIN), {3, 0}}));
    EXPECT_EQ(ReadAircraftInfo(negative, ReadHead(negative).length).title, "");
}

TEST(GameMessages, SignalsAndPlayerPresent) {
    EXPECT_EQ(MakeSignal(0x1001).bytes(), Concat({Le32(0x1001), Le32(0)}));
    SessionMessage present = MakePlayerPresent(77);
    EXPECT_EQ(present.bytes(), Concat({Le32(0x1003), Le32(4), Le32(77)}));
    ReadHead(present);
    EXPECT_EQ(ReadPlayerId(present), 77);
    EXPECT_THROW(present.ReadByte(), SessionError);
}

}  // namespace
}  // namespace scopewatch
