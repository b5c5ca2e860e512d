// scopewatch-demo-host: hosts a DirectPlay session with simulated pilots at the demo
// simulator's large airport, so the scope can be tried without a flight simulator.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "demo/DemoSessionHost.h"
#include "demo/DemoTrafficPlan.h"

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

int NumberOption(const QCommandLineParser& parser, const QString& name, int fallback) {
    if (!parser.isSet(name)) {
        return fallback;
    }
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0) {
        std::fprintf(stderr, "--%s needs a whole number of 0 or more\n",
                     name.toLocal8Bit().constData());
        std::exit(2);
    }
    return value;
}

Parsed ParseOptions(const QCoreApplication& application) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Hosts a multiplayer session with simulated pilots around the demo airport.");
    parser.addHelpOption();
    parser.addOptions({
        {"name", "Session name (default \"Eldorado Fly-in\").", "text", "Eldorado Fly-in"},
        {"max-players", "Maximum number of players, the five pilots included (default 8).", "n",
         "8"},
        {"refuse", "Refuse every controller that asks to join (sends 0x1005)."},
        {"remove-after", "Remove each controller this many seconds after admission (0x1016).",
         "seconds"},
        {"silent-after", "Stop sending anything after this many seconds.", "seconds"},
        {"chat-every", "A pilot says something every this many seconds (default 45, 0 = never).",
         "seconds", "45"},
        {"enum-port", "Port that answers session searches (default 47624).", "port", "47624"},
        {"port-first", "First port of the session port range (default 2300).", "port", "2300"},
        {"port-last", "Last port of the session port range (default 2400).", "port", "2400"},
        {"bind", "IPv4 address to listen on (default 0.0.0.0, all).", "address", "0.0.0.0"},
        {"quiet", "Do not log positions and keep-alives."},
        {"run-for", "End the session after this many seconds.", "seconds"},
    });
    parser.process(application);

    Parsed parsed;
    scopewatch::demo::DemoHostOptions& options = parsed.options;
    options.sessionName = parser.value("name").toStdString();
    options.maxPlayers = static_cast<uint32_t>(NumberOption(parser, "max-players", 8));
    options.refuseControllers = parser.isSet("refuse");
    options.removeAfterSeconds = NumberOption(parser, "remove-after", 0);
    options.silentAfterSeconds = NumberOption(parser, "silent-after", 0);
    options.chatEverySeconds = NumberOption(parser, "chat-every", 45);
    options.ports.enumPort = static_cast<uint16_t>(NumberOption(parser, "enum-port", 47624));
    options.ports.rangeFirst = static_cast<uint16_t>(NumberOption(parser, "port-first", 2300));
    options.ports.rangeLast = static_cast<uint16_t>(NumberOption(parser, "port-last", 2400));
    if (!options.ports.bindAddress.setAddress(parser.value("bind"))) {
        std::fprintf(stderr, "--bind needs an IPv4 address\n");
        std::exit(2);
    }
    options.logPositions = !parser.isSet("quiet");
    parsed.runForSeconds = NumberOption(parser, "run-for", 0);
    return parsed;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("scopewatch-demo-host");
    const Parsed parsed = ParseOptions(application);

    const scopewatch::demo::DemoAirportPlan plan = scopewatch::demo::DemoLargeAirportPlan();
    scopewatch::demo::DemoSessionHost session(parsed.options, plan, PrintLine);
    if (const auto error = session.Start()) {
        std::fprintf(stderr, "Cannot host the session: %s\n", error->c_str());
        return 1;
    }
    PrintLine("session \"" + parsed.options.sessionName + "\" at " + plan.name +
              " is running; Ctrl+C ends it");

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &application, [&] {
        if (stopRequested) {
            application.quit();
        }
    });
    watch.start(200);
    if (parsed.runForSeconds > 0) {
        QTimer::singleShot(parsed.runForSeconds * 1000, &application, &QCoreApplication::quit);
    }
    const int result = application.exec();
    session.Stop();
    PrintLine("session ended");
    return result;
}
