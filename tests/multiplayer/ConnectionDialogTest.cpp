#include <gtest/gtest.h>

#include "multiplayer/ConnectionSteps.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/ui/ConnectionDialog.h"
#include "shared/TimerClock.h"
#include "state/ProgramState.h"
#include "support/Clicks.h"
#include "support/InMemorySession.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SpinEventLoop.h"

namespace scopewatch {
namespace {

using testing::Click;
using testing::ClickRow;
namespace texts = connection_texts;

class ConnectionDialogTest : public ::testing::Test {
  protected:
    ConnectionDialogTest() { session.sessions = {{"Sunday Fly-in", 3, 8}}; }

    ConnectionDialog& Open() {
        dialog = std::make_unique<ConnectionDialog>(state, session, messages, flow, clock);
        dialog->show();
        return *dialog;
    }
    // Runs the event loop until the session's steps have ended.
    void Settle() {
        ASSERT_TRUE(testing::SpinUntil([&] { return !session.stepWaiting(); }, 2000));
    }
    void Locate() {
        ClickRow(dialog->connectionTypeList(), 0);
        Click(dialog->locateButton());
        Settle();
    }
    void LocateAndJoin() {
        Locate();
        ClickRow(dialog->sessionList(), 0);
        Click(dialog->joinButton());
        Settle();
    }
    std::string Status() { return dialog->statusLabel().text().toStdString(); }

    ProgramState state;
    InMemorySession session;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
    TimerClock clock{1000.0};
    std::unique_ptr<ConnectionDialog> dialog;
};

// Locating needs the TCP/IP type picked, and a cancelled address prompt says so; joining needs
// a session and a nickname. Each refusal leaves the dialog ready to start over.
TEST_F(ConnectionDialogTest, NothingIsJoinedWithoutATypeASessionOrANickname) {
    session.connectionTypes = {"IPX Connection For DirectPlay"};
    Open();
    EXPECT_EQ(dialog->connectionTypeList().count(), 0);
    Click(dialog->locateButton());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{texts::kSelectConnectionType});
    EXPECT_EQ(Status(), "Disconnected");
    EXPECT_TRUE(dialog->connectionTypeList().isEnabled());

    session.connectionTypes.push_back("Internet TCP/IP Connection For DirectPlay");
    session.sessions.clear();
    Open();
    messages.shown.clear();
    Locate();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(dialog->sessionList().count(), 0);
    EXPECT_EQ(Status(), "Disconnected");

    session.cancelAddressPrompt = true;
    Locate();
    ASSERT_EQ(messages.Texts(), std::vector<std::string>{texts::kCanceledConnection});
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages.shown[0].title, "Scopewatch Message");
    EXPECT_EQ(Status(), "Disconnected");
    EXPECT_TRUE(dialog->locateButton().isEnabled());

    messages.shown.clear();
    dialog->nicknameBox().clear();
    Click(dialog->joinButton());
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{texts::kSelectSession, texts::kWriteNickname}));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    messages.shown.clear();
    session.cancelAddressPrompt = false;
    session.sessions = {{"Sunday Fly-in", 3, 8}};
    LocateAndJoin();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{texts::kWriteNickname});
    EXPECT_EQ(dialog->sessionList().count(), 0);
    EXPECT_EQ(session.joinedIndex, 0);
}

// A failed join or player creation is reported and starts over; "Exit" before acceptance
// leaves the session and ends the program.
TEST_F(ConnectionDialogTest, FailedJoinsAndPlayersStartOverAndExitLeaves) {
    Open();
    session.failures.join = "no";
    LocateAndJoin();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{texts::kJoinFailed});
    EXPECT_EQ(Status(), "Disconnected");
    EXPECT_TRUE(dialog->connectionTypeList().isEnabled());

    session.failures.join.reset();
    session.failures.createPlayer = "no";
    LocateAndJoin();
    EXPECT_EQ(messages.Texts().back(), texts::kCreatePlayerFailed);
    EXPECT_FALSE(dialog->acceptanceTimer().isActive());
    EXPECT_TRUE(session.sent.empty());

    session.failures.createPlayer.reset();
    LocateAndJoin();
    ASSERT_TRUE(dialog->acceptanceTimer().isActive());
    Click(dialog->exitButton());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"end"});
    EXPECT_EQ(session.joinedIndex, 0);
    EXPECT_FALSE(dialog->acceptanceTimer().isActive());
}

