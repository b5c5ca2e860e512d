#pragma once

#include <QWidget>

namespace scopewatch::testing {

// The widget the Tab key moves to from `widget`: the next one in the focus chain that takes
// focus by Tab and is shown (a text box's viewport and scroll bars are passed over).
inline QWidget* NextTabStop(QWidget* widget) {
    for (QWidget* next = widget->nextInFocusChain(); next != widget;
         next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) != 0 && next->isVisible() && next->isEnabled()) {
            return next;
        }
    }
    return widget;
}

}  // namespace scopewatch::testing
