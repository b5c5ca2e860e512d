// The connection dialog over a scripted session. (Listing and joining the demo session with
// the whole program: the end-to-end run in tests/app.)
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
    ConnectionDialogTest() {
        session.sessions = {{"Sunday Fly-in", 3, 8}};
        dialog.show();
    }

    // Runs the event loop until the session's steps have ended.
    void Settle() {
        ASSERT_TRUE(testing::SpinUntil([&] { return !session.stepWaiting(); }, 2000));
    }
    void Locate() {
        ClickRow(dialog.connectionTypeList(), 0);
        Click(dialog.locateButton());
        Settle();
    }
    void LocateAndJoin() {
        Locate();
        ClickRow(dialog.sessionList(), 0);
        Click(dialog.joinButton());
        Settle();
    }
    std::string Status() { return dialog.statusLabel().text().toStdString(); }
    // The dialog said `said` (and nothing else since the last look) and is ready to start over.
    void ExpectReadyAgainAfter(const std::vector<std::string>& said) {
        EXPECT_EQ(messages.Texts(), said);
        EXPECT_EQ(Status(), "Disconnected");
        EXPECT_TRUE(dialog.connectionTypeList().isEnabled() && dialog.locateButton().isEnabled());
        EXPECT_FALSE(dialog.acceptanceTimer().isActive() || dialog.joinNoticeTimer().isActive());
        messages.shown.clear();
    }

    ProgramState state;
    InMemorySession session;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
    TimerClock clock{1000.0};
    ConnectionDialog dialog{state, session, messages, flow, clock};
};

// Locating needs a connection type picked, and a cancelled address prompt says so; joining
// needs a nickname. Each refusal leaves the dialog ready to start over. After joining, the join
// notice repeats until a player-present message carries our own id, under the nickname given when
// "Join" was clicked; then the main window takes over the open session.
TEST_F(ConnectionDialogTest, JoinsWithATypeASessionAndANicknameOnceOurOwnIdComes) {
    Click(dialog.locateButton());
    ExpectReadyAgainAfter({texts::kSelectConnectionType});
    session.cancelAddressPrompt = true;
    Locate();
    EXPECT_EQ(messages.shown.at(0).icon, MessageIcon::Information);
    ExpectReadyAgainAfter({texts::kCanceledConnection});
    dialog.nicknameBox().clear();
    session.cancelAddressPrompt = false;
    LocateAndJoin();
    EXPECT_EQ(dialog.sessionList().count(), 0);
    EXPECT_EQ(session.joinedIndex, 0);
    ExpectReadyAgainAfter({texts::kWriteNickname});

    Locate();
    EXPECT_EQ(Status(), "Done");
    dialog.nicknameBox().setText("Tower");
    ClickRow(dialog.sessionList(), 0);
    Click(dialog.joinButton());
    dialog.nicknameBox().setText("Changed while joining");
    Settle();
    EXPECT_EQ(std::tie(session.createdNickname, session.createdFormalName),
              std::tuple("Tower", "Player"));
    EXPECT_EQ(state.myPlayerId, 101);
    EXPECT_EQ(session.sentKinds(), std::vector<int32_t>{kinds::kJoinRequest});
    EXPECT_FALSE(dialog.joinButton().isEnabled());  // a second join cannot cross the wait

    session.Deliver(7, MakeSignal(kinds::kKeepAlive));
    session.Deliver(7, MakePlayerPresent(55));  // someone else's id
    ASSERT_TRUE(testing::SpinUntil([&] { return session.queued() == 0; }, 2000));
    EXPECT_TRUE(testing::SpinUntil([&] { return session.sentKinds().size() >= 2; }, 2000));
    EXPECT_EQ(session.sentKinds()[1], kinds::kJoinNotice);  // 30 s on the fast clock
    EXPECT_FALSE(dialog.joinAccepted());

    const int closes = session.closeCount;
    session.Deliver(7, MakePlayerPresent(101));
    ASSERT_TRUE(testing::SpinUntil([&] { return dialog.joinAccepted(); }, 2000));
    EXPECT_EQ(messages.Texts().back(), texts::kConnected);
    EXPECT_EQ(std::tie(state.isConnected, state.mainWindowOpen), std::tuple(kTrue16, kTrue16));
    EXPECT_EQ(flow.shown, std::vector<std::string>{"main"});
    EXPECT_EQ(session.closeCount, closes);  // the session stays open for the main window
}

// While a step waits the dialog stays usable for nothing but "Exit", which calls the step off
// and ends the program. A failed player creation, a refusal queued behind other messages (what
// follows it is dropped) and a host that vanishes before accepting us fail the join, each with
// its message, and the dialog starts over.
TEST_F(ConnectionDialogTest, AWaitingStepBlocksNewStepsAndFailedJoinsStartOver) {
    session.holdSteps = true;
    ClickRow(dialog.connectionTypeList(), 0);
    Click(dialog.locateButton());
    EXPECT_EQ(Status(), "Looking for FS Server...");
    for (QWidget* control : std::initializer_list<QWidget*>{
             &dialog.connectionTypeList(), &dialog.locateButton(), &dialog.joinButton()}) {
        EXPECT_FALSE(control->isEnabled());
    }
    EXPECT_TRUE(dialog.exitButton().isEnabled());
    ASSERT_TRUE(session.FinishStep());
    EXPECT_EQ(Status(), "Done");
    EXPECT_TRUE(dialog.joinButton().isEnabled());

    session.holdSteps = false;
    session.failures.createPlayer = "no";
    ClickRow(dialog.sessionList(), 0);
    Click(dialog.joinButton());
    Settle();
    EXPECT_TRUE(session.sent.empty());
    ExpectReadyAgainAfter({texts::kCreatePlayerFailed});
    session.failures.createPlayer.reset();
    LocateAndJoin();
    dialog.acceptanceTimer().stop();
    for (const SessionMessage& message : {MakeSignal(kinds::kKeepAlive), MakePosition({}, false),
                                          MakeSignal(kinds::kRefused), MakePlayerPresent(101)}) {
        session.Deliver(7, message);
    }
    dialog.WaitForAcceptance();
    EXPECT_EQ(session.queued(), 0U);
    EXPECT_FALSE(dialog.joinAccepted());
    ExpectReadyAgainAfter({texts::kRefused});
    LocateAndJoin();
    ASSERT_TRUE(dialog.acceptanceTimer().isActive());
    session.LoseSession();
    dialog.WaitForAcceptance();
    EXPECT_TRUE(dialog.joinButton().isEnabled());
    ExpectReadyAgainAfter({texts::kJoinFailed});

    Locate();
    session.holdSteps = true;
    ClickRow(dialog.sessionList(), 0);
    Click(dialog.joinButton());
    ASSERT_TRUE(session.stepWaiting());
    const int closes = session.closeCount;
    Click(dialog.exitButton());
    EXPECT_FALSE(session.stepWaiting());
    EXPECT_GT(session.closeCount, closes);
    EXPECT_EQ(flow.shown, std::vector<std::string>{"end"});
}

}  // namespace
}  // namespace scopewatch
