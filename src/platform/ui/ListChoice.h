#pragma once

#include <QList>
#include <QListWidget>

namespace scopewatch {

// The row the user chose in a list, or -1. Only a selected row counts: a keyboard user who
// tabs into a list gets a current row without having chosen it, and a list starts without a
// choice.
inline int ChosenRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.first());
}

}  // namespace scopewatch
