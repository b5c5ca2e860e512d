#pragma once

#include <QWidget>
#include <string>
#include <vector>

namespace scopewatch::testing {

// The accessible names of the controls the Tab key reaches in the window, in the order it
// reaches them (a text box's viewport and scroll bars, hidden and unnamed widgets passed over).
inline std::vector<std::string> TabOrder(QWidget& window) {
    std::vector<std::string> names;
    for (QWidget* widget = window.nextInFocusChain(); widget != &window;
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isVisibleTo(&window) &&
            !widget->accessibleName().isEmpty()) {
            names.push_back(widget->accessibleName().toStdString());
        }
    }
    return names;
}

}  // namespace scopewatch::testing
