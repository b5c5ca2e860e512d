#pragma once

#include <string>

namespace scopewatch::testing {

// Switches the C library's numbers to a locale that writes a decimal comma (de_DE and the
// like), as Qt does at start-up for a user with such a locale, and back at the end.
// active() is false when the machine has no such locale; tests then skip with skipReason().
class CommaDecimalLocale {
  public:
    CommaDecimalLocale();
    ~CommaDecimalLocale();
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    bool active() const { return active_; }
    static const char* skipReason();

  private:
    std::string previous_;
    bool active_ = false;
};

}  // namespace scopewatch::testing
