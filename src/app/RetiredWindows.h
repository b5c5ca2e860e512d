#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

namespace scopewatch {

class MessageBoxes;

// Windows that have handed over wait here until none of their code can be on the stack.
// A hand-off may happen inside the event loop of a message box, while the handler that
// opened the box waits below it; so a window is deleted only from the program's outermost
// event loop, and only while no message box is up.
class RetiredWindows : public QObject {
    Q_OBJECT
  public:
    explicit RetiredWindows(const MessageBoxes& messages);

    // Hides the window and deletes it as soon as that is safe.
    void Add(std::unique_ptr<QWidget> window);
    size_t waiting() const { return windows_.size(); }

  private:
    void Sweep();

    const MessageBoxes& messages_;
    std::vector<std::unique_ptr<QWidget>> windows_;
    QTimer sweep_;
};

}  // namespace scopewatch
