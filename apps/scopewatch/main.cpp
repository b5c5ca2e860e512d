#include <QApplication>
#include <filesystem>

#include "app/AppWindows.h"
#include "platform/FileSystem.h"
#include "platform/ui/QtMessageBoxes.h"
#include "shared/ProgramState.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);

    scopewatch::ProgramState state;
    state.workDir = std::filesystem::current_path();
    scopewatch::FileSystem files(state.workDir, scopewatch::FileSystem::MountedVolumes());
    scopewatch::QtMessageBoxes messages;

    scopewatch::AppWindows windows(state, messages, files);
    windows.Start();
    return application.exec();
}
