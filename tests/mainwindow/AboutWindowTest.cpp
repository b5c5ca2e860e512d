#include <gtest/gtest.h>

#include <QTest>

#include "mainwindow/ui/AboutWindow.h"
#include "shared/ProgramState.h"
#include "support/RecordingFlow.h"
#include "support/TabOrder.h"

namespace scopewatch {
namespace {

using Shown = std::vector<std::string>;

class AboutWindowTest : public ::testing::Test {
  protected:
    AboutWindowTest() { state.mainWindowOpen = kTrue16; }

    std::unique_ptr<AboutWindow> Open() {
        auto window = std::make_unique<AboutWindow>(state, flow);
        window->show();
        return window;
    }

    ProgramState state;
    testing::RecordingFlow flow;
};

TEST_F(AboutWindowTest, NamesTheProductWithItsPictureAndReadOnlyCredits) {
    auto window = Open();
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->windowTitle(), "About Scopewatch v1.0");
    EXPECT_EQ(window->heading().text(), "SCOPEWATCH VERSION 1.0");
    EXPECT_FALSE(window->picture().pixmap().isNull());
    EXPECT_EQ(window->creditsFrame().title(), "CREDITS");
    EXPECT_TRUE(window->creditsText().isReadOnly());
    const QString credits = window->creditsText().toPlainText();
    for (const char* part : {"Scopewatch team", "Qt 6 (LGPL)", "DejaVu Sans"}) {
        EXPECT_TRUE(credits.contains(part)) << part;
    }
    EXPECT_EQ(testing::TabOrder(*window), (Shown{"CREDITS", "OK"}));
}

TEST_F(AboutWindowTest, OkOrTheCloseBoxGivesBackOnceAndOnlyWhileTheMainWindowIsOpen) {
    auto window = Open();
    QTest::mouseClick(&window->okButton(), Qt::LeftButton);
    EXPECT_TRUE(window->isHidden());
    EXPECT_EQ(flow.shown, Shown{"back to main"});  // OK and the close that follows it: once
    window->show();                                // a new opening
    window->close();
    window->close();
    EXPECT_EQ(flow.shown, (Shown{"back to main", "back to main"}));

    state.mainWindowOpen = kFalse16;
    Open()->close();
    EXPECT_EQ(flow.shown, (Shown{"back to main", "back to main"}));
}

}  // namespace
}  // namespace scopewatch
