#include "app/AppWindows.h"

#include <QCoreApplication>

#include "airport/ui/AirportWindow.h"
#include "builder/ui/BuilderWindow.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "shared/ProgramState.h"
#include "startup/StartupCheck.h"
#include "startup/ui/SetupDialog.h"
#include "startup/ui/SplashWindow.h"

namespace scopewatch {

AppWindows::AppWindows(ProgramState& state, MessageBoxes& messages, FileSystem& files)
    : state_(state), messages_(messages), files_(files) {}

AppWindows::~AppWindows() = default;

void AppWindows::Start() {
    splash_ = std::make_unique<SplashWindow>(
        [this] { RunStartupCheck(state_, messages_, files_, *this); });
    splash_->show();
}

void AppWindows::CloseSplash() {
    if (splash_) {
        splash_->hide();
        splash_.release()->deleteLater();
    }
}

void AppWindows::ShowSetupDialog() {
    CloseSplash();
    setup_ = std::make_unique<SetupDialog>(state_, messages_, *this, files_.drives());
    setup_->show();
}

void AppWindows::ShowBuilderWindow() {
    CloseSplash();
    builder_ = std::make_unique<BuilderWindow>(state_, files_, messages_, *this);
    builder_->show();
}

void AppWindows::ShowAirportWindow() {
    CloseSplash();
    // A window that hands over is still inside its own event handler: delete it later.
    if (airport_) {
        airport_.release()->deleteLater();
    }
    airport_ = std::make_unique<AirportWindow>(state_, files_, messages_, *this);
    airport_->show();
}

void AppWindows::AirportTaken() {
    messages_.Inform("The connection dialog is not built yet, so the program ends here.");
    EndProgram();
}

void AppWindows::EndProgram() {
    if (ended_) {
        return;
    }
    ended_ = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

}  // namespace scopewatch
