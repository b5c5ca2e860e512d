// The report as one JSON document: the same facts as the text, times in seconds since the
// capture's first frame.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "multiplayer/GameMessages.h"
#include "replay/ReadRecording.h"
#include "replay/ReplayReport.h"
#include "replay/ReplayTexts.h"
#include "replay/WireNames.h"

namespace scopewatch::replay {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

double Seconds(int64_t micros, int64_t origin) {
    return static_cast<double>(micros - origin) / 1e6;
}

QJsonObject Place(const capture::FilePlace& place) {
    return {{"packet", static_cast<qint64>(place.packet)},
            {"byte", static_cast<qint64>(place.offset)}};
}

QJsonObject CaptureJson(const Recording& recording, int64_t origin) {
    const capture::CaptureSummary& summary = recording.summary;
    const Observation& seen = recording.observation;
    QJsonArray problems;
    for (const capture::CaptureProblem& problem : summary.problems) {
        problems.append(QJsonObject{{"place", Place(problem.place)}, {"text", Text(problem.text)}});
    }
    QJsonObject json{{"file", Text(recording.file.string())},
                     {"format", Text(summary.format)},
                     {"linkType", Text(summary.linkType)},
                     {"packets", static_cast<qint64>(summary.packets)},
                     {"frames", static_cast<qint64>(summary.frames)},
                     {"tcpFrames", static_cast<qint64>(summary.tcpFrames)},
                     {"udpFrames", static_cast<qint64>(summary.udpFrames)},
                     {"problems", problems},
                     {"startMicroseconds", static_cast<qint64>(origin)},
                     {"durationSeconds", Seconds(seen.lastMicros.value_or(origin), origin)}};
    if (recording.warning) {
        json["warning"] = Text(*recording.warning);
    }
    return json;
}

QJsonObject SessionJson(const Observation& seen) {
    const ObservedSessionFacts& facts = seen.session;
    QJsonObject json{{"seen", facts.seen},
                     {"name", Text(facts.name)},
                     {"flags", static_cast<qint64>(facts.flags)},
                     {"flagNames", Text(SessionFlagsText(facts.flags))},
                     {"dialect", facts.dialect},
                     {"currentPlayers", static_cast<qint64>(facts.currentPlayers)},
                     {"maxPlayers", static_cast<qint64>(facts.maxPlayers)},
                     {"senderRulesJudged", seen.judged}};
    if (facts.hostSystemId) {
        json["hostMachine"] = static_cast<qint64>(*facts.hostSystemId);
    }
    if (facts.hostAddress) {
        json["hostAddress"] = Text(EndpointText(*facts.hostAddress));
    }
    return json;
}

QJsonObject FixJson(const PositionFix& fix, int64_t origin) {
    return {{"seconds", Seconds(fix.micros, origin)},
            {"latitude", fix.latitude},
            {"longitude", fix.longitude},
            {"altitudeFt", fix.altitudeFt},
            {"trueHeading", fix.trueHeading}};
}

QJsonObject PlayerJson(const ObservedPlayer& player, int64_t origin) {
    QJsonObject json{{"id", static_cast<qint64>(player.id)},
                     {"machine", static_cast<qint64>(player.systemId)},
                     {"name", Text(player.name)},
                     {"sinceSeconds", Seconds(player.since, origin)}};
    if (player.stream) {
        json["streamAddress"] = Text(EndpointText(*player.stream));
        json["datagramPort"] = player.datagramPort;
    }
    if (player.gone) {
        json["goneSeconds"] = Seconds(*player.gone, origin);
    }
    if (player.machine) {
        json["dialect"] = player.dialect;
        json["host"] = player.host;
    }
    if (player.firstPosition) {
        json["firstPosition"] = FixJson(*player.firstPosition, origin);
        json["lastPosition"] = FixJson(*player.lastPosition, origin);
    }
    return json;
}

QJsonArray JoinsJson(const Observation& seen, int64_t origin) {
    QJsonArray joins;
    for (const JoinExchange& join : seen.joins) {
        QJsonArray steps;
        for (const JoinStep& step : join.steps) {
            steps.append(QJsonObject{{"seconds", Seconds(step.micros, origin)},
                                     {"place", Place(step.place)},
                                     {"text", Text(step.text)}});
        }
        joins.append(QJsonObject{{"joiner", Text(EndpointText(join.joiner))},
                                 {"steps", steps},
                                 {"stepsLeftOut", static_cast<qint64>(join.stepsLeftOut)}});
    }
    return joins;
}

QJsonObject CountsJson(const Observation& seen) {
    QJsonArray commands;
    for (const auto& [command, count] : seen.commands) {
        commands.append(QJsonObject{{"command", command},
                                    {"name", Text(CommandName(command))},
                                    {"count", static_cast<qint64>(count)}});
    }
    QJsonArray kinds;
    for (const auto& [kind, count] : seen.gameKinds) {
        kinds.append(QJsonObject{
            {"kind", kind}, {"name", Text(KindName(kind))}, {"count", static_cast<qint64>(count)}});
    }
    return {{"directPlayCommands", commands},
            {"playerData", static_cast<qint64>(seen.playerData)},
            {"copiesCountedOnce", static_cast<qint64>(seen.copiesCountedOnce)},
            {"gameMessageKinds", kinds},
            {"gameMessagesTooShort", static_cast<qint64>(seen.gameMessagesTooShort)}};
}

QJsonObject ProblemsJson(const ProblemList& problems, int64_t origin) {
    QJsonArray listed;
    for (const FrameProblem& problem : problems.listed) {
        listed.append(QJsonObject{{"seconds", Seconds(problem.micros, origin)},
                                  {"place", Place(problem.place)},
                                  {"text", Text(problem.text)}});
    }
    return {{"count", static_cast<qint64>(problems.count)}, {"listed", listed}};
}

}  // namespace

std::string ReportJson(const Recording& recording) {
    const Observation& seen = recording.observation;
    const int64_t origin = seen.firstMicros.value_or(0);
    QJsonArray machines;
    QJsonArray players;
    for (const auto& [id, player] : seen.players) {
        (player.machine ? machines : players).append(PlayerJson(player, origin));
    }
    const QJsonObject report{{"capture", CaptureJson(recording, origin)},
                             {"session", SessionJson(seen)},
                             {"machines", machines},
                             {"players", players},
                             {"joins", JoinsJson(seen, origin)},
                             {"messages", CountsJson(seen)},
                             {"unreadableFrames", ProblemsJson(seen.unreadable, origin)},
                             {"refusedFrames", ProblemsJson(seen.refused, origin)}};
    return QJsonDocument(report).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace scopewatch::replay
