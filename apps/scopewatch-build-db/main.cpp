// scopewatch-build-db [options] SIMFOLDER: builds the airport database in the current working
// directory from the simulator's scenery, as setup and the "Creating Database" window do, without
// windows: it writes the settings file, finds the scenery folders, examines every scenery
// file of the airport areas, writes world_airports.dat and completes the settings file.

#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <variant>

#include "builder/DatabaseBuild.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/ToolCommandLine.h"
#include "shared/NumberText.h"
#include "startup/Settings.h"
#include "startup/Setup.h"
#include "state/ProgramState.h"

namespace {

// The program's texts are Windows-1252; the terminal shows the locale's encoding.
std::string Printable(const std::string& text) {
    return scopewatch::FromAnsi(text).toLocal8Bit().toStdString();
}

// Messages go to the terminal; every question is answered with OK.
class PrintedMessages : public scopewatch::MessageBoxes {
  public:
    scopewatch::MessageAnswer Ask(const std::string& title, const std::string& text,
                                  scopewatch::MessageIcon, scopewatch::MessageButtons) override {
        std::printf("[%s] %s\n", Printable(title).c_str(), Printable(text).c_str());
        return scopewatch::MessageAnswer::Ok;
    }
};

int Fail(const std::string& text) {
    std::fprintf(stderr, "scopewatch-build-db: %s\n", Printable(text).c_str());
    return 1;
}

// Prints the status texts as they change, and the file count about twenty times in all.
class ProgressPrinter {
  public:
    void Status(const std::string& text) {
        if (!text.empty() && text != last_) {
            std::printf("%s\n", Printable(text).c_str());
            last_ = text;
        }
    }
    void Files(int examined, int total) {
        const int every = total > 20 ? total / 20 : 1;
        if (examined > 0 && examined != printed_ && (examined % every == 0 || examined == total)) {
            std::printf("  %d of %d scenery files examined\n", examined, total);
            printed_ = examined;
        }
    }

  private:
    std::string last_;
    int printed_ = -1;
};

// The most workers --threads takes.
constexpr int kMaxThreads = 256;

// The number of workers --threads asks for, or the verdict refusing it.
std::variant<int, scopewatch::CommandLineVerdict> ThreadCount(
    const scopewatch::ToolCommandLine& commandLine) {
    const QCommandLineParser& parser = commandLine.parser();
    if (!parser.isSet("threads")) {
        return scopewatch::DefaultWorkerCount();
    }
    bool ok = false;
    const int threads = parser.value("threads").toInt(&ok);
    if (!ok || threads < 1 || threads > kMaxThreads) {
        return commandLine.Refuse("--threads needs a whole number from 1 to " +
                                  std::to_string(kMaxThreads));
    }
    return threads;
}

scopewatch::ToolCommandLine BuildDbCommandLine() {
    return scopewatch::ToolCommandLine(
        "scopewatch-build-db", "[options] SIMFOLDER",
        "Builds the airport database in the current directory from the simulator's scenery,\n"
        "as setup and the \"Creating Database\" window do, without windows: writes\n"
        "atc_settings.tcs and world_airports.dat, and prints the files examined, the\n"
        "airports found and the time taken.",
        {{"threads",
          "Scenery files decoded at once, 1 to " + QString::number(kMaxThreads) +
              " (default: one per processor core). The database is the same for any number.",
          "N"}},
        {{"SIMFOLDER", "The simulator's main folder, the one holding scenery.cfg."}});
}

// The simulator folder the command line names, as the program's Windows-1252 text, or why it
// cannot be used.
scopewatch::Outcome<std::string> SimulatorFolder(const scopewatch::ToolCommandLine& commandLine,
                                                 const scopewatch::FileSystem& files) {
    const std::filesystem::path realFolder =
        std::filesystem::absolute(commandLine.Positionals().front()).lexically_normal();
    scopewatch::Outcome<std::string> entered =
        scopewatch::PathTextOfEntered(QFile::decodeName(realFolder.c_str()));
    if (entered.ok() && !files.IsFile(*entered.value + "\\scenery.cfg")) {
        return scopewatch::Outcome<std::string>::Failed(
            *entered.value + " holds no scenery.cfg: give the simulator's main folder");
    }
    return entered;
}

// The settings file as setup writes it, then the build as the builder window runs it, its
// progress printed, and the time since the tool started; gives the exit code.
int BuildDatabase(scopewatch::ProgramState& state, const scopewatch::FileSystem& files,
                  const std::string& simFolder, int threads,
                  std::chrono::steady_clock::time_point started) {
    PrintedMessages messages;
    if (!scopewatch::ConfirmSetup(state, messages, simFolder, true)) {
        return 1;
    }
    ProgressPrinter progress;
    scopewatch::DatabaseBuild build(
        state, state.airport, files, messages,
        [&progress](const std::string& text) { progress.Status(text); }, threads);
    const scopewatch::DiscoveryResult found = build.Discover();
    if (found.magVar != scopewatch::MagVarLoadResult::Loaded) {
        std::printf("magdec.bgl could not be read: headings are stored without variation\n");
    }
    std::printf("%d scenery areas, %d scenery files in the airport areas\n", found.areaCount,
                found.bglFileCount);
    while (build.Step()) {
        progress.Files(build.filesExamined(), found.bglFileCount);
    }
    const int32_t airports = state.settings.airportCount;
    const scopewatch::Status finished = build.Finish();
    if (!finished.ok()) {
        return Fail(finished.failure);
    }
    for (const std::string& problem : build.problems()) {
        std::printf("note: %s\n", Printable(problem).c_str());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::error_code error;
    const auto bytes = std::filesystem::file_size(state.DatabaseFile(), error);
    // The seconds are written with a point whatever the locale (Qt applies it at start-up).
    std::printf("%d scenery files examined, %d airports, %s: %llu bytes, %s seconds\n",
                build.filesExamined(), airports, scopewatch::kDatabaseFileName,
                static_cast<unsigned long long>(error ? 0 : bytes),
                scopewatch::FixedNumberText(seconds, 2).c_str());
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    scopewatch::ToolCommandLine commandLine = BuildDbCommandLine();
    if (const auto verdict = commandLine.Read(application.arguments()); !verdict.run) {
        return scopewatch::PrintVerdict(verdict);
    }
    const auto threads = ThreadCount(commandLine);
    if (const auto* verdict = std::get_if<scopewatch::CommandLineVerdict>(&threads)) {
        return scopewatch::PrintVerdict(*verdict);
    }
    const auto started = std::chrono::steady_clock::now();
    scopewatch::ProgramState state;
    state.workDir = std::filesystem::current_path();
    const scopewatch::FileSystem files(state.workDir, scopewatch::FileSystem::MountedVolumes());
    const scopewatch::Outcome<std::string> simFolder = SimulatorFolder(commandLine, files);
    if (!simFolder.ok()) {
        return Fail(simFolder.failure);
    }
    return BuildDatabase(state, files, *simFolder.value, std::get<int>(threads), started);
}
