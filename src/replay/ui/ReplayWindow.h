#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QWidget>
#include <array>

#include "replay/ReplayPlayback.h"

namespace scopewatch::replay {

class ReplaySession;

// "Scopewatch v1.0 - Replay": the controls of a replay beside the scope. Play and pause, the
// speed, the position with the elapsed and the whole time, and steps back and forth. It is
// not a child of the main window and never locks it; it stays while the replay plays (it has
// no close button) and goes when the replay ends.
class ReplayWindow : public QWidget {
    Q_OBJECT
  public:
    ReplayWindow(ReplaySession& replay, ReplayPlayback::MainWindowCalls calls, TimerClock& clock,
                 QWidget* parent = nullptr);

    // The replay is over: the program's clock goes back to its own pace and the window may go.
    void Release();

    QPushButton& playButton() { return *play_; }
    QComboBox& speedBox() { return *speed_; }
    QSlider& positionSlider() { return *position_; }
    QLabel& elapsedLabel() { return *elapsed_; }
    QLabel& lengthLabel() { return *length_; }
    QPushButton& stepButton(size_t index) { return *steps_.at(index); }
    ReplayPlayback& playback() { return playback_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    void ShowPosition();
    void ShowPlaying();
    void OnPlay();
    void JumpTo(double seconds);

    ReplayPlayback playback_;
    bool released_ = false;
    QPushButton* play_ = nullptr;
    QComboBox* speed_ = nullptr;
    QSlider* position_ = nullptr;
    QLabel* elapsed_ = nullptr;
    QLabel* length_ = nullptr;
    std::array<QPushButton*, kReplaySteps.size()> steps_{};
};

}  // namespace scopewatch::replay
