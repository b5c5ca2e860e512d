// scopewatch-render --workdir DIR --airport INDEX --zoom LEVEL --size WxH --out FILE.png
//                   [--traffic FILE]
// Draws the scope as the main window shows it after "GET AIRPORT" on the airport at INDEX
// of DIR's database (airspaces included), zoomed to LEVEL, with the aircraft of the traffic
// file (one per line: name;latitude;longitude;altitude feet;magnetic heading), into a PNG.

#include <QGuiApplication>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "multiplayer/TrafficFile.h"
#include "platform/AtomicFile.h"
#include "scope/ScopeSnapshot.h"
#include "shared/ProgramState.h"

namespace {

constexpr const char* kUsage =
    "usage: scopewatch-render --workdir DIR --airport INDEX --zoom LEVEL --size WxH "
    "--out FILE.png [--traffic FILE]\n";

struct Arguments {
    std::filesystem::path workDir;
    int64_t airportIndex = 0;
    int16_t zoomLevel = 9;
    int32_t width = 0;
    int32_t height = 0;
    std::string out;
    std::string traffic;
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

std::optional<Arguments> ParseArguments(int argc, char* argv[]) {
    std::map<std::string, std::string> options;
    for (int i = 1; i < argc; i += 2) {
        const std::string name = argv[i];
        if (i + 1 >= argc || !name.starts_with("--") || options.contains(name)) {
            return std::nullopt;
        }
        options[name] = argv[i + 1];
    }
    for (const char* required : {"--workdir", "--airport", "--zoom", "--size", "--out"}) {
        if (!options.contains(required)) {
            return std::nullopt;
        }
    }
    Arguments arguments;
    arguments.workDir = options["--workdir"];
    arguments.out = options["--out"];
    arguments.traffic = options.contains("--traffic") ? options["--traffic"] : "";
    const auto index = WholeNumber<int64_t>(options["--airport"]);
    const auto zoom = WholeNumber<int16_t>(options["--zoom"]);
    if (!index || *index < 0 || !zoom || *zoom < scopewatch::kMinZoomLevel ||
        *zoom > scopewatch::kMaxZoomLevel || !ReadSize(options["--size"], arguments) ||
        options.size() > (arguments.traffic.empty() ? 5U : 6U)) {
        return std::nullopt;
    }
    arguments.airportIndex = *index;
    arguments.zoomLevel = *zoom;
    return arguments;
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "scopewatch-render: %s\n", text.c_str());
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::optional<Arguments> arguments = ParseArguments(argc, argv);
    if (!arguments) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);

    scopewatch::ProgramState state;
    const scopewatch::SnapshotLoad load =
        scopewatch::LoadForSnapshot(arguments->workDir, arguments->airportIndex, state);
    for (const std::string& note : load.notes) {
        std::fprintf(stderr, "note: %s\n", note.c_str());
    }
    if (!load.ok) {
        return Fail(load.error);
    }
    if (!arguments->traffic.empty()) {
        const auto bytes = scopewatch::ReadWholeFile(arguments->traffic);
        if (!bytes) {
            return Fail("cannot read the traffic file " + arguments->traffic);
        }
        scopewatch::TrafficFileResult traffic =
            scopewatch::ParseTrafficText(std::string(bytes->begin(), bytes->end()));
        if (!traffic.error.empty()) {
            return Fail(arguments->traffic + ", " + traffic.error);
        }
        state.traffic = traffic.traffic;
    }
    const scopewatch::ScopeView view =
        scopewatch::SnapshotView(state, arguments->width, arguments->height, arguments->zoomLevel);
    if (!scopewatch::RenderScope(state, view).save(QString::fromStdString(arguments->out), "PNG")) {
        return Fail("cannot write " + arguments->out);
    }
    std::printf("%s: %s at level %d, %zu airspaces, %d aircraft\n", arguments->out.c_str(),
                state.airport.currentAirport.name.c_str(), view.ZoomLevel,
                state.airport.airspaces.size(), state.traffic.trafficCount);
    return 0;
}
