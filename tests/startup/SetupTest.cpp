#include <gtest/gtest.h>

#include "startup/Setup.h"
#include "state/ProgramState.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

// An empty folder text or an unwritable working directory is refused with a message, not
// claimed as success; a folder is written as typed and sets the shared values. Abandoning
// setup removes only the settings file and says that the program ends.
TEST(SetupTest, RefusesEmptyOrUnwritableWritesTheFolderAsTypedAbandonRemovesOnlyTheSettings) {
    testing::TempDir dir;
    ProgramState state;
    testing::ScriptedMessageBoxes messages;
    state.workDir = dir.path();
    EXPECT_FALSE(ConfirmSetup(state, messages, "", true));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Please enter the your fs directory"});
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_FALSE(fs::exists(dir / kSettingsFileName));
    state.workDir = dir / "missing-folder";
    EXPECT_FALSE(ConfirmSetup(state, messages, "C:\\FS2002", true));
    ASSERT_EQ(messages.shown.size(), 2U);
    EXPECT_NE(messages.shown[1].text.find("could not be written"), std::string::npos);

    state.workDir = dir.path();
    messages.shown.clear();
    ASSERT_TRUE(ConfirmSetup(state, messages, "C:\\FS2002", true));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Settings file created successfully!"});
    EXPECT_EQ(testing::ReadBytes(dir / kSettingsFileName).size(), 43U);
    EXPECT_EQ(state.settings.simFolder, "C:\\FS2002");
    EXPECT_EQ(state.settings.simVersion, 1);
    EXPECT_EQ(state.settingsRecord.header, "Scopewatch Version 1.0");

    dir.Write("notes.tcs", "a user's own file");
    messages.shown.clear();
    AbandonSetup(state, messages);
    EXPECT_FALSE(fs::exists(dir / kSettingsFileName));
    EXPECT_TRUE(fs::exists(dir / "notes.tcs"));
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"You didn't finish setup process, program will end"});
}

}  // namespace
}  // namespace scopewatch
