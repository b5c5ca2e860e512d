#include "replay/ReplayReport.h"

#include <QDateTime>
#include <QTimeZone>
#include <cstdio>

#include "multiplayer/GameMessages.h"
#include "replay/ReadRecording.h"
#include "replay/ReplayTexts.h"
#include "replay/WireNames.h"
#include "shared/NumberText.h"

namespace scopewatch::replay {

namespace {

std::string Count(uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Fix(const PositionFix& fix, int64_t origin) {
    return FixedNumberText(fix.latitude, 5) + " " + FixedNumberText(fix.longitude, 5) + ", " +
           std::to_string(fix.altitudeFt) + " ft, heading " + std::to_string(fix.trueHeading) +
           " at " + OffsetText(fix.micros - origin);
}

void CaptureSection(std::string& out, const Recording& recording, int64_t origin) {
    const capture::CaptureSummary& summary = recording.summary;
    const Observation& seen = recording.observation;
    out += "Capture: " + recording.file.string() + " (" + summary.format + ", " + summary.linkType +
           ")\n";
    out += "  " + Count(summary.packets, "packet", "packets") + ", " +
           Count(summary.frames, "DirectPlay frame", "DirectPlay frames") + " (" +
           std::to_string(summary.tcpFrames) + " TCP, " + std::to_string(summary.udpFrames) +
           " UDP)\n";
    if (recording.warning) {
        out += "  " + *recording.warning + "\n";
    }
    for (const capture::CaptureProblem& problem : summary.problems) {
        out += "  " + PlaceText(problem.place) + ": " + problem.text + "\n";
    }
    if (seen.firstMicros) {
        const QDateTime first = QDateTime::fromMSecsSinceEpoch(origin / 1000, QTimeZone::utc());
        out += "  from " + first.toString("yyyy-MM-dd hh:mm:ss").toStdString() + " UTC, duration " +
               OffsetText(*seen.lastMicros - origin) + "\n";
    }
}

void SessionSection(std::string& out, const Observation& seen) {
    const ObservedSessionFacts& facts = seen.session;
    out += "\nSession\n";
    if (!facts.seen) {
        out += "  not seen (no enumeration reply or name table in the capture)\n";
        return;
    }
    out += "  name: \"" + facts.name + "\"\n";
    out += "  flags: " + HexText(facts.flags) + " (" + SessionFlagsText(facts.flags) + ")\n";
    out += "  dialect: " + std::to_string(facts.dialect) + "\n";
    out += "  players: " + std::to_string(facts.currentPlayers) + " of " +
           std::to_string(facts.maxPlayers) + "\n";
    out += "  host: " + (facts.hostSystemId ? "machine " + HexText(*facts.hostSystemId) : "") +
           (facts.hostAddress ? " at " + EndpointText(*facts.hostAddress) : "") + "\n";
    out += std::string("  sender rules: ") +
           (seen.judged ? "judged from the name table on"
                        : "not judged (the capture holds no name table)") +
           "\n";
}

std::string Addresses(const ObservedPlayer& player) {
    if (!player.stream) {
        return "addresses unknown";
    }
    return EndpointText(*player.stream) + ", datagrams to port " +
           std::to_string(player.datagramPort);
}

void PlayersSection(std::string& out, const Observation& seen, int64_t origin) {
    out += "\nMachines\n";
    for (const auto& [id, player] : seen.players) {
        if (player.machine) {
            out += "  " + HexText(id) + "  " + Addresses(player) + ", dialect " +
                   std::to_string(player.dialect) + (player.host ? ", host" : "") + "\n";
        }
    }
    out += "\nPlayers\n";
    for (const auto& [id, player] : seen.players) {
        if (player.machine) {
            continue;
        }
        out += "  " + HexText(id) + "  \"" + player.name + "\" on machine " +
               HexText(player.systemId) + " (" + Addresses(player) + "), from " +
               OffsetText(player.since - origin) +
               (player.gone ? " to " + OffsetText(*player.gone - origin) : "") + "\n";
        if (player.firstPosition) {
            out += "    first position " + Fix(*player.firstPosition, origin) + "\n";
            out += "    last position  " + Fix(*player.lastPosition, origin) + "\n";
        }
    }
}

void JoinsSection(std::string& out, const Observation& seen, int64_t origin) {
    out += "\nJoins\n";
    for (const JoinExchange& join : seen.joins) {
        out += "  " + EndpointText(join.joiner) + "\n";
        for (const JoinStep& step : join.steps) {
            out += "    " + OffsetText(step.micros - origin) + "  " + step.text + "\n";
        }
        if (join.stepsLeftOut > 0) {
            out += "    and " + Count(join.stepsLeftOut, "step", "steps") + " more\n";
        }
    }
    if (seen.joinsLeftOut > 0) {
        out += "  and " + Count(seen.joinsLeftOut, "join", "joins") + " more\n";
    }
}

void CountsSection(std::string& out, const Observation& seen) {
    out += "\nDirectPlay messages\n";
    for (const auto& [command, count] : seen.commands) {
        out += "  " + HexText(command) + " " + CommandName(command) + ": " + std::to_string(count) +
               "\n";
    }
    out += "  player data: " + std::to_string(seen.playerData) + " (" +
           std::to_string(seen.copiesCountedOnce) + " copies to further machines counted once)\n";
    out += "\nGame messages\n";
    for (const auto& [kind, count] : seen.gameKinds) {
        out += "  " + KindName(kind) + ": " + std::to_string(count) + "\n";
    }
    if (seen.gameMessagesTooShort > 0) {
        out += "  too short for a kind: " + std::to_string(seen.gameMessagesTooShort) + "\n";
    }
}

void ProblemsSection(std::string& out, const char* title, const ProblemList& problems,
                     int64_t origin) {
    out += "\n" + std::string(title) + ": " + std::to_string(problems.count) + "\n";
    for (const FrameProblem& problem : problems.listed) {
        out += "  " + OffsetText(problem.micros - origin) + "  " + PlaceText(problem.place) + ": " +
               problem.text + "\n";
    }
    if (problems.count > problems.listed.size()) {
        out += "  and " + std::to_string(problems.count - problems.listed.size()) + " more\n";
    }
}

}  // namespace

std::string ReportText(const Recording& recording) {
    const Observation& seen = recording.observation;
    const int64_t origin = seen.firstMicros.value_or(0);
    std::string out;
    CaptureSection(out, recording, origin);
    SessionSection(out, seen);
    PlayersSection(out, seen, origin);
    JoinsSection(out, seen, origin);
    CountsSection(out, seen);
    ProblemsSection(out, "Frames that could not be read", seen.unreadable, origin);
    ProblemsSection(out, "Frames the sender rules would refuse", seen.refused, origin);
    return out;
}

}  // namespace scopewatch::replay
