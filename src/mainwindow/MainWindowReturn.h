#pragma once

namespace scopewatch {

struct SessionState;
class WindowFlow;

// How a child window of the main window (options, about) gives the main window back: "OK"
// always does, closing the window does while the main window is open, and the main window
// is given back at most once per opening, since "OK" closes the window too.
class MainWindowReturn {
  public:
    MainWindowReturn(const SessionState& state, WindowFlow& flow);

    // The child window is being shown anew: it may give the main window back once more.
    void Opened() { givenBack_ = false; }
    // "OK".
    void GiveBack();
    // The child window closes (close box, or the close after "OK").
    void WindowClosed();

    bool givenBack() const { return givenBack_; }

  private:
    const SessionState& state_;
    WindowFlow& flow_;
    bool givenBack_ = false;
};

}  // namespace scopewatch
