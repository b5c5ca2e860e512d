#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::testing {

// Answers message boxes from a script (Ok when the script is empty) and records each one.
class ScriptedMessageBoxes : public MessageBoxes {
  public:
    struct Shown {
        std::string title;
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageAnswer Ask(const std::string& title, const std::string& text, MessageIcon icon,
                      MessageButtons buttons) override {
        shown.push_back({title, text, icon, buttons});
        if (onShow) {
            onShow();
        }
        if (modalMs > 0) {
            Spin(modalMs);  // a modal box runs an event loop while it waits for the user
        }
        if (answers.empty()) {
            return MessageAnswer::Ok;
        }
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Shown& box : shown) {
            texts.push_back(box.text);
        }
        return texts;
    }

    std::deque<MessageAnswer> answers;
    int modalMs = 0;
    std::function<void()> onShow;  // runs while the box is up
    std::vector<Shown> shown;
};

}  // namespace scopewatch::testing
