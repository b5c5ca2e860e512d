#include <gtest/gtest.h>

#include "mainwindow/MainWindowReturn.h"
#include "shared/ProgramState.h"
#include "support/RecordingFlow.h"

namespace scopewatch {
namespace {

using Shown = std::vector<std::string>;

class MainWindowReturnTest : public ::testing::Test {
  protected:
    MainWindowReturnTest() { state.mainWindowOpen = kTrue16; }

    ProgramState state;
    testing::RecordingFlow flow;
    MainWindowReturn mainWindowReturn{state, flow};
};

TEST_F(MainWindowReturnTest, OkThenTheCloseGivesTheMainWindowBackOncePerOpening) {
    mainWindowReturn.Opened();
    mainWindowReturn.GiveBack();
    mainWindowReturn.WindowClosed();
    EXPECT_EQ(flow.shown, Shown{"main"});

    mainWindowReturn.Opened();
    mainWindowReturn.WindowClosed();
    mainWindowReturn.WindowClosed();
    mainWindowReturn.GiveBack();
    EXPECT_EQ(flow.shown, (Shown{"main", "main"}));
}

TEST_F(MainWindowReturnTest, ClosingGivesBackOnlyWhileTheMainWindowIsOpenButOkAlways) {
    state.mainWindowOpen = kFalse16;
    mainWindowReturn.Opened();
    mainWindowReturn.WindowClosed();
    EXPECT_TRUE(flow.shown.empty());
    EXPECT_FALSE(mainWindowReturn.givenBack());

    mainWindowReturn.GiveBack();
    EXPECT_EQ(flow.shown, Shown{"main"});
}

}  // namespace
}  // namespace scopewatch
