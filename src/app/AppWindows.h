#pragma once

#include <QObject>
#include <memory>

#include "app/RetiredWindows.h"
#include "shared/WindowFlow.h"

namespace scopewatch {

struct ProgramState;
class MessageBoxes;
class FileSystem;
class SessionService;
class TimerClock;
class SplashWindow;
class SetupDialog;
class BuilderWindow;
class AirportWindow;
class ConnectionDialog;
class MainWindow;
class OptionsWindow;
class AboutWindow;
class ControllerAidsWindow;
class TrafficListWindow;
namespace replay {
class ReplayWindow;
}

// The program's windows and the hand-offs between them. It owns every top-level window
// and creates each one when the flow reaches it.
class AppWindows : public QObject, public WindowFlow {
    Q_OBJECT
  public:
    // `clock` is the pace of the program's timers; a replay sets it.
    AppWindows(ProgramState& state, MessageBoxes& messages, FileSystem& files,
               SessionService& session, TimerClock& clock);
    ~AppWindows() override;

    // Shows the splash window; the start-up check follows 3 s later.
    void Start();

    void ShowSetupDialog() override;
    void ShowBuilderWindow() override;
    void ShowAirportWindow() override;
    void AirportTaken() override;
    void ShowConnectionDialog() override;
    void ShowMainWindow() override;
    void ShowOptionsWindow() override;
    void ShowAboutWindow() override;
    void ShowControllerAidsWindow() override;
    void ShowTrafficList() override;
    void ReturnToMainWindow() override;
    void EndProgram() override;

    bool ended() const { return ended_; }
    // The program has been told to quit (after EndProgram, once the session has closed).
    bool quitting() const { return quitting_; }
    SplashWindow* splash() const { return splash_.get(); }
    SetupDialog* setupDialog() const { return setup_.get(); }
    BuilderWindow* builderWindow() const { return builder_.get(); }
    AirportWindow* airportWindow() const { return airport_.get(); }
    ConnectionDialog* connectionDialog() const { return connection_.get(); }
    MainWindow* mainWindow() const { return main_.get(); }
    OptionsWindow* optionsWindow() const { return options_.get(); }
    AboutWindow* aboutWindow() const { return about_.get(); }
    ControllerAidsWindow* controllerAidsWindow() const { return aids_.get(); }
    TrafficListWindow* trafficList() const { return trafficList_.get(); }
    replay::ReplayWindow* replayWindow() const { return replayWindow_.get(); }

    // Windows handed over but not yet deleted.
    size_t retiredWindows() const { return retired_.waiting(); }

  private:
    void CloseSplash();
    // The "Replay" window beside the main window, when the session plays a recording.
    void ShowReplayWindow();
    void EndReplay();
    // A window that hands over is still inside its own event handler: it is deleted once
    // nothing of it can be on the stack.
    template <typename Window>
    void Retire(std::unique_ptr<Window>& window);
    void Quit();

    ProgramState& state_;
    MessageBoxes& messages_;
    FileSystem& files_;
    SessionService& session_;
    TimerClock& clock_;
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<SetupDialog> setup_;
    std::unique_ptr<BuilderWindow> builder_;
    std::unique_ptr<AirportWindow> airport_;
    std::unique_ptr<ConnectionDialog> connection_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<OptionsWindow> options_;
    std::unique_ptr<AboutWindow> about_;
    std::unique_ptr<ControllerAidsWindow> aids_;
    std::unique_ptr<TrafficListWindow> trafficList_;
    std::unique_ptr<replay::ReplayWindow> replayWindow_;
    RetiredWindows retired_;
    bool ended_ = false;
    bool quitting_ = false;
};

}  // namespace scopewatch
