#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

namespace scopewatch {

// The first window: a caption, and a timer that runs the start-up check once after 3 s.
class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SplashWindow(std::function<void()> startupCheck, QWidget* parent = nullptr);

    QTimer& timer() { return Timer1; }

  private:
    void OnTick();

    QTimer Timer1;
    std::function<void()> startupCheck_;
};

}  // namespace scopewatch
