#pragma once

#include <QAbstractButton>
#include <QListWidget>
#include <QTest>

namespace scopewatch::testing {

// Presses a button with the mouse, as a person does.
inline void Click(QAbstractButton& button) {
    QTest::mouseClick(&button, Qt::LeftButton);
}

// Chooses a row of a list with the mouse.
inline void ClickRow(QListWidget& list, int row) {
    QListWidgetItem* item = list.item(row);
    list.scrollToItem(item);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                      list.visualItemRect(item).center());
}

}  // namespace scopewatch::testing
