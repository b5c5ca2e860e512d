#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace scopewatch {

// Gives a control its caption as accessible name, so keyboard users, screen readers and UI
// tests find it by what the user reads. A label's caption also names the box it stands
// before (the label becomes the box's buddy).
inline void NameAfterCaption(QWidget& control, const QString& caption) {
    control.setAccessibleName(caption);
}

// A check box named after its caption.
inline QCheckBox* NamedCheckBox(const QString& caption) {
    auto* box = new QCheckBox(caption);
    NameAfterCaption(*box, caption);
    return box;
}

inline void NameAfterLabel(QLabel& label, QWidget& control) {
    label.setBuddy(&control);
    control.setAccessibleName(label.text());
}

// A label that shows a value (a status line, the zoom) reads as that value: its accessible
// name is left to its text, and the caption before it labels it. Qt then announces each new
// text to screen readers as a change of the label's name.
inline void LabelValue(QLabel& caption, QLabel& value) {
    caption.setBuddy(&value);
    value.setAccessibleName(QString());
}

}  // namespace scopewatch
