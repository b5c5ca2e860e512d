#pragma once

#include <optional>

namespace scopewatch {

// A press and release of the left button on the scope: a click when the pointer stayed within
// a few pixels of where it was pressed (it picks an aircraft or ends the selection), a
// measuring drag otherwise.
class ClickOrDrag {
  public:
    static constexpr double kClickTolerancePx = 4.0;

    void Press(double xPx, double yPx);
    // The pointer moved while the button is held.
    void Move(double xPx, double yPx);
    // The button is released there: whether it was a click.
    bool ReleaseIsClick(double xPx, double yPx);
    // The button is held and the pointer has left the press's few pixels.
    bool dragging() const { return pressed_ && wandered_; }

  private:
    void Reach(double xPx, double yPx);

    double pressX_ = 0.0;
    double pressY_ = 0.0;
    bool pressed_ = false;
    bool wandered_ = false;
};

// The wheel's turn in whole notches: a notch is 120 eighths of a degree, and a finer wheel or
// touchpad adds up until it makes one.
class WheelNotches {
  public:
    static constexpr int kNotch = 120;

    // Adds the turn (positive away from the user); returns the whole notches it completes.
    int Turn(int angleDelta);

  private:
    int pending_ = 0;
};

// What a key does to the scope.
enum class ScopeKeyAction { ZoomIn, ZoomOut, Left, Right, Up, Down, Centre, EndSelection };

// "+" and "-" zoom, the arrows move the view, Home re-centres on the airport and Esc ends the
// selection; nothing for any other key (a Qt::Key code).
std::optional<ScopeKeyAction> ScopeKeyActionFor(int key);

}  // namespace scopewatch
