#pragma once

namespace scopewatch {

// The hand-off points between windows: a window that is done asks for the next one here,
// so that windows never create each other and tests can follow the flow.
class WindowFlow {
  public:
    virtual ~WindowFlow() = default;
    virtual void ShowSetupDialog() = 0;
    virtual void ShowBuilderWindow() = 0;
    virtual void ShowAirportWindow() = 0;
    // "GET AIRPORT" has copied the chosen airport into currentAirport: on to the connection
    // dialog on the first take-over of the run, or back to the running main window.
    virtual void AirportTaken() {}
    // The airport window closed while the main window runs: the main window takes over again.
    virtual void ReturnToMainWindow() {}
    // Ends the program (all windows close, the event loop stops).
    virtual void EndProgram() = 0;
};

}  // namespace scopewatch
