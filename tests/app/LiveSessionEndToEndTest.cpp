// The whole program from an empty working directory to live traffic and back, over real
// loopback sockets against the demo session host, driven through the widgets with every
// timer running (on a clock ten times as fast as the real one).

#include <gtest/gtest.h>

#include <QTest>
#include <QToolBar>

#include "airport/ui/AirportWindow.h"
#include "app/AppWindows.h"
#include "builder/ui/BuilderWindow.h"
#include "demo/DemoSimulator.h"
#include "directplay/ui/HostAddressDialog.h"
#include "mainwindow/ui/ControllerAidsWindow.h"
#include "mainwindow/ui/MainWindow.h"
#include "mainwindow/ui/TrafficListWindow.h"
#include "multiplayer/DirectPlaySession.h"
#include "multiplayer/ui/ConnectionDialog.h"
#include "platform/FileSystem.h"
#include "scope/LabelPlacement.h"
#include "scope/ui/ScopeWidget.h"
#include "shared/TimerClock.h"
#include "startup/ui/SetupDialog.h"
#include "state/ProgramState.h"
#include "support/Clicks.h"
#include "support/DemoHostProcess.h"
#include "support/DirectPlayTestPorts.h"
#include "support/LiveScope.h"
#include "support/Pixels.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SpinEventLoop.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

using testing::Click;
using testing::ClickRow;
using testing::CountPixels;
using testing::SpinUntil;

constexpr uint16_t kHostPorts = 47790;
constexpr uint16_t kClientPorts = 47791;

class LiveSessionEndToEnd : public ::testing::Test {
  protected:
    LiveSessionEndToEnd()
        : session([] { return AskHostAddress(); },
                  testing::LoopbackClientOptions(kHostPorts, kClientPorts)),
          windows(state, messages, files, session, clock) {
        state.workDir = dir / "run";
        demo::WriteDemoSimulator(dir / "demo-sim");
        std::filesystem::create_directories(dir / "run");
    }

    // Finds the airport in the airport window and takes it.
    void TakeAirport(const QString& search, const QString& line) {
        AirportWindow& airport = *windows.airportWindow();
        ASSERT_TRUE(
            SpinUntil([&] { return airport.statusText().text().startsWith("Done"); }, 5000));
        QTest::keyClicks(&airport.searchText(), search);
        Click(airport.searchButton());
        const auto found = airport.resultList().findItems(line, Qt::MatchStartsWith);
        ASSERT_FALSE(found.isEmpty()) << line.toStdString() << " not found; status "
                                      << airport.statusText().text().toStdString() << ", messages "
                                      << ::testing::PrintToString(messages.Texts());
        ClickRow(airport.resultList(), airport.resultList().row(found.front()));
        Click(airport.getAirportButton());
    }
    void Press(ToolbarCommand command) {
        MainWindow& main = *windows.mainWindow();
        QTest::mouseClick(main.toolbar().widgetForAction(&main.toolbarButton(command)),
                          Qt::LeftButton);
    }

    testing::TempDir dir;
    ProgramState state;
    FileSystem files{dir / "run", {{"C:\\", DriveType::Fixed, std::string("C"), "/"}}};
    testing::ScriptedMessageBoxes messages;
    DirectPlaySession session;
    TimerClock clock{10.0};
    AppWindows windows;
};

