#pragma once

#include <cstdint>
#include <memory>

#include "app/AppWindows.h"
#include "demohost/DemoSessionHost.h"
#include "mainwindow/ui/MainWindow.h"
#include "multiplayer/DirectPlaySession.h"
#include "multiplayer/ui/ConnectionDialog.h"
#include "platform/FileSystem.h"
#include "shared/TimerClock.h"
#include "state/ProgramState.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace scopewatch::testing {

// The options our client joins a test host with; the port numbers as DirectPlayTestPorts
// takes them.
DirectPlaySessionOptions LoopbackClientOptions(uint16_t hostPorts, uint16_t clientPorts);

// The whole program from the connection dialog on, with every timer running, joined over
// loopback to a demo session host in this process. The airport is the demo's Eldorado Intl.
// Both sides run on the same clock: the program's timers and the pilots' ticks go `speedUp`
// times as fast as real time, so a simulated second is 1000 / speedUp milliseconds.
class LiveScope {
  public:
    // hostPorts and clientPorts are test port numbers (DirectPlayTestPorts). The host's
    // options get the ports and the tick; everything else is the caller's. A recorded scope
    // records its session into recordings/ of its folder.
    LiveScope(uint16_t hostPorts, uint16_t clientPorts, double speedUp,
              demo::DemoHostOptions hostOptions, bool recorded = false);

    // Opens the connection dialog and joins the session through it with the default
    // nickname. True once the main window runs, false once the join failed.
    bool Join();

    MainWindow* main() const { return windows.mainWindow(); }
    ConnectionDialog* dialog() const { return windows.connectionDialog(); }
    demo::DemoSessionHost& host() { return *host_; }
    // Our player as the host knows it.
    uint32_t me() const { return static_cast<uint32_t>(state.myPlayerId); }
    // The real time of a number of simulated seconds.
    int RealMs(double simulatedSeconds) const {
        return clock.RealMs(static_cast<int>(simulatedSeconds * 1000));
    }

    TempDir dir;
    ProgramState state;
    ScriptedMessageBoxes messages;
    FileSystem files;
    TimerClock clock;

  private:
    std::unique_ptr<demo::DemoSessionHost> host_;

  public:
    DirectPlaySession session;
    AppWindows windows;
};

}  // namespace scopewatch::testing
