#include <gtest/gtest.h>

#include "shared/ProgramState.h"
#include "startup/ui/SetupDialog.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

class SetupDialogTest : public ::testing::Test {
  protected:
    SetupDialogTest() {
        state.workDir = dir.path();
        fs::create_directories(dir / "volume/Fs2002");
        fs::create_directories(dir / "other");
        drives = {{"C:\\", DriveType::Fixed, std::string("SYSTEM"), dir / "volume"},
                  {"D:\\", DriveType::CdRom, std::string("FS2002_2"), dir / "other"}};
    }

    testing::TempDir dir;
    ProgramState state;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
    std::vector<Drive> drives;
};

// Choosing a drive or a folder overwrites the typed text.
TEST_F(SetupDialogTest, OpensOnTheWorkingDirectoryAndChoicesOverwriteTheTypedText) {
    state.workDir = dir / "volume";
    SetupDialog dialog(state, messages, flow, drives);
    EXPECT_EQ(dialog.windowTitle(), "Completing setup - settings");
    EXPECT_EQ(dialog.driveList().currentIndex(), 0);
    EXPECT_EQ(dialog.folderText().text().toStdString(), (dir / "volume").string());
    EXPECT_EQ(dialog.nextButton().text(), "NEXT STEP --->");
    EXPECT_FALSE(dialog.folderList().findItems("Fs2002", Qt::MatchExactly).isEmpty());

    dialog.folderText().setText("typed by hand");
    dialog.driveList().setCurrentIndex(1);
    EXPECT_EQ(dialog.folderText().text().toStdString(), (dir / "other").string());

    dialog.driveList().setCurrentIndex(0);
    auto* item = dialog.folderList().findItems("Fs2002", Qt::MatchExactly).front();
    emit dialog.folderList().itemActivated(item);
    EXPECT_EQ(dialog.folderText().text().toStdString(), (dir / "volume/Fs2002").string());
}

TEST_F(SetupDialogTest, NextStepWritesTheSettingsAndHandsOverToTheBuilder) {
    SetupDialog dialog(state, messages, flow, drives);
    dialog.show();
    dialog.folderText().setText("C:\\FS2002");
    dialog.nextButton().click();
    EXPECT_TRUE(dialog.setupFinished());
    EXPECT_TRUE(fs::exists(dir / kSettingsFileName));
    EXPECT_EQ(flow.shown, std::vector<std::string>{"builder"});
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(SetupDialogTest, EmptyTextKeepsTheDialogOpenAndClosingEndsTheProgram) {
    SetupDialog dialog(state, messages, flow, drives);
    dialog.show();
    dialog.folderText().clear();
    dialog.nextButton().click();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Please enter the your fs directory"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(flow.shown.empty());

    dialog.close();
    EXPECT_EQ(messages.Texts().back(), "You didn't finish setup process, program will end");
    EXPECT_EQ(flow.shown, std::vector<std::string>{"end"});
}

}  // namespace
}  // namespace scopewatch
