#include "multiplayer/GameMessages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "shared/Rounding.h"

namespace scopewatch {

namespace {
constexpr double kMeridianMetres = 40007000.0;
constexpr double kFullTurn = 4294967296.0;
// Payload bytes after kind and length: 3 ignored, heading, latitude, longitude, altitude as
// int32, then 3 ignored int16 (short form); the long form has 7 ignored int32 first.
constexpr int32_t kShortPositionLength = 7 * 4 + 3 * 2;
constexpr int32_t kLongPositionLength = 11 * 4 + 3 * 2;
}  // namespace

SessionMessage MakeSignal(int32_t kind) {
    SessionMessage message;
    message.WriteInt32(kind);
    message.WriteInt32(0);
    return message;
}

SessionMessage MakePlayerPresent(int32_t playerId) {
    SessionMessage message;
    message.WriteInt32(kinds::kPlayerPresent);
    message.WriteInt32(4);
    message.WriteInt32(playerId);
    return message;
}

SessionMessage MakeAircraftInfo(const AircraftInfo& info) {
    SessionMessage message;
    message.WriteInt32(kinds::kAircraftInfo);
    message.WriteInt32(static_cast<int32_t>(2 + info.title.size()));
    message.WriteInt16(info.typeCode);
    message.WriteText(info.title);
    return message;
}

SessionMessage MakePosition(const PositionReport& report, bool longForm) {
    SessionMessage message;
    message.WriteInt32(longForm ? kinds::kPositionLong : kinds::kPositionShort);
    message.WriteInt32(longForm ? kLongPositionLength : kShortPositionLength);
    for (int i = 0; i < (longForm ? 7 : 3); ++i) {
        message.WriteInt32(0);
    }
    message.WriteInt32(report.headingWord);
    message.WriteInt32(report.latitudeRaw);
    message.WriteInt32(report.longitudeRaw);
    message.WriteInt32(report.altitudeMetres);
    for (int i = 0; i < 3; ++i) {
        message.WriteInt16(0);
    }
    return message;
}

SessionMessage MakeChat(const std::string& text) {
    SessionMessage message;
    message.WriteInt32(kinds::kChat);
    message.WriteInt32(static_cast<int32_t>(2 * text.size()));
    message.WriteText(text);
    message.WriteText(std::string(2 * text.size(), '\0'));
    return message;
}

SessionMessage MakeSimulatorChat(const std::string& text) {
    SessionMessage message;
    message.WriteInt32(kinds::kChat);
    message.WriteInt32(static_cast<int32_t>(text.size() + 1));
    message.WriteText(text);
    message.WriteByte(0);
    return message;
}

MessageHead ReadHead(SessionMessage& message) {
    MessageHead head;
    head.kind = message.ReadInt32();
    head.length = message.ReadInt32();
    return head;
}

PositionReport ReadPosition(SessionMessage& message, int32_t kind) {
    for (int i = 0; i < (kind == kinds::kPositionLong ? 7 : 3); ++i) {
        message.ReadInt32();
    }
    PositionReport report;
    report.headingWord = message.ReadInt32();
    report.latitudeRaw = message.ReadInt32();
    report.longitudeRaw = message.ReadInt32();
    report.altitudeMetres = message.ReadInt32();
    for (int i = 0; i < 3; ++i) {
        message.ReadInt16();
    }
    return report;
}

AircraftInfo ReadAircraftInfo(SessionMessage& message, int32_t length) {
    AircraftInfo info;
    info.typeCode = message.ReadInt16();
    // The length counts the type code; the title fills the rest.
    const auto typeSize = static_cast<int32_t>(sizeof info.typeCode);
    if (length > typeSize) {
        info.title = message.ReadText(static_cast<size_t>(length - typeSize));
        info.title.erase(std::remove(info.title.begin(), info.title.end(), '\0'), info.title.end());
    }
    return info;
}

std::optional<std::string> ReadChat(SessionMessage& message, int32_t length) {
    if (length <= 1) {
        return std::nullopt;
    }
    return message.ReadText(static_cast<size_t>(length - 1));
}

int32_t ReadPlayerId(SessionMessage& message) {
    return message.ReadInt32();
}

double LatitudeDegrees(int32_t raw) {
    return raw * 360.0 / kMeridianMetres;
}
double LongitudeDegrees(int32_t raw) {
    return raw * 360.0 / kFullTurn;
}

int32_t LatitudeRaw(double degrees) {
    return static_cast<int32_t>(std::lround(degrees * kMeridianMetres / 360.0));
}

int32_t LongitudeRaw(double degrees) {
    // Wrap into -180..180 first, so the value fits a signed 32-bit field.
    const double wrapped = std::remainder(degrees, 360.0);
    const int64_t raw = std::llround(wrapped * kFullTurn / 360.0);
    return static_cast<int32_t>(static_cast<uint32_t>(raw));
}

int32_t HeadingWord(double trueHeadingDegrees) {
    const double turns = std::fmod(std::fmod(trueHeadingDegrees, 360.0) + 360.0, 360.0) / 360.0;
    const int32_t steps = static_cast<int32_t>(std::lround(turns * 1024.0)) & 1023;
    return steps * 4;
}

int16_t HeadingFromWord(int32_t word) {
    const int32_t steps = (word / 4) & 1023;
    return RoundToInt16(steps / 1024.0 * 360.0);
}

const char* AircraftTypeText(int16_t typeCode) {
    switch (typeCode) {
        case 0:
            return "Piston Plane";
        case 1:
            return "Jet Plane";
        case 2:
            return "-None-";
        case 3:
            return "Helicopter";
        default:
            return "";
    }
}

std::string KindName(int32_t kind) {
    const char* name = "unknown";
    switch (kind) {
        case kinds::kJoinRequest:
            name = "join request";
            break;
        case kinds::kPlayerPresent:
            name = "player present";
            break;
        case kinds::kKeepAlive:
            name = "keep-alive";
            break;
        case kinds::kRefused:
            name = "refused";
            break;
        case kinds::kIdentifyRequest:
            name = "identify request";
            break;
        case kinds::kJoinNotice:
            name = "join notice";
            break;
        case kinds::kAircraftInfo:
            name = "aircraft information";
            break;
        case kinds::kAircraftInfoRequest:
            name = "aircraft-information request";
            break;
        case kinds::kRemoved:
            name = "removed by host";
            break;
        case kinds::kPositionShort:
            name = "position (short)";
            break;
        case kinds::kPositionLong:
            name = "position (long)";
            break;
        case kinds::kChat:
            name = "chat";
            break;
        default:
            break;
    }
    char text[64];
    std::snprintf(text, sizeof text, "0x%X %s", static_cast<unsigned>(kind), name);
    return text;
}

}  // namespace scopewatch
