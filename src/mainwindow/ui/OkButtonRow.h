#pragma once

#include <QHBoxLayout>
#include <QPushButton>

#include "platform/ui/Captions.h"

namespace scopewatch {

// The "OK" button that closes a child window of the main window: the default button (Enter
// presses it), alone at the right of its row, which is added to the window's layout.
inline QPushButton* AddOkButtonRow(QBoxLayout& layout) {
    auto* button = new QPushButton("OK");
    NameAfterCaption(*button, "OK");
    button->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(button);
    layout.addLayout(row);
    return button;
}

}  // namespace scopewatch
