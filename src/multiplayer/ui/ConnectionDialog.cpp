#include "multiplayer/ui/ConnectionDialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "multiplayer/ConnectionSteps.h"
#include "multiplayer/GameMessages.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxes.h"
#include "platform/ui/Captions.h"
#include "platform/ui/ListChoice.h"
#include "shared/TimerClock.h"
#include "shared/WindowFlow.h"
#include "state/ProgramState.h"

namespace scopewatch {
namespace {

constexpr int kAcceptanceIntervalMs = 1000;
constexpr int kJoinNoticeIntervalMs = 30000;

namespace texts = connection_texts;

}  // namespace

ConnectionDialog::ConnectionDialog(ProgramState& state, SessionService& session,
                                   MessageBoxes& messages, WindowFlow& flow,
                                   const TimerClock& clock, QWidget* parent)
    : QWidget(parent), state_(state), session_(session), messages_(messages), flow_(flow) {
    setWindowTitle("Scopewatch v1.0 - Connection");
    BuildLayout();
    Timer1.setInterval(clock.RealMs(kAcceptanceIntervalMs));
    Timer2.setInterval(clock.RealMs(kJoinNoticeIntervalMs));
    connect(&Timer1, &QTimer::timeout, this, &ConnectionDialog::WaitForAcceptance);
    connect(&Timer2, &QTimer::timeout, this, &ConnectionDialog::RepeatJoinNotice);
    FillConnectionTypes();
    // Choosing a connection type, by mouse or by keyboard, starts over.
    connect(List1, &QListWidget::itemClicked, this, [this] { Reset(); });
    connect(List1, &QListWidget::currentRowChanged, this, [this] { Reset(); });
    connect(Command1, &QPushButton::clicked, this, &ConnectionDialog::OnLocateSession);
    connect(Command2, &QPushButton::clicked, this, &ConnectionDialog::OnJoinSession);
    connect(Command3, &QPushButton::clicked, this, &ConnectionDialog::OnExit);
    connect(&session_, &SessionService::stepChanged, this, &ConnectionDialog::OnStepChanged);
}

void ConnectionDialog::BuildLayout() {
    auto* typesFrame = new QGroupBox("Connections Types");
    auto* typesLabel = new QLabel("Avaible Connections Types:");
    List1 = new QListWidget;
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    NameAfterLabel(*typesLabel, *List1);
    Command1 = new QPushButton("Locate Session");
    NameAfterCaption(*Command1, Command1->text());
    auto* typesLayout = new QVBoxLayout(typesFrame);
    typesLayout->addWidget(typesLabel);
    typesLayout->addWidget(List1);
    typesLayout->addWidget(Command1);

    auto* sessionsFrame = new QGroupBox("Avaible FS98 Sessions");
    auto* sessionsLabel = new QLabel("Sessions:");
    List2 = new QListWidget;
    List2->setSelectionMode(QAbstractItemView::SingleSelection);
    NameAfterLabel(*sessionsLabel, *List2);
    auto* sessionsLayout = new QVBoxLayout(sessionsFrame);
    sessionsLayout->addWidget(sessionsLabel);
    sessionsLayout->addWidget(List2);

    auto* nicknameLabel = new QLabel("Nickname:");
    Text1 = new QLineEdit("ATC Controller");
    NameAfterLabel(*nicknameLabel, *Text1);
    auto* nicknameRow = new QHBoxLayout;
    nicknameRow->addWidget(nicknameLabel);
    nicknameRow->addWidget(Text1, 1);

    Command2 = new QPushButton("Join Session");
    NameAfterCaption(*Command2, Command2->text());
    Command3 = new QPushButton("Exit");
    NameAfterCaption(*Command3, Command3->text());
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(Command2);
    buttonRow->addWidget(Command3);

    auto* statusLabel = new QLabel("STATUS:");
    Label5 = new QLabel("-None-");
    QFont bold = Label5->font();
    bold.setBold(true);
    Label5->setFont(bold);
    LabelValue(*statusLabel, *Label5);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(statusLabel);
    statusRow->addWidget(Label5, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(typesFrame);
    layout->addWidget(sessionsFrame, 1);
    layout->addLayout(nicknameRow);
    layout->addLayout(buttonRow);
    layout->addLayout(statusRow);
    resize(460, 520);
}

// Opening: the first connection type is never offered, so row r stands for type r + 2.
void ConnectionDialog::FillConnectionTypes() {
    List1->clear();
    try {
        for (int type = 2; type <= session_.ConnectionTypeCount(); ++type) {
            List1->addItem(FromAnsi(session_.ConnectionTypeName(type)));
        }
    } catch (const SessionError&) {
        // A type that cannot be named is not offered.
    }
    List1->setCurrentRow(-1);
}

void ConnectionDialog::SetStatus(const char* text) {
    Label5->setText(text);
    Label5->repaint();
}

// Leaves whatever the session was doing and starts over: no step waited for, no sessions
// listed, no timers.
void ConnectionDialog::Reset() {
    try {
        session_.Close();
    } catch (const SessionError&) {
    }
    List2->clear();
    Timer1.stop();
    Timer2.stop();
    SetStatus("Disconnected");
}

void ConnectionDialog::EnableSearch() {
    List1->setEnabled(true);
    Command1->setEnabled(true);
    Command2->setEnabled(true);
}

// A step is under way: nothing may start another until it has ended.
void ConnectionDialog::DisableSearch() {
    List1->setEnabled(false);
    Command1->setEnabled(false);
    Command2->setEnabled(false);
}

void ConnectionDialog::FailSearch(const std::string& message, bool exclamation) {
    Timer1.stop();
    Timer2.stop();
    if (exclamation) {
        messages_.Warn(message);
    } else {
        messages_.Inform(message);
    }
    EnableSearch();
    Reset();
}

void ConnectionDialog::OnLocateSession() {
    Reset();
    DisableSearch();
    SetStatus("Looking for FS Server...");
    if (ChosenRow(*List1) < 0) {
        messages_.Inform(texts::kSelectConnectionType);
        EnableSearch();
        Reset();
        return;
    }
    try {
        session_.InitialiseConnection(ConnectionTypeOfRow(ChosenRow(*List1)));
        session_.ListSessions();
    } catch (const SessionError&) {
        FailSearch(texts::kCanceledConnection, false);
    }
}

// A window that was closed, or put aside for another, follows no step.
void ConnectionDialog::OnStepChanged(SessionStep step) {
    if (closed_ || !isVisible()) {
        return;
    }
    switch (step) {
        case SessionStep::kListed:
            OnSessionsListed(session_.ListedSessions());
            break;
        case SessionStep::kListingFailed:
            // A session that says why in words of its own (a capture file that cannot be read)
            // is shown as it says it.
            if (session_.ExplainsFailures() && !session_.StepFailure().empty()) {
                FailSearch(session_.StepFailure(), true);
            } else {
                FailSearch(texts::kCanceledConnection, false);
            }
            break;
        case SessionStep::kJoined:
            CreateOurPlayer();
            break;
        case SessionStep::kJoinFailed:
            FailSearch(texts::kJoinFailed, true);
            break;
        case SessionStep::kPlayerCreated:
            OnPlayerCreated(session_.CreatedPlayer());
            break;
        case SessionStep::kPlayerFailed:
            FailSearch(texts::kCreatePlayerFailed, true);
            break;
        default:
            break;
    }
}

void ConnectionDialog::OnSessionsListed(const std::vector<SessionInfo>& sessions) {
    try {
        for (const SessionInfo& session : sessions) {
            List2->addItem(FromAnsi(SessionLine(session)));
        }
    } catch (const std::exception&) {
        FailSearch(texts::kEnumerationError, true);
        return;
    }
    EnableSearch();
    // A session that speaks for itself may have something to say of what it found (a recording
    // read only in part).
    if (session_.ExplainsFailures() && !session_.StepFailure().empty()) {
        messages_.Inform(session_.StepFailure());
    }
    if (List2->count() > 0 && !List2->item(0)->text().isEmpty()) {
        SetStatus("Done");
    } else {
        Reset();
    }
}

void ConnectionDialog::OnJoinSession() {
    const int row = ChosenRow(*List2);
    const bool sessionChosen = row >= 0 && !List2->item(row)->text().isEmpty();
    if (!sessionChosen || Text1->text().isEmpty()) {
        if (row < 0) {
            messages_.Warn(texts::kSelectSession);
        }
        if (Text1->text().isEmpty()) {
            messages_.Warn(texts::kWriteNickname);
        }
        Reset();
        return;
    }
    DisableSearch();
    SetStatus("Connecting...");
    nickname_ = ToAnsi(Text1->text());
    try {
        session_.JoinSession(row + 1);
    } catch (const SessionError&) {
        FailSearch(texts::kJoinFailed, true);
    }
}

void ConnectionDialog::CreateOurPlayer() {
    try {
        session_.CreatePlayer(nickname_, "Player");
    } catch (const SessionError&) {
        FailSearch(texts::kCreatePlayerFailed, true);
    }
}

// With an id of 0 or less nothing further happens and the status stays "Connecting...";
// "Join Session" is given back so that the user can try again.
void ConnectionDialog::OnPlayerCreated(int32_t playerId) {
    state_.myPlayerId = playerId;
    if (state_.myPlayerId <= 0) {
        Command2->setEnabled(true);
        return;
    }
    try {
        session_.SendToAll(state_.myPlayerId, MakeSignal(kinds::kJoinRequest));
    } catch (const SessionError&) {
        FailSearch(texts::kCreatePlayerFailed, true);
        return;
    }
    Timer1.start();
    Timer2.start();
}

// A host that vanished before it accepted us has failed the join.
void ConnectionDialog::WaitForAcceptance() {
    if (state_.myPlayerId < 1) {
        return;
    }
    if (session_.SessionLost()) {
        FailSearch(texts::kJoinFailed, true);
        return;
    }
    switch (ReadAcceptance(session_, state_.myPlayerId)) {
        case Acceptance::Accepted:
            Accept();
            break;
        case Acceptance::Refused:
            Refuse();
            break;
        case Acceptance::Waiting:
            break;
    }
}

void ConnectionDialog::Accept() {
    Timer1.stop();
    Timer2.stop();
    joinAccepted_ = kTrue16;
    messages_.Inform(texts::kConnected);
    state_.isConnected = kTrue16;
    state_.mainWindowOpen = kTrue16;
    SetStatus("Connected");
    close();
    flow_.ShowMainWindow();
}

void ConnectionDialog::Refuse() {
    Timer1.stop();
    Timer2.stop();
    messages_.Inform(texts::kRefused);
    EnableSearch();
    Reset();
}

void ConnectionDialog::RepeatJoinNotice() {
    if (state_.myPlayerId < 1) {
        return;
    }
    try {
        session_.SendToAll(state_.myPlayerId, MakeSignal(kinds::kJoinNotice));
    } catch (const SessionError&) {
        // The wait goes on; the user can leave it with "Exit" or start over.
    }
}

void ConnectionDialog::OnExit() {
    close();
}

// Closing calls off the step under way and leaves the session where it was joined.
void ConnectionDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closed_) {
        return;
    }
    closed_ = true;
    if (joinAccepted_ == kFalse16) {
        Reset();
        flow_.EndProgram();
    }
}

}  // namespace scopewatch
