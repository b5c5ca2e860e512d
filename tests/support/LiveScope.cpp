#include "support/LiveScope.h"

#include <cmath>

#include "demohost/DemoTrafficPlan.h"
#include "support/Clicks.h"
#include "support/DemoAirportState.h"
#include "support/DirectPlayTestPorts.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::testing {
namespace {

demo::DemoHostOptions WithPortsAndTick(demo::DemoHostOptions options, uint16_t hostPorts,
                                       const TimerClock& clock) {
    options.ports = DirectPlayTestPorts(hostPorts);
    options.tickMs = clock.RealMs(1000);
    options.logPositions = false;
    return options;
}

// Empty: nothing is recorded.
DirectPlaySessionOptions RecordedInto(DirectPlaySessionOptions options,
                                      const std::filesystem::path& folder) {
    options.recording.folder = folder;
    return options;
}

}  // namespace

DirectPlaySessionOptions LoopbackClientOptions(uint16_t hostPorts, uint16_t clientPorts) {
    DirectPlaySessionOptions options;
    options.ports = DirectPlayTestPorts(clientPorts);
    options.ports.enumPort = DirectPlayTestPorts(hostPorts).enumPort;
    options.enumerationWindowMs = 3000;
    return options;
}

LiveScope::LiveScope(uint16_t hostPorts, uint16_t clientPorts, double speedUp,
                     demo::DemoHostOptions hostOptions, bool recorded)
    : files(dir.path(), {}),
      clock(speedUp),
      host_(std::make_unique<demo::DemoSessionHost>(
          WithPortsAndTick(std::move(hostOptions), hostPorts, clock), demo::DemoLargeAirportPlan(),
          nullptr)),
      session([] { return std::optional<std::string>("127.0.0.1"); },
              RecordedInto(LoopbackClientOptions(hostPorts, clientPorts),
                           recorded ? dir.path() / "recordings" : std::filesystem::path())),
      windows(state, messages, files, session, clock) {
    state.workDir = dir.path();
    state.airport = DemoAirportLoaded();
}

bool LiveScope::Join() {
    if (!host_->Start().ok()) {
        return false;
    }
    windows.ShowConnectionDialog();
    ConnectionDialog& connection = *dialog();
    ClickRow(connection.connectionTypeList(), 0);
    Click(connection.locateButton());
    SpinUntil([&] { return connection.locateButton().isEnabled(); }, 10000);
    if (connection.sessionList().count() != 1) {
        return false;
    }
    ClickRow(connection.sessionList(), 0);
    Click(connection.joinButton());
    // Until the main window runs, or the dialog is ready to start over after a failed join.
    SpinUntil([&] { return main() != nullptr || (dialog() && dialog()->joinButton().isEnabled()); },
              20000);
    return main() != nullptr;
}

}  // namespace scopewatch::testing
