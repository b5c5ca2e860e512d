#include <gtest/gtest.h>

#include <QTest>

#include "mainwindow/ui/AboutWindow.h"
#include "state/ProgramState.h"
#include "support/RecordingFlow.h"
#include "support/TabOrder.h"

namespace scopewatch {
namespace {

using Shown = std::vector<std::string>;

// The window names the product with its picture and read-only credits; "OK" or the close box
// gives the main window back once per opening (when it does not: OptionsWindowTest).
TEST(AboutWindowTest, NamesTheProductAndOkOrTheCloseBoxGivesBackOnce) {
    ProgramState state;
    state.mainWindowOpen = kTrue16;
    testing::RecordingFlow flow;
    AboutWindow window(state, flow);
    window.show();
    EXPECT_FALSE(window.isModal());
    EXPECT_EQ(window.windowTitle(), "About Scopewatch v1.0");
    EXPECT_EQ(window.heading().text(), "SCOPEWATCH VERSION 1.0");
    EXPECT_FALSE(window.picture().pixmap().isNull());
    EXPECT_EQ(window.creditsFrame().title(), "CREDITS");
    EXPECT_TRUE(window.creditsText().isReadOnly());
    for (const char* part : {"Scopewatch team", "Qt 6 (LGPL)", "DejaVu Sans"}) {
        EXPECT_TRUE(window.creditsText().toPlainText().contains(part)) << part;
    }
    EXPECT_EQ(testing::TabOrder(window), (Shown{"CREDITS", "OK"}));

    QTest::mouseClick(&window.okButton(), Qt::LeftButton);
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(flow.shown, Shown{"back to main"});  // OK and the close that follows it: once
    window.show();                                 // a new opening, closed with its close box
    window.close();
    EXPECT_EQ(flow.shown, (Shown{"back to main", "back to main"}));
}

}  // namespace
}  // namespace scopewatch
