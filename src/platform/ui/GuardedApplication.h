#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace scopewatch {

// The program's application object. Every event passes through it, so it is the last guard
// at the event boundary: an exception that a handler did not catch is reported (through the
// reporter) instead of ending the program without a word, and the event loop goes on.
class GuardedApplication : public QApplication {
    Q_OBJECT
  public:
    using Reporter = std::function<void(const std::string& what)>;

    GuardedApplication(int& argc, char** argv);

    // Who hears of an error that escaped a handler; without one it is written to stderr.
    void SetReporter(Reporter reporter) { reporter_ = std::move(reporter); }
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void Report(const std::string& what);

    Reporter reporter_;
    bool reporting_ = false;
};

// The text a user reads when a handler failed.
std::string UnexpectedErrorText(const std::string& what);

}  // namespace scopewatch
