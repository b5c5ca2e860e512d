// scopewatch-demo-host: hosts a DirectPlay session with simulated pilots at the demo
// simulator's large airport, so the scope can be tried without a flight simulator.
#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <variant>

#include "demohost/DemoSessionHost.h"
#include "demohost/DemoTrafficPlan.h"
#include "platform/ToolCommandLine.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

void PrintLine(const std::string& line) {
    const QString time = QDateTime::currentDateTime().toString("HH:mm:ss.zzz");
    std::printf("%s %s\n", time.toLocal8Bit().constData(), line.c_str());
    std::fflush(stdout);
}

struct Parsed {
    scopewatch::demo::DemoHostOptions options;
    int runForSeconds = 0;
};

// Longest time any option takes, in seconds: the timers count milliseconds in an int.
constexpr int kMaxSeconds = 1000000;

// Reads the option values, keeping the first one that cannot be used.
class OptionValues {
  public:
    explicit OptionValues(const scopewatch::ToolCommandLine& commandLine)
        : commandLine_(commandLine) {}

    int Number(const QString& name, int fallback, int minimum, int maximum) {
        if (!commandLine_.parser().isSet(name)) {
            return fallback;
        }
        bool ok = false;
        const int value = commandLine_.parser().value(name).toInt(&ok);
        if (!ok || value < minimum || value > maximum) {
            Refuse("--" + name.toStdString() + " needs a whole number from " +
                   std::to_string(minimum) + " to " + std::to_string(maximum));
            return fallback;
        }
        return value;
    }
    int Seconds(const QString& name, int fallback) {
        return Number(name, fallback, 0, kMaxSeconds);
    }
    uint16_t Port(const QString& name, uint16_t fallback) {
        return static_cast<uint16_t>(Number(name, fallback, 1, 65535));
    }
    void Refuse(const std::string& text) {
        if (!refusal_) {
            refusal_ = commandLine_.Refuse(text);
        }
    }
    const std::optional<scopewatch::CommandLineVerdict>& refusal() const { return refusal_; }

  private:
    const scopewatch::ToolCommandLine& commandLine_;
    std::optional<scopewatch::CommandLineVerdict> refusal_;
};

scopewatch::ToolCommandLine DemoHostCommandLine() {
    return scopewatch::ToolCommandLine(
        "scopewatch-demo-host", "[options]",
        "Hosts a multiplayer session with simulated pilots around the demo airport,\n"
        "Eldorado Intl. Ctrl+C ends it.",
        {
            {"name", "Session name (default \"Eldorado Fly-in\").", "text", "Eldorado Fly-in"},
            {"max-players", "Maximum number of players, the five pilots included (default 8).", "n",
             "8"},
            {"refuse", "Refuse every controller that asks to join (sends 0x1005)."},
            {"remove-after", "Remove each controller this many seconds after admission (0x1016).",
             "seconds"},
            {"silent-after", "Stop sending anything after this many seconds.", "seconds"},
            {"chat-every",
             "A pilot says something every this many seconds (default 45, 0 = never).", "seconds",
             "45"},
            {"enum-port", "Port that answers session searches (default 47624).", "port", "47624"},
            {"port-first", "First port of the session port range (default 2300).", "port", "2300"},
            {"port-last", "Last port of the session port range (default 2400).", "port", "2400"},
            {"bind", "IPv4 address to listen on (default 0.0.0.0, all).", "address", "0.0.0.0"},
            {"quiet", "Do not log positions and keep-alives."},
            {"run-for", "End the session after this many seconds.", "seconds"},
        });
}

// The options, or the verdict that ends the tool at once (help, version, a wrong option).
std::variant<Parsed, scopewatch::CommandLineVerdict> ParseOptions(
    const QCoreApplication& application) {
    scopewatch::ToolCommandLine commandLine = DemoHostCommandLine();
    if (const auto verdict = commandLine.Read(application.arguments()); !verdict.run) {
        return verdict;
    }
    const QCommandLineParser& parser = commandLine.parser();
    OptionValues values(commandLine);
    Parsed parsed;
    scopewatch::demo::DemoHostOptions& options = parsed.options;
    options.sessionName = parser.value("name").toStdString();
    options.maxPlayers = static_cast<uint32_t>(values.Number("max-players", 8, 1, 1000000));
    options.refuseControllers = parser.isSet("refuse");
    options.removeAfterSeconds = values.Seconds("remove-after", 0);
    options.silentAfterSeconds = values.Seconds("silent-after", 0);
    options.chatEverySeconds = values.Seconds("chat-every", 45);
    options.ports.enumPort = values.Port("enum-port", 47624);
    options.ports.rangeFirst = values.Port("port-first", 2300);
    options.ports.rangeLast = values.Port("port-last", 2400);
    if (options.ports.rangeFirst > options.ports.rangeLast) {
        values.Refuse("--port-first is above --port-last");
    }
    if (!options.ports.bindAddress.setAddress(parser.value("bind")) ||
        options.ports.bindAddress.protocol() != QAbstractSocket::IPv4Protocol) {
        values.Refuse("--bind needs an IPv4 address");
    }
    options.logPositions = !parser.isSet("quiet");
    parsed.runForSeconds = values.Seconds("run-for", 0);
    if (values.refusal()) {
        return *values.refusal();
    }
    return parsed;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const auto read = ParseOptions(application);
    if (const auto* verdict = std::get_if<scopewatch::CommandLineVerdict>(&read)) {
        return scopewatch::PrintVerdict(*verdict);
    }
    const Parsed& parsed = std::get<Parsed>(read);

    const scopewatch::demo::DemoAirportPlan plan = scopewatch::demo::DemoLargeAirportPlan();
    scopewatch::demo::DemoSessionHost session(parsed.options, plan, PrintLine);
    if (const scopewatch::Status started = session.Start(); !started.ok()) {
        std::fprintf(stderr, "Cannot host the session: %s\n", started.failure.c_str());
        return 1;
    }
    PrintLine("session \"" + parsed.options.sessionName + "\" at " + plan.name +
              " is running; Ctrl+C ends it");

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    // The session ends with a word to every machine; the program once that is sent.
    const auto end = [&] {
        session.Stop();
        if (session.host().closing()) {
            QObject::connect(&session.host().peer(),
                             &scopewatch::directplay::DirectPlayPeer::finishedSending, &application,
                             &QCoreApplication::quit);
        } else {
            application.quit();
        }
    };
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &application, [&] {
        if (stopRequested) {
            watch.stop();
            end();
        }
    });
    watch.start(200);
    if (parsed.runForSeconds > 0) {
        QTimer::singleShot(parsed.runForSeconds * 1000, &application, end);
    }
    const int result = application.exec();
    PrintLine("session ended");
    return result;
}
