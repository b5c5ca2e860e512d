// Every control of every window carries a name for keyboard users, screen readers and UI
// tests: a button its caption, a box the caption of the label before it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTextEdit>

#include "airport/ui/AirportWindow.h"
#include "builder/ui/BuilderWindow.h"
#include "directplay/ui/HostAddressDialog.h"
#include "mainwindow/ui/AboutWindow.h"
#include "mainwindow/ui/ControllerAidsWindow.h"
#include "mainwindow/ui/MainWindow.h"
#include "mainwindow/ui/OptionsWindow.h"
#include "mainwindow/ui/TrafficListWindow.h"
#include "multiplayer/ui/ConnectionDialog.h"
#include "platform/FileSystem.h"
#include "shared/TimerClock.h"
#include "startup/ui/SetupDialog.h"
#include "state/ProgramState.h"
#include "support/Clicks.h"
#include "support/InMemorySession.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SpinEventLoop.h"
#include "support/TabOrder.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

// The controls of the window whose accessible name is empty, by class and object.
std::vector<std::string> UnnamedControls(QWidget& window) {
    std::vector<std::string> unnamed;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool isControl =
            qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
            qobject_cast<QListWidget*>(control) || qobject_cast<QComboBox*>(control) ||
            qobject_cast<QTextEdit*>(control) || qobject_cast<QProgressBar*>(control);
        if (!isControl || !control->isVisibleTo(&window) ||
            qobject_cast<QComboBox*>(control->parentWidget())) {
            continue;  // hidden helpers, and a combo box's own line edit, named by the box
        }
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
        if (face == nullptr || face->text(QAccessible::Name).trimmed().isEmpty()) {
            unnamed.push_back(std::string(control->metaObject()->className()) + " in " +
                              window.windowTitle().toStdString());
        }
    }
    return unnamed;
}

class Accessibility : public ::testing::Test {
  protected:
    Accessibility() {
        state.workDir = dir.path();
        state.mainWindowOpen = kTrue16;
    }

    testing::TempDir dir;
    ProgramState state;
    FileSystem files{dir.path(), {{"C:\\", DriveType::Fixed, std::string("C"), "/"}}};
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
    InMemorySession session;
    const TimerClock clock;
};

// Every control of every window has a name, and Tab follows the layout of the session windows.
TEST_F(Accessibility, EveryControlOfEveryWindowHasANameAndTabFollowsTheLayout) {
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<SetupDialog>(state, messages, flow, files.drives()));
    windows.push_back(std::make_unique<BuilderWindow>(state, files, messages, flow));
    windows.push_back(std::make_unique<AirportWindow>(state, files, messages, flow));
    windows.push_back(std::make_unique<HostAddressDialog>());
    windows.push_back(std::make_unique<OptionsWindow>(state, flow));
    windows.push_back(std::make_unique<AboutWindow>(state, flow));
    windows.push_back(std::make_unique<ControllerAidsWindow>(state, flow));
    windows.push_back(std::make_unique<TrafficListWindow>(state));
    windows.push_back(std::make_unique<ConnectionDialog>(state, session, messages, flow, clock));
    windows.push_back(std::make_unique<MainWindow>(state, session, messages, flow, clock));
    for (const auto& window : windows) {
        window->show();
        EXPECT_EQ(UnnamedControls(*window), std::vector<std::string>{});
    }
    EXPECT_EQ(testing::TabOrder(*windows[8]),
              (std::vector<std::string>{"Avaible Connections Types:", "Locate Session",
                                        "Sessions:", "Nickname:", "Join Session", "Exit"}));
    EXPECT_EQ(
        testing::TabOrder(*windows[9]),
        (std::vector<std::string>{"CENTER", "> ZOOM IN <", "< ZOOM OUT >",
                                  "Mouse Coordinates: longitude", "Mouse Coordinates: latitude",
                                  "Chat history", "Chat input", "Send", "> Disconnect"}));
}

// The name a screen reader reads for a control: its labels' names, then its own.
std::string Reading(QWidget& control) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&control);
    std::string read = face->text(QAccessible::Name).toStdString();
    for (const auto& [label, relation] : face->relations(QAccessible::Label)) {
        read = label->text(QAccessible::Name).toStdString() + " " + read;
    }
    return read;
}

// A value label reads as its value, labelled by its caption: the connection status and the
// zoom.
TEST_F(Accessibility, ValueLabelsReadAsTheirValueLabelledByTheirCaption) {
    ConnectionDialog dialog(state, session, messages, flow, clock);
    MainWindow main(state, session, messages, flow, clock);
    dialog.show();
    main.show();
    EXPECT_EQ(Reading(dialog.statusLabel()), "STATUS: -None-");
    EXPECT_EQ(Reading(main.zoomLabel()), "Zoom: 1x");
    main.Load();
    EXPECT_EQ(Reading(main.zoomLabel()), "Zoom: x9");
}

// With a screen reader listening (the accessibility bus is up, tests/support/with-
// accessibility-bus.sh), every new status of the connection dialog is announced as a change of
// its name.
TEST_F(Accessibility, OnTheBusEveryNewStatusIsAnnounced) {
    if (qgetenv("SCOPEWATCH_ON_ACCESSIBILITY_BUS") != "1") {
        GTEST_SKIP() << "needs the accessibility bus: run under tests/support/"
                        "with-accessibility-bus.sh";
    }
    ASSERT_TRUE(testing::SpinUntil([] { return QAccessible::isActive(); }, 10000))
        << "the bridge to the accessibility bus did not come up";
    static std::vector<std::string> announced;
    announced.clear();
    ConnectionDialog dialog(state, session, messages, flow, clock);
    dialog.show();
    QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
        if (event->type() == QAccessible::NameChanged) {
            announced.push_back(Reading(*qobject_cast<QWidget*>(event->object())));
        }
    });
    testing::Click(dialog.locateButton());  // no type chosen: a message, then a reset
    QAccessible::installUpdateHandler(nullptr);
    EXPECT_EQ(announced,
              (std::vector<std::string>{"STATUS: Disconnected", "STATUS: Looking for FS Server...",
                                        "STATUS: Disconnected"}));
}

}  // namespace
}  // namespace scopewatch
