#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "capture/CapturedFrame.h"

namespace scopewatch::replay {

// The most problems and join steps an observation lists; beyond, they are only counted.
inline constexpr size_t kListedProblems = 1000;
inline constexpr size_t kListedJoins = 256;
inline constexpr size_t kListedJoinSteps = 64;

// The session as the capture showed it.
struct ObservedSessionFacts {
    bool seen = false;  // an enumeration reply or a name table was seen
    std::string name;   // UTF-8
    uint32_t flags = 0;
    uint16_t dialect = 0;  // of the host's messages
    uint32_t maxPlayers = 0;
    uint32_t currentPlayers = 0;
    std::optional<uint32_t> hostSystemId;
    std::optional<capture::Endpoint> hostAddress;  // the host's stream address
};

// Where an aircraft was: when, and its position as the game message gave it.
struct PositionFix {
    int64_t micros = 0;
    double latitude = 0.0;
    double longitude = 0.0;
    int32_t altitudeFt = 0;
    int16_t trueHeading = 0;
};

// A machine (its system player) or a player of the session.
struct ObservedPlayer {
    uint32_t id = 0;
    uint32_t systemId = 0;  // the machine it lives on (its own id for a machine)
    bool machine = false;
    bool host = false;
    std::string name;  // UTF-8
    std::optional<capture::Endpoint> stream;
    uint16_t datagramPort = 0;
    uint16_t dialect = 0;  // a machine's
    int64_t since = 0;
    std::optional<int64_t> gone;
    std::optional<PositionFix> firstPosition;
    std::optional<PositionFix> lastPosition;
};

struct JoinStep {
    int64_t micros = 0;
    capture::FilePlace place;
    std::string text;
};

// One machine's way into the session as the capture saw it, step by step.
struct JoinExchange {
    capture::Endpoint joiner;  // its stream address
    std::vector<JoinStep> steps;
    uint64_t stepsLeftOut = 0;
};

// A frame that could not be read, or that the machine it went to would refuse.
struct FrameProblem {
    int64_t micros = 0;
    capture::FilePlace place;
    std::string text;
};

struct ProblemList {
    std::vector<FrameProblem> listed;
    uint64_t count = 0;
    void Add(FrameProblem problem) {
        if (listed.size() < kListedProblems) {
            listed.push_back(std::move(problem));
        }
        ++count;
    }
};

// What an observer of the whole session made of a capture.
struct Observation {
    ObservedSessionFacts session;
    std::map<uint32_t, ObservedPlayer> players;  // machines and players, by id
    std::vector<JoinExchange> joins;
    uint64_t joinsLeftOut = 0;
    std::map<uint16_t, uint64_t> commands;  // DirectPlay messages by command
    uint64_t playerData = 0;                // player data messages (with relayed ones)
    uint64_t copiesCountedOnce = 0;         // copies of a message to further machines
    std::map<int32_t, uint64_t> gameKinds;  // game messages by kind, each counted once
    uint64_t gameMessagesTooShort = 0;      // player data too short for a kind
    ProblemList unreadable;
    ProblemList refused;
    uint64_t frames = 0;
    std::optional<int64_t> firstMicros;
    std::optional<int64_t> lastMicros;
    // The name table was seen: the sender rules were judged from it on.
    bool judged = false;
};

}  // namespace scopewatch::replay
