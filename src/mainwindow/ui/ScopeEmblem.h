#pragma once

#include <QPixmap>

namespace scopewatch {

// The program's emblem, drawn here: a dark round radar scope with green range rings, a
// sweep with its fading trail and a few labelled aircraft blips, size x size pixels on a
// transparent background.
QPixmap ScopeEmblem(int size);

}  // namespace scopewatch
