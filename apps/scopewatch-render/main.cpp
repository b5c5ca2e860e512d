// scopewatch-render --workdir DIR --airport INDEX --zoom LEVEL --size WxH --out FILE.png
//                   [--traffic FILE | --replay CAPTURE --at SECONDS]
// Draws the scope as the main window shows it after "GET AIRPORT" on the airport at INDEX
// of DIR's database (airspaces included), zoomed to LEVEL, with the aircraft of the traffic
// file (one per line: name;latitude;longitude;altitude feet;magnetic heading) or of a replay
// of a capture at a moment (with their trails and vectors), into a PNG.

#include <QFile>
#include <QGuiApplication>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "multiplayer/TrafficFile.h"
#include "platform/AtomicFile.h"
#include "platform/ToolCommandLine.h"
#include "replay/ReplayMoment.h"
#include "replay/ReplayTexts.h"
#include "scope/LabelPlacement.h"
#include "scope/ScopeSnapshot.h"
#include "state/ProgramState.h"

namespace {

struct Arguments {
    std::filesystem::path workDir;
    int64_t airportIndex = 0;
    int16_t zoomLevel = 9;
    int32_t width = 0;
    int32_t height = 0;
    std::string out;
    std::string traffic;
    std::string replay;
    double at = 0.0;
};

template <typename T>
std::optional<T> WholeNumber(const std::string& text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

bool ReadSize(const std::string& text, Arguments& arguments) {
    const size_t x = text.find('x');
    if (x == std::string::npos) {
        return false;
    }
    const auto width = WholeNumber<int32_t>(text.substr(0, x));
    const auto height = WholeNumber<int32_t>(text.substr(x + 1));
    if (!width || !height || *width < 1 || *height < 1 || *width > 10000 || *height > 10000) {
        return false;
    }
    arguments.width = *width;
    arguments.height = *height;
    return true;
}

scopewatch::ToolCommandLine RenderCommandLine() {
    return scopewatch::ToolCommandLine(
        "scopewatch-render",
        "--workdir DIR --airport INDEX --zoom LEVEL --size WxH --out FILE.png "
        "[--traffic FILE | --replay CAPTURE --at SECONDS]",
        "Draws the scope as the radar window shows it after \"GET AIRPORT\" on the airport\n"
        "at INDEX of DIR's database (airspaces included), zoomed to LEVEL, into a PNG file;\n"
        "with --replay, the aircraft as the replay of the capture shows them at the moment,\n"
        "with their history trails and track vectors.",
        {
            {"workdir", "Folder holding atc_settings.tcs and world_airports.dat.", "DIR"},
            {"airport", "Index of the airport in the database, from 0.", "INDEX"},
            {"zoom", "Zoom level, 1 (widest) to 20.", "LEVEL"},
            {"size", "Picture size in pixels, each side 1 to 10000.", "WxH"},
            {"out", "PNG file to write.", "FILE.png"},
            {"traffic",
             "Aircraft to draw, one per line: name;latitude;longitude;altitude feet;magnetic "
             "heading.",
             "FILE"},
            {"replay", "Capture file (pcap or pcapng) of a session whose replay to draw.",
             "CAPTURE"},
            {"at", "Seconds after the start of the replay.", "SECONDS"},
        });
}

std::string Value(const QCommandLineParser& parser, const char* name) {
    return QFile::encodeName(parser.value(name)).toStdString();
}

// The values of a command line that Read accepted, or the verdict refusing one of them.
std::variant<Arguments, scopewatch::CommandLineVerdict> ReadValues(
    const scopewatch::ToolCommandLine& commandLine) {
    const QCommandLineParser& parser = commandLine.parser();
    for (const char* required : {"workdir", "airport", "zoom", "size", "out"}) {
        if (!parser.isSet(required)) {
            return commandLine.Refuse("--" + std::string(required) + " is missing");
        }
    }
    Arguments arguments;
    arguments.workDir = Value(parser, "workdir");
    arguments.out = Value(parser, "out");
    arguments.traffic = Value(parser, "traffic");
    const auto index = WholeNumber<int64_t>(parser.value("airport").toStdString());
    if (!index || *index < 0) {
        return commandLine.Refuse("--airport needs a whole number of 0 or more");
    }
    const auto zoom = WholeNumber<int16_t>(parser.value("zoom").toStdString());
    if (!zoom || *zoom < scopewatch::kMinZoomLevel || *zoom > scopewatch::kMaxZoomLevel) {
        return commandLine.Refuse("--zoom needs a level from " +
                                  std::to_string(scopewatch::kMinZoomLevel) + " to " +
                                  std::to_string(scopewatch::kMaxZoomLevel));
    }
    if (!ReadSize(parser.value("size").toStdString(), arguments)) {
        return commandLine.Refuse("--size needs WxH, each side 1 to 10000");
    }
    arguments.replay = Value(parser, "replay");
    if (parser.isSet("replay") != parser.isSet("at")) {
        return commandLine.Refuse("--replay and --at go together");
    }
    if (parser.isSet("replay") && parser.isSet("traffic")) {
        return commandLine.Refuse("--traffic or --replay, not both");
    }
    if (parser.isSet("at")) {
        bool number = false;
        arguments.at = parser.value("at").toDouble(&number);
        if (!number || !std::isfinite(arguments.at) || arguments.at < 0.0) {
            return commandLine.Refuse("--at needs a number of seconds, 0 or more");
        }
    }
    arguments.airportIndex = *index;
    arguments.zoomLevel = *zoom;
    return arguments;
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "scopewatch-render: %s\n", text.c_str());
    return 1;
}

// The aircraft to draw, from the traffic file or from the replay at the moment (with their
// tracks, whose trails and vectors are drawn); gives what to say of the moment, or why not.
scopewatch::Outcome<std::string> LoadTraffic(const Arguments& arguments,
                                             scopewatch::ProgramState& state) {
    using Said = scopewatch::Outcome<std::string>;
    if (!arguments.traffic.empty()) {
        const auto bytes = scopewatch::ReadWholeFile(arguments.traffic);
        if (!bytes) {
            return Said::Failed("cannot read the traffic file " + arguments.traffic);
        }
        scopewatch::TrafficFileResult traffic =
            scopewatch::ParseTrafficText(std::string(bytes->begin(), bytes->end()));
        if (!traffic.error.empty()) {
            return Said::Failed(arguments.traffic + ", " + traffic.error);
        }
        state.traffic = traffic.traffic;
    }
    if (arguments.replay.empty()) {
        return Said::Done();
    }
    auto replayed =
        scopewatch::replay::ReplayFileAt(arguments.replay, arguments.at, state.airport.magVarGrid);
    if (!replayed.ok()) {
        return Said::Failed(replayed.failure);
    }
    state.traffic = replayed.value->traffic;
    state.tracks = std::move(replayed.value->tracks);
    state.aids.historyTrails = true;
    state.aids.trackVectors = true;
    const double length = replayed.value->length;
    return Said::Done(" at " + scopewatch::replay::ClockText(std::min(arguments.at, length)) +
                      " of " + scopewatch::replay::ClockText(length) + " of the replay");
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    scopewatch::ToolCommandLine commandLine = RenderCommandLine();
    if (const auto verdict = commandLine.Read(application.arguments()); !verdict.run) {
        return scopewatch::PrintVerdict(verdict);
    }
    const auto values = ReadValues(commandLine);
    if (const auto* verdict = std::get_if<scopewatch::CommandLineVerdict>(&values)) {
        return scopewatch::PrintVerdict(*verdict);
    }
    const Arguments& arguments = std::get<Arguments>(values);

    scopewatch::ProgramState state;
    std::vector<std::string> notes;
    const scopewatch::Status load = scopewatch::LoadForSnapshot(
        arguments.workDir, arguments.airportIndex, state, state.airport, notes);
    for (const std::string& note : notes) {
        std::fprintf(stderr, "note: %s\n", note.c_str());
    }
    if (!load.ok()) {
        return Fail(load.failure);
    }
    const scopewatch::Outcome<std::string> traffic = LoadTraffic(arguments, state);
    if (!traffic.ok()) {
        return Fail(traffic.failure);
    }
    const scopewatch::ScopeView view = scopewatch::SnapshotView(
        state.airport.currentAirport, arguments.width, arguments.height, arguments.zoomLevel);
    const scopewatch::SelectedAirspace noSelection;
    scopewatch::LabelPlacer labels;
    const scopewatch::ScopeAids aids{state.aids, state.tracks, labels};
    const QImage image =
        scopewatch::RenderScope({view, state.airport, state.traffic, state.displayFlags,
                                 noSelection, arguments.replay.empty() ? nullptr : &aids});
    if (!image.save(QString::fromStdString(arguments.out), "PNG")) {
        return Fail("cannot write " + arguments.out);
    }
    std::printf("%s: %s at level %d, %zu airspaces, %d aircraft%s\n", arguments.out.c_str(),
                state.airport.currentAirport.name.c_str(), view.ZoomLevel,
                state.airport.airspaces.size(), state.traffic.trafficCount, traffic.value->c_str());
    return 0;
}
