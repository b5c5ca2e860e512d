#include <gtest/gtest.h>

#include "startup/ui/SetupDialog.h"
#include "state/ProgramState.h"
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

// The dialog opens on the working directory's drive and folder; choosing a
// drive or a folder overwrites the typed text. Closing it before setup finished
// removes the settings file (and nothing else) and ends the program.
TEST_F(SetupDialogTest, OpensOnTheWorkingDirectoryChoicesOverwriteTheTypedTextClosingEnds) {
    state.workDir = dir / "volume";
    SetupDialog dialog(state, messages, flow, drives);
    dialog.show();
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
    dir.Write("volume/" + std::string(kSettingsFileName), "left by an earlier run");
    dir.Write("volume/notes.tcs", "a user's own file");
    dialog.close();
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"You didn't finish setup process, program will end"});
    EXPECT_EQ(flow.shown, std::vector<std::string>{"end"});
    EXPECT_FALSE(fs::exists(dir / "volume" / kSettingsFileName));
    EXPECT_TRUE(fs::exists(dir / "volume/notes.tcs"));
}

// The typed text enters as Windows-1252; a character it lacks is refused, never
// stored as "?", and an empty text or an unwritable working directory keeps the
// dialog open too (neither is claimed as success). A folder it can hold is
// written to the settings as typed, and the builder takes over.
TEST_F(SetupDialogTest, TypedPathsBecomeWindows1252OrAreRefused) {
    SetupDialog dialog(state, messages, flow, drives);
    dialog.show();
    dialog.folderText().clear();
    dialog.nextButton().click();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Please enter the your fs directory"});
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    messages.shown.clear();
    dialog.folderText().setText(QString::fromUtf8("/home/u/T\u014Dky\u014D/FS2002"));
    dialog.nextButton().click();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_NE(messages.shown[0].text.find("U+014D"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / kSettingsFileName));

    messages.shown.clear();
    dialog.folderText().setText(QString::fromUtf8("/home/jos\u00E9/Biblioth\u00E8que/FS2002"));
    state.workDir = dir / "missing-folder";
    dialog.nextButton().click();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_NE(messages.shown[0].text.find("could not be written"), std::string::npos);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(flow.shown.empty());

    messages.shown.clear();
    state.workDir = dir.path();
    dialog.nextButton().click();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Settings file created successfully!"});
    EXPECT_EQ(state.settings.simFolder, "/home/jos\xE9/Biblioth\xE8que/FS2002");
    EXPECT_EQ(state.settings.simVersion, 1);
    EXPECT_EQ(state.settingsRecord.header, "Scopewatch Version 1.0");
    EXPECT_EQ(testing::ReadBytes(dir / kSettingsFileName).size(), 34U + 30);  // the folder takes 30
    EXPECT_TRUE(dialog.setupFinished() && dialog.isHidden());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"builder"});
}

}  // namespace
}  // namespace scopewatch
