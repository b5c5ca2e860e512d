#pragma once

namespace scopewatch {

// The hand-off points between windows: a window that is done asks for the next one here,
// so that windows never create each other and tests can follow the flow.
class WindowFlow {
  public:
    virtual ~WindowFlow() = default;
    virtual void ShowSetupDialog() = 0;
    virtual void ShowBuilderWindow() = 0;
    // The airport window: at start-up, or over the running main window ("Goto Airport").
    virtual void ShowAirportWindow() = 0;
    // "GET AIRPORT" has copied the chosen airport into currentAirport: on to the connection
    // dialog on the first take-over of the run, or back to the running main window.
    virtual void AirportTaken() {}
    // The connection dialog: after the first take-over, and after the main window left the
    // session.
    virtual void ShowConnectionDialog() {}
    // The host accepted our player: the connection dialog has closed, the main window opens.
    virtual void ShowMainWindow() {}
    // The main window's child windows ("Options", "About").
    virtual void ShowOptionsWindow() {}
    virtual void ShowAboutWindow() {}
    // The controller's aids window (a child window like the options) and the traffic list,
    // which stays open beside the scope.
    virtual void ShowControllerAidsWindow() {}
    virtual void ShowTrafficList() {}
    // A child window closed while the main window runs: the main window takes over again.
    virtual void ReturnToMainWindow() {}
    // Ends the program (all windows close, the event loop stops).
    virtual void EndProgram() = 0;
};

}  // namespace scopewatch
