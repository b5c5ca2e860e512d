#include "platform/ui/GuardedApplication.h"

#include <cstdio>
#include <exception>

namespace scopewatch {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Report(error.what());
    } catch (...) {
        Report("an unknown error");
    }
    return false;
}

void GuardedApplication::Report(const std::string& what) {
    // The report may show a message box, whose own events pass through here again.
    if (reporting_ || !reporter_) {
        std::fprintf(stderr, "scopewatch: %s\n", UnexpectedErrorText(what).c_str());
        return;
    }
    reporting_ = true;
    reporter_(what);
    reporting_ = false;
}

std::string UnexpectedErrorText(const std::string& what) {
    return "An unexpected error stopped the last action: " + what +
           ". Scopewatch goes on; if the scope or the session behaves oddly, disconnect and "
           "join again.";
}

}  // namespace scopewatch
