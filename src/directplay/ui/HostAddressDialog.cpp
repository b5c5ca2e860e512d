#include "directplay/ui/HostAddressDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace scopewatch {

HostAddressDialog::HostAddressDialog(QWidget* parent)
    : QDialog(parent), field_(new QLineEdit(this)) {
    setWindowTitle("Internet TCP/IP Connection For DirectPlay");
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(
        "Enter the IP address or name of the session host.\n"
        "Leave it empty to search the local network.",
        this);
    label->setBuddy(field_);
    field_->setAccessibleName("Session host address");
    layout->addWidget(label);
    field_->setObjectName("hostAddress");
    layout->addWidget(field_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::string HostAddressDialog::address() const {
    return field_->text().trimmed().toStdString();
}

std::optional<std::string> AskHostAddress(QWidget* parent) {
    HostAddressDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.address();
}

}  // namespace scopewatch
