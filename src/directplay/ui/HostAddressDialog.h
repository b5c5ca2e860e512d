#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;

namespace scopewatch {

// The TCP/IP transport's own small dialog: asks for the session host's address, or nothing
// to search the local network.
class HostAddressDialog : public QDialog {
    Q_OBJECT
  public:
    explicit HostAddressDialog(QWidget* parent = nullptr);
    std::string address() const;
    QLineEdit* addressField() const { return field_; }

  private:
    QLineEdit* field_;
};

// Shows the dialog modally: the address typed (maybe empty), or nothing when cancelled.
std::optional<std::string> AskHostAddress(QWidget* parent = nullptr);

}  // namespace scopewatch
