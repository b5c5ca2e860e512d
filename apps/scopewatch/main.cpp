#include <filesystem>

#include "app/AppWindows.h"
#include "directplay/ui/HostAddressDialog.h"
#include "multiplayer/DirectPlaySession.h"
#include "platform/FileSystem.h"
#include "platform/ui/GuardedApplication.h"
#include "platform/ui/QtMessageBoxes.h"
#include "shared/TimerClock.h"
#include "state/ProgramState.h"

int main(int argc, char* argv[]) {
    scopewatch::GuardedApplication application(argc, argv);
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
    scopewatch::DirectPlaySession session([] { return scopewatch::AskHostAddress(); });
    const scopewatch::TimerClock clock;

    scopewatch::AppWindows windows(state, messages, files, session, clock);
    windows.Start();
    return application.exec();
}
