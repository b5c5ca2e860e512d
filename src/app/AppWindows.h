#pragma once

#include <QObject>
#include <memory>

#include "shared/WindowFlow.h"

namespace scopewatch {

struct ProgramState;
class MessageBoxes;
class FileSystem;
class SplashWindow;
class SetupDialog;
class BuilderWindow;
class AirportWindow;

// The program's windows and the hand-offs between them. It owns every top-level window
// and creates each one when the flow reaches it.
class AppWindows : public QObject, public WindowFlow {
    Q_OBJECT
  public:
    AppWindows(ProgramState& state, MessageBoxes& messages, FileSystem& files);
    ~AppWindows() override;

    // Shows the splash window; the start-up check follows 3 s later.
    void Start();

    void ShowSetupDialog() override;
    void ShowBuilderWindow() override;
    void ShowAirportWindow() override;
    void AirportTaken() override;
    void EndProgram() override;

    bool ended() const { return ended_; }
    SplashWindow* splash() const { return splash_.get(); }
    SetupDialog* setupDialog() const { return setup_.get(); }
    BuilderWindow* builderWindow() const { return builder_.get(); }
    AirportWindow* airportWindow() const { return airport_.get(); }

  private:
    void CloseSplash();

    ProgramState& state_;
    MessageBoxes& messages_;
    FileSystem& files_;
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<SetupDialog> setup_;
    std::unique_ptr<BuilderWindow> builder_;
    std::unique_ptr<AirportWindow> airport_;
    bool ended_ = false;
};

}  // namespace scopewatch
