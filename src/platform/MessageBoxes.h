#pragma once

#include <string>

namespace scopewatch {

enum class MessageIcon { Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

inline constexpr const char* kMessageTitle = "Scopewatch Message";
inline constexpr const char* kInformationTitle = "Scopewatch Information";
inline constexpr const char* kBuilderTitle = "Scopewatch v1.0";

// Modal message boxes. Windows show every message through this, so tests can answer them.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Title and text are Windows-1252 bytes, as the program's texts are.
    MessageAnswer Show(const std::string& title, const std::string& text, MessageIcon icon,
                       MessageButtons buttons) {
        ++open_;
        struct Closed {
            int& open;
            ~Closed() { --open; }
        } closed{open_};
        return Ask(title, text, icon, buttons);
    }
    // Whether a box is up: the code that opened it waits below it on the stack.
    bool showing() const { return open_ > 0; }

    void Inform(const std::string& text) {
        Show(kMessageTitle, text, MessageIcon::Information, MessageButtons::Ok);
    }
    void Warn(const std::string& text) {
        Show(kMessageTitle, text, MessageIcon::Exclamation, MessageButtons::Ok);
    }

  protected:
    // Shows the box and waits for the user's answer.
    virtual MessageAnswer Ask(const std::string& title, const std::string& text, MessageIcon icon,
                              MessageButtons buttons) = 0;

  private:
    int open_ = 0;
};

}  // namespace scopewatch
