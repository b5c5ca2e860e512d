#include <QApplication>
#include <filesystem>

#include "app/AppWindows.h"
#include "platform/FileSystem.h"
#include "platform/ui/QtMessageBoxes.h"
#include "shared/ProgramState.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName("io.github.scopewatch.Scopewatch");

    scopewatch::ProgramState state;
    state.workDir = std::filesystem::current_path();
    scopewatch::FileSystem files(state.workDir, scopewatch::FileSystem::MountedVolumes());
    scopewatch::QtMessageBoxes messages;

    scopewatch::AppWindows windows(state, messages, files);
    windows.Start();
    return application.exec();
}
