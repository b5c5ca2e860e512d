#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include "directplay/ui/HostAddressDialog.h"

namespace scopewatch {
namespace {

// Answers the modal dialog once it is shown: types the text and accepts, or cancels.
void AnswerDialog(const QString& text, bool accept) {
    QTimer::singleShot(0, [text, accept] {
        auto* dialog = qobject_cast<HostAddressDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->addressField()->setText(text);
        accept ? dialog->accept() : dialog->reject();
    });
}

// The typed address comes back trimmed, an empty one (search the local network) as empty,
// and cancelling gives nothing.
TEST(HostAddressDialog, ReturnsTheTypedAddressOrNothingWhenCancelled) {
    AnswerDialog("  10.0.0.5 ", true);
    EXPECT_EQ(AskHostAddress(), "10.0.0.5");
    AnswerDialog("", true);
    EXPECT_EQ(AskHostAddress(), "");  // search the local network
    AnswerDialog("10.0.0.5", false);
    EXPECT_EQ(AskHostAddress(), std::nullopt);
}

}  // namespace
}  // namespace scopewatch