// From an empty working folder through set-up, the database and the airport to the demo
// session over TCP/IP; traffic, chat, the toolbar's windows; and back out.
TEST_F(LiveSessionEndToEnd, FromAnEmptyFolderToLiveTrafficChatAndBack) {
    // The demo session host as a separate process on loopback ports of this test's own.
    testing::DemoHostProcess host(kHostPorts, {"--chat-every", "3", "--quiet"});
    ASSERT_TRUE(host.Running());

    // First run: set-up on the demo simulator's folder, the database built, an airport taken.
    windows.Start();
    ASSERT_TRUE(SpinUntil([&] { return windows.setupDialog() != nullptr; }, 6000));
    SetupDialog& setup = *windows.setupDialog();
    setup.folderText().clear();
    QTest::keyClicks(&setup.folderText(), QString::fromStdString((dir / "demo-sim").string()));
    Click(setup.nextButton());
    ASSERT_TRUE(SpinUntil([&] { return windows.builderWindow() != nullptr; }, 2000));
    BuilderWindow& builder = *windows.builderWindow();
    ASSERT_TRUE(SpinUntil([&] { return builder.createButton().isEnabled(); }, 5000));
    Click(builder.createButton());
    ASSERT_TRUE(SpinUntil([&] { return windows.airportWindow() != nullptr; }, 20000));
    ASSERT_NO_FATAL_FAILURE(TakeAirport("intl", "Eldorado Intl   Index: "));

    // The demo session is found over TCP/IP, the address dialog answered, and joined.
    ASSERT_NE(windows.connectionDialog(), nullptr);
    ConnectionDialog& connection = *windows.connectionDialog();
    ASSERT_TRUE(connection.isVisible());
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        auto* dialog = qobject_cast<HostAddressDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->addressField()->text().isEmpty()) {
            QTest::keyClicks(dialog->addressField(), "127.0.0.1");
            QTest::keyClick(dialog->addressField(), Qt::Key_Return);
        }
    });
    answer.start(20);
    ClickRow(connection.connectionTypeList(), 0);
    Click(connection.locateButton());
    EXPECT_EQ(connection.statusLabel().text(), "Looking for FS Server...");
    ASSERT_TRUE(SpinUntil([&] { return connection.locateButton().isEnabled(); }, 10000));
    ASSERT_EQ(connection.sessionList().count(), 1);
    EXPECT_EQ(connection.sessionList().item(0)->text(), "Eldorado Fly-in (5/8)");
    ClickRow(connection.sessionList(), 0);
    Click(connection.joinButton());
    ASSERT_TRUE(SpinUntil([&] { return windows.mainWindow() != nullptr; }, 20000));
    EXPECT_EQ(messages.Texts().back(), "Connected To FS Session!");
    MainWindow& main = *windows.mainWindow();
    EXPECT_EQ(main.windowTitle(), "Scopewatch v1.0 - Eldorado Intl");

    // The five pilots are announced and move.
    ASSERT_TRUE(SpinUntil([&] { return state.traffic.trafficCount == 5; }, 10000));
    ASSERT_TRUE(SpinUntil([&] { return state.traffic.trafficTable[2].latitude != 0.0; }, 5000));
    const double before = state.traffic.trafficTable[2].latitude;
    ASSERT_TRUE(SpinUntil([&] { return state.traffic.trafficTable[2].latitude != before; }, 5000));

    // Hovering a pilot names it (the one overflying high, away from the others) and the boxes
    // read where the pointer is. A drag holds the repaint and draws the measuring line with
    // its white label; the right button recentres, "CENTER" goes back to the airport.
    const auto inUse = state.traffic.InUse();
    const TrafficRecord& pilot = *std::max_element(
        inUse.begin(), inUse.end(),
        [](const TrafficRecord& a, const TrafficRecord& b) { return a.altitudeFt < b.altitudeFt; });
    const ScopePoint at = ProjectToScope(main.view(), {pilot.latitude, pilot.longitude});
    QTest::mouseMove(&main.scope(), QPoint(at.x, at.y));
    EXPECT_EQ(main.scope().tipText().rfind("Player: " + pilot.playerName + "  Heading: ", 0), 0U)
        << main.scope().tipText();
    EXPECT_EQ(main.eastWestLabel().text() + main.northSouthLabel().text(), "WN");
    EXPECT_NEAR(main.longitudeBox().text().toDouble(), pilot.longitude, 0.003);
    EXPECT_NEAR(main.latitudeBox().text().toDouble(), pilot.latitude, 0.003);
    const QPoint from(100, 100);
    QTest::mousePress(&main.scope(), Qt::LeftButton, Qt::NoModifier, from);
    EXPECT_FALSE(main.repaintTimer().isActive());
    QTest::mouseMove(&main.scope(), QPoint(300, 100));
    EXPECT_GT(CountPixels(main.scope().canvas(), qRgb(255, 255, 255), QRect(200, 100, 120, 16)),
              20);
    EXPECT_EQ(main.scope().tipText(), "");  // no hit tests while dragging
    QTest::mouseRelease(&main.scope(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 100));
    EXPECT_TRUE(main.repaintTimer().isActive());
    QTest::mousePress(&main.scope(), Qt::RightButton, Qt::NoModifier, from);
    const double airportLon = state.airport.currentAirport.longitude;
    EXPECT_LT((main.view().East + main.view().West) / 2, airportLon - 0.1);
    Click(main.centerButton());
    EXPECT_NEAR((main.view().East + main.view().West) / 2, airportLon, 1e-9);

    // A line each way: ours is answered, and the pilots talk on their own.
    QTest::keyClicks(&main.chatInput(), "hello tower");
    QTest::keyClick(&main.chatInput(), Qt::Key_Return);
    const auto shown = [&] { return main.chatHistory().toPlainText(); };
    ASSERT_TRUE(SpinUntil([&] { return shown().contains("N172SP: roger, hello tower\n"); }, 10000))
        << shown().toStdString();
    EXPECT_TRUE(shown().contains("\nATC Controller: hello tower\n"));
    EXPECT_EQ(main.chatInput().text(), "");

    // "Goto Airport" to another airport and back: the caption and the centre follow.
    Press(ToolbarCommand::GotoAirport);
    ASSERT_NE(windows.airportWindow(), nullptr);
    TakeAirport("field", "Cimarron Regional Field   Index: ");
    EXPECT_EQ(main.windowTitle(), "Scopewatch v1.0 - Cimarron Regional Field");
    EXPECT_TRUE(main.isEnabled());
    EXPECT_NEAR((main.view().East + main.view().West) / 2, state.airport.currentAirport.longitude,
                1e-9);
    Press(ToolbarCommand::GotoAirport);
    TakeAirport("intl", "Eldorado Intl   Index: ");
    EXPECT_EQ(main.windowTitle(), "Scopewatch v1.0 - Eldorado Intl");

    // The zoom steps between levels 1 and 20, and the scope grows with the window.
    for (const auto& [button, clicks, level] : {std::tuple{&main.zoomOutButton(), 9, 1},
                                                {&main.zoomInButton(), 20, 20},
                                                {&main.zoomOutButton(), 7, 13}}) {
        for (int i = 0; i < clicks; ++i) {
            Click(*button);
        }
        EXPECT_EQ(main.zoomLabel().text(), "x" + QString::number(level));
    }
    main.resize(main.width() + 200, main.height() + 100);
    EXPECT_TRUE(SpinUntil([&] { return main.view().WidthPx == main.scope().width(); }, 2000));
    EXPECT_EQ(main.view().HeightPx, main.scope().height());

    // "Controller Aids": every aid on at x9; rings, trails and vectors show, no two labels
    // overlap, and the traffic list lists every pilot.
    Press(ToolbarCommand::ControllerAids);
    ControllerAidsWindow& aids = *windows.controllerAidsWindow();
    for (QAbstractButton* box : std::initializer_list<QAbstractButton*>{
             &aids.trailsBox(), &aids.vectorsBox(), &aids.ringsBox(), &aids.labelsBox()}) {
        box->click();
    }
    Click(aids.okButton());
    while (main.view().ZoomLevel > 9) {
        Click(main.zoomOutButton());
    }
    ASSERT_TRUE(SpinUntil([&] { return !state.tracks.TrailOf(pilot.playerName).empty(); }, 10000));
    main.RepaintTick();
    EXPECT_GT(CountPixels(main.scope().canvas(), qRgb(0x60, 0x60, 0x60)), 100);
    EXPECT_EQ(OverlappingPairs(main.labels().lastBoxes()), 0);
    EXPECT_EQ(main.labels().lastBoxes().size(), 5u);
    Press(ToolbarCommand::TrafficList);
    ASSERT_NE(windows.trafficList(), nullptr);
    EXPECT_EQ(windows.trafficList()->table().rowCount(), 5);

    // "> Disconnect" leads back to the connection dialog; "Exit" ends the program.
    Click(main.disconnectButton());
    ASSERT_NE(windows.connectionDialog(), nullptr);
    EXPECT_TRUE(windows.connectionDialog()->isVisible());
    EXPECT_EQ(windows.trafficList()->table().rowCount(), 0);
    Click(windows.connectionDialog()->exitButton());
    EXPECT_TRUE(windows.ended());
}

}  // namespace
}  // namespace scopewatch
