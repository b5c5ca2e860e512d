#include "mainwindow/MainWindowReturn.h"

#include "model/SessionState.h"
#include "shared/WindowFlow.h"

namespace scopewatch {

MainWindowReturn::MainWindowReturn(const SessionState& state, WindowFlow& flow)
    : state_(state), flow_(flow) {}

void MainWindowReturn::GiveBack() {
    if (givenBack_) {
        return;
    }
    givenBack_ = true;
    flow_.ReturnToMainWindow();
}

void MainWindowReturn::WindowClosed() {
    if (state_.mainWindowOpen == kTrue16) {
        GiveBack();
    }
}

}  // namespace scopewatch