// Only the TCP/IP type is offered, and locating lists what it finds. After joining, the join
// notice repeats until a player-present message carries our own id; then the main window takes
// over the open session.
TEST_F(ConnectionDialogTest, ListsTheSessionsFoundAndWaitsForOurOwnIdWhileRepeatingTheJoinNotice) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Scopewatch v1.0 - Connection");
    ASSERT_EQ(dialog->connectionTypeList().count(), 1);  // the types after the first
    EXPECT_EQ(dialog->connectionTypeList().item(0)->text(),
              "Internet TCP/IP Connection For DirectPlay");
    EXPECT_EQ(Status(), "-None-");
    Locate();
    EXPECT_EQ(session.initialisedIndex, 2);  // row 0 is type 2
    ASSERT_EQ(dialog->sessionList().count(), 1);
    EXPECT_EQ(dialog->sessionList().item(0)->text(), "Sunday Fly-in (3/8)");
    EXPECT_EQ(Status(), "Done");

    dialog->nicknameBox().setText("Tower");
    ClickRow(dialog->sessionList(), 0);
    Click(dialog->joinButton());
    dialog->nicknameBox().setText("Changed while joining");
    Settle();
    EXPECT_EQ(session.createdNickname, "Tower");
    EXPECT_EQ(session.createdFormalName, "Player");
    EXPECT_EQ(state.myPlayerId, 101);
    EXPECT_EQ(session.sentKinds(), std::vector<int32_t>{kinds::kJoinRequest});
    EXPECT_EQ(Status(), "Connecting...");
    EXPECT_FALSE(dialog->connectionTypeList().isEnabled());
    EXPECT_FALSE(dialog->joinButton().isEnabled());  // a second join cannot cross the wait

    session.Deliver(7, MakeSignal(kinds::kKeepAlive));
    session.Deliver(7, MakePlayerPresent(55));  // someone else's id
    ASSERT_TRUE(testing::SpinUntil([&] { return session.queued() == 0; }, 2000));
    EXPECT_TRUE(testing::SpinUntil([&] { return session.sentKinds().size() >= 2; }, 2000));
    EXPECT_EQ(session.sentKinds()[1], kinds::kJoinNotice);  // 30 s on the fast clock
    EXPECT_FALSE(dialog->joinAccepted());

    const int closesBefore = session.closeCount;
    session.Deliver(7, MakePlayerPresent(101));
    ASSERT_TRUE(testing::SpinUntil([&] { return dialog->joinAccepted(); }, 2000));
    EXPECT_EQ(messages.Texts().back(), texts::kConnected);
    EXPECT_EQ(state.isConnected, kTrue16);
    EXPECT_EQ(state.mainWindowOpen, kTrue16);
    EXPECT_EQ(Status(), "Connected");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"main"});
    EXPECT_EQ(session.closeCount, closesBefore);  // the session stays open for the main window
}

// A refusal queued behind other messages is found, and what follows it is dropped.
TEST_F(ConnectionDialogTest, ARefusalBehindOtherMessagesIsSeenAndWhatFollowsIsDropped) {
    Open();
    LocateAndJoin();
    dialog->acceptanceTimer().stop();
    session.Deliver(7, MakeSignal(kinds::kKeepAlive));
    session.Deliver(7, MakePosition({}, false));
    session.Deliver(7, MakeSignal(kinds::kRefused));
    session.Deliver(7, MakePlayerPresent(101));
    dialog->WaitForAcceptance();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{texts::kRefused});
    EXPECT_EQ(session.queued(), 0U);
    EXPECT_EQ(Status(), "Disconnected");
    EXPECT_FALSE(dialog->joinAccepted());
    EXPECT_FALSE(dialog->joinNoticeTimer().isActive());
    EXPECT_TRUE(dialog->locateButton().isEnabled());
}

// While a step waits the dialog stays usable for nothing but "Exit", which calls the step off
// and ends the program; a host that vanishes before accepting us fails the join.
TEST_F(ConnectionDialogTest, AWaitingStepBlocksNewStepsAndAVanishedHostFailsTheJoin) {
    Open();
    session.holdSteps = true;
    ClickRow(dialog->connectionTypeList(), 0);
    Click(dialog->locateButton());
    EXPECT_EQ(Status(), "Looking for FS Server...");
    for (QWidget* control : std::initializer_list<QWidget*>{
             &dialog->connectionTypeList(), &dialog->locateButton(), &dialog->joinButton()}) {
        EXPECT_FALSE(control->isEnabled());
    }
    EXPECT_TRUE(dialog->exitButton().isEnabled());
    ASSERT_TRUE(session.FinishStep());
    EXPECT_EQ(Status(), "Done");
    EXPECT_TRUE(dialog->joinButton().isEnabled());

    session.holdSteps = false;
    ClickRow(dialog->sessionList(), 0);
    Click(dialog->joinButton());
    Settle();
    ASSERT_TRUE(dialog->acceptanceTimer().isActive());
    session.LoseSession();
    dialog->WaitForAcceptance();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{texts::kJoinFailed});
    EXPECT_EQ(Status(), "Disconnected");
    EXPECT_FALSE(dialog->acceptanceTimer().isActive());
    EXPECT_TRUE(dialog->joinButton().isEnabled());

    Locate();
    session.holdSteps = true;
    ClickRow(dialog->sessionList(), 0);
    Click(dialog->joinButton());
    ASSERT_TRUE(session.stepWaiting());
    const int closes = session.closeCount;
    Click(dialog->exitButton());
    EXPECT_FALSE(session.stepWaiting());
    EXPECT_GT(session.closeCount, closes);
    EXPECT_EQ(flow.shown, std::vector<std::string>{"end"});
}

}  // namespace
}  // namespace scopewatch
