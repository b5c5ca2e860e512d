#include "platform/ui/QtMessageBoxes.h"

#include <QMessageBox>

#include "platform/CodePage.h"

namespace scopewatch {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MessageAnswer QtMessageBoxes::Ask(const std::string& title, const std::string& text,
                                  MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(ToQtIcon(icon), FromAnsi(title), FromAnsi(text),
                    buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                        : QMessageBox::Ok);
    return box.exec() == QMessageBox::Cancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

}  // namespace scopewatch
