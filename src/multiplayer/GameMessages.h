#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "multiplayer/SessionService.h"

namespace scopewatch {

// The kinds of message the pilots' simulators and the program exchange. Every message
// starts with the kind and a length (the number of payload bytes that follow).
namespace kinds {
inline constexpr int32_t kJoinRequest = 0x1001;
inline constexpr int32_t kPlayerPresent = 0x1003;
inline constexpr int32_t kKeepAlive = 0x1004;
inline constexpr int32_t kRefused = 0x1005;
inline constexpr int32_t kIdentifyRequest = 0x1007;
inline constexpr int32_t kJoinNotice = 0x1008;
inline constexpr int32_t kAircraftInfo = 0x100E;
inline constexpr int32_t kAircraftInfoRequest = 0x100F;
inline constexpr int32_t kRemoved = 0x1016;
inline constexpr int32_t kPositionShort = 0x1018;
inline constexpr int32_t kPositionLong = 0x1019;
inline constexpr int32_t kChat = 0x1023;
}  // namespace kinds

// Position fields as they travel: latitude in 1/40007000 of a meridian circle, longitude in
// 1/2^32 of a full turn, altitude in metres, heading in bits 2 to 11 of its word.
struct PositionReport {
    int32_t headingWord = 0;
    int32_t latitudeRaw = 0;
    int32_t longitudeRaw = 0;
    int32_t altitudeMetres = 0;
};

struct AircraftInfo {
    int16_t typeCode = 0;  // 0 piston, 1 jet, 2 none, 3 helicopter
    std::string title;     // Windows-1252, zero bytes removed
};

struct MessageHead {
    int32_t kind = 0;
    int32_t length = 0;
};

// A message of a kind that carries nothing: the kind and length 0.
SessionMessage MakeSignal(int32_t kind);
SessionMessage MakePlayerPresent(int32_t playerId);
SessionMessage MakeAircraftInfo(const AircraftInfo& info);
// Kind 0x1018 (short) or 0x1019 (long): filler fields are written as zero.
SessionMessage MakePosition(const PositionReport& report, bool longForm);
// The text bytes, then as many zero bytes again; the length counts both.
SessionMessage MakeChat(const std::string& text);
// A chat line as a pilot's simulator sends it: the text and one zero byte, both counted.
SessionMessage MakeSimulatorChat(const std::string& text);

// Readers: each continues from where the message was read up to and throws MalformedBytes
// when the message ends early.
MessageHead ReadHead(SessionMessage& message);
PositionReport ReadPosition(SessionMessage& message, int32_t kind);
AircraftInfo ReadAircraftInfo(SessionMessage& message, int32_t length);
// The length - 1 text bytes of a chat line; nothing for a length of 1 or less.
std::optional<std::string> ReadChat(SessionMessage& message, int32_t length);
int32_t ReadPlayerId(SessionMessage& message);

// Conversions between the wire units and degrees, feet and whole degrees.
double LatitudeDegrees(int32_t raw);
double LongitudeDegrees(int32_t raw);
int32_t LatitudeRaw(double degrees);
int32_t LongitudeRaw(double degrees);
int32_t HeadingWord(double trueHeadingDegrees);
// The true heading in whole degrees (0 to 360) from bits 2 to 11 of a position's heading
// word: the word divided by 4 (truncated toward zero), its low 10 bits, scaled to 360.
int16_t HeadingFromWord(int32_t word);
const char* AircraftTypeText(int16_t typeCode);

// A readable name of a message kind ("0x1018 position (short)"; an unknown kind says so).
std::string KindName(int32_t kind);

}  // namespace scopewatch
