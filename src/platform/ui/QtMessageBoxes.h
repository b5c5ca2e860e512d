#pragma once

#include "platform/MessageBoxes.h"

namespace scopewatch {

// Message boxes shown with QMessageBox, modal to the whole application.
class QtMessageBoxes : public MessageBoxes {
  protected:
    MessageAnswer Ask(const std::string& title, const std::string& text, MessageIcon icon,
                      MessageButtons buttons) override;
};

}  // namespace scopewatch
