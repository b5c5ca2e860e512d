#include <filesystem>

#include "app/AppWindows.h"
#include "directplay/ui/HostAddressDialog.h"
#include "multiplayer/DirectPlaySession.h"
#include "platform/FileSystem.h"
#include "platform/ToolCommandLine.h"
#include "platform/ui/GuardedApplication.h"
#include "platform/ui/QtMessageBoxes.h"
#include "replay/ReplaySession.h"
#include "replay/SessionChoice.h"
#include "replay/ui/CaptureFileDialog.h"
#include "shared/TimerClock.h"
#include "state/ProgramState.h"

namespace {

// The program takes no arguments of its own but --help and --version; Qt's options (-platform,
// -style ...) are taken by the application object before the line is read.
scopewatch::ToolCommandLine ProgramCommandLine() {
    return scopewatch::ToolCommandLine(
        "scopewatch", "[options]",
        "Radar scope for the air-traffic controller of a Microsoft Flight Simulator 2002\n"
        "multiplayer session. Keeps atc_settings.tcs and world_airports.dat in the current\n"
        "directory: without them it runs setup and builds the airport database, with both\n"
        "it opens the airport window. Also takes Qt's options, such as -platform and -style.",
        {});
}

QStringList GivenArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments.append(QString::fromLocal8Bit(argv[index]));
    }
    return arguments;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Help and version are answered before the application object exists: they need no display.
    if (const auto asked = ProgramCommandLine().Read(GivenArguments(argc, argv));
        !asked.run && asked.exitCode == 0) {
        return scopewatch::PrintVerdict(asked);
    }
    scopewatch::GuardedApplication application(argc, argv);
    if (const auto verdict = ProgramCommandLine().Read(application.arguments()); !verdict.run) {
        return scopewatch::PrintVerdict(verdict);
    }
    application.setQuitOnLastWindowClosed(false);
    // The user's own choices (the controller's aids) go to ~/.config/Scopewatch/.
    QCoreApplication::setOrganizationName("Scopewatch");
    QCoreApplication::setApplicationName("Scopewatch");
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName("io.github.scopewatch.Scopewatch");

    scopewatch::ProgramState state;
    state.workDir = std::filesystem::current_path();
    scopewatch::FileSystem files(state.workDir, scopewatch::FileSystem::MountedVolumes());
    scopewatch::QtMessageBoxes messages;
    application.SetReporter([&messages](const std::string& what) {
        messages.Warn(scopewatch::UnexpectedErrorText(what));
    });
    // Each session joined is recorded into recordings/ unless the user switched it off.
    scopewatch::DirectPlaySessionOptions sessionOptions;
    sessionOptions.recording.folder = state.workDir / "recordings";
    sessionOptions.recordingWanted = [&state] { return state.aids.recordSessions; };
    scopewatch::DirectPlaySession live([] { return scopewatch::AskHostAddress(); }, sessionOptions);
    scopewatch::replay::ReplaySession replay(
        [&state] { return scopewatch::replay::AskCaptureFile(state.workDir); });
    scopewatch::replay::SessionChoice session(live, replay);
    scopewatch::TimerClock clock;

    scopewatch::AppWindows windows(state, messages, files, session, clock);
    windows.Start();
    return application.exec();
}
