// What every window shows and what a screen reader reads in it: every control carries a name
// for keyboard users, screen readers and UI tests (a button its caption, a box the caption of
// the label before it), and each window's captions, names, places and tab order are those of
// its text file in tests/data/app/.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>

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
#include "replay/ReplaySession.h"
#include "replay/ui/ReplayWindow.h"
#include "shared/TimerClock.h"
#include "startup/ui/SetupDialog.h"
#include "state/ProgramState.h"
#include "support/Clicks.h"
#include "support/Golden.h"
#include "support/InMemorySession.h"
#include "support/RecordedSession.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SpinEventLoop.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

// The name a screen reader reads for a control: its labels' names, then its own.
std::string Reading(QWidget& control) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&control);
    std::string read = face->text(QAccessible::Name).toStdString();
    for (const auto& [label, relation] : face->relations(QAccessible::Label)) {
        read = label->text(QAccessible::Name).toStdString() + " " + read;
    }
    return read;
}

// The window's caption, then every widget a screen reader names or Tab reaches, in the order
// Tab goes ('>' where it stops): its reading, the text it holds or its check when it has one,
// and its place. A control Tab reaches that has no name is marked "UNNAMED".
std::string WindowText(QWidget& window) {
    QString text = window.windowTitle() + "\n";
    for (QWidget* widget = window.nextInFocusChain(); widget != &window;
         widget = widget->nextInFocusChain()) {
        const QString reading = QString::fromStdString(Reading(*widget)).simplified();
        const bool tab = (widget->focusPolicy() & Qt::TabFocus) != 0;
        if (!widget->isVisibleTo(&window) || (reading.isEmpty() && !tab) ||
            qobject_cast<QAbstractItemView*>(widget->parentWidget()) ||
            qobject_cast<QComboBox*>(widget->parentWidget()) ||
            qobject_cast<QAbstractSpinBox*>(widget->parentWidget())) {
            continue;  // containers, hidden helpers, and the parts of a box or list
        }
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        QAccessibleTextInterface* held = face->textInterface();
        QString value = held != nullptr ? held->text(0, held->characterCount()).simplified()
                                        : face->text(QAccessible::Value);
        value = value.isEmpty() || value == reading ? "" : " holds \"" + value + "\"";
        if (face->state().checkable) {
            value += face->state().checked ? " [x]" : " [ ]";
        }
        const QPoint at = widget->mapTo(&window, QPoint(0, 0));
        text += QString("%1%2 \"%3\"%4 at %5,%6 %7x%8\n")
                    .arg(tab ? "> " : "  ", widget->metaObject()->className(),
                         reading.isEmpty() ? "UNNAMED" : reading, value)
                    .arg(at.x())
                    .arg(at.y())
                    .arg(widget->width())
                    .arg(widget->height());
    }
    return text.toStdString();
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

// Every window as it opens (the main window loaded on Eldorado Intl): no control without a
// name, and its texts are those of its file.
TEST_F(Accessibility, EveryWindowShowsItsTextsAndEveryControlHasAName) {
    state.airport.currentAirport.name = "Eldorado Intl";
    replay::ReplaySession played(nullptr);
    played.Play(std::make_unique<replay::ReplayTimeline>(
                    std::move(*testing::TimelineOf(testing::RecordSession(90)).value)),
                "ATC Controller");
    TimerClock pace;
    std::vector<std::pair<std::string, std::unique_ptr<QWidget>>> windows;
    windows.emplace_back("setup", new SetupDialog(state, messages, flow, files.drives()));
    windows.emplace_back("builder", new BuilderWindow(state, files, messages, flow));
    windows.emplace_back("airport", new AirportWindow(state, files, messages, flow));
    windows.emplace_back("host-address", new HostAddressDialog());
    windows.emplace_back("options", new OptionsWindow(state, flow));
    windows.emplace_back("about", new AboutWindow(state, flow));
    windows.emplace_back("controller-aids", new ControllerAidsWindow(state, flow));
    windows.emplace_back("traffic-list", new TrafficListWindow(state));
    windows.emplace_back("replay", new replay::ReplayWindow(played, {[] {}, [](int) {}}, pace));
    windows.emplace_back("connection", new ConnectionDialog(state, session, messages, flow, clock));
    auto* main = new MainWindow(state, session, messages, flow, clock);
    windows.emplace_back("main", main);
    for (const auto& [name, window] : windows) {
        window->show();
        if (window.get() == main) {
            main->Load();
        }
        std::string text = WindowText(*window);
        for (size_t at; (at = text.find(dir.path().string())) != std::string::npos;) {
            text.replace(at, dir.path().string().size(), "<working folder>");
        }
        EXPECT_EQ(text.find("UNNAMED"), std::string::npos) << text;
        testing::ExpectTextMatchesGolden(text, "app/window-" + name + ".txt",
                                         "the " + name + " window's texts, places and tab order");
    }
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
