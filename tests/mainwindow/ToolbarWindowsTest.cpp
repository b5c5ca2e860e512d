// The windows the main window's toolbar opens: what their controls change and when they give
// the main window back. Their texts, places and tab order: tests/data/app/window-*.txt.

#include <gtest/gtest.h>

#include <QSettings>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include "mainwindow/ControllerAidsStore.h"
#include "mainwindow/ui/AboutWindow.h"
#include "mainwindow/ui/ControllerAidsWindow.h"
#include "mainwindow/ui/OptionsWindow.h"
#include "state/ProgramState.h"
#include "support/Clicks.h"
#include "support/RecordingFlow.h"

namespace scopewatch {
namespace {

using Shown = std::vector<std::string>;

// Clicks on the box's indicator, where a user clicks.
void ClickBox(QCheckBox& box) {
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator =
        box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    QTest::mouseClick(&box, Qt::LeftButton, {}, indicator.center());
}

class ToolbarWindows : public ::testing::Test {
  protected:
    ToolbarWindows() { state.mainWindowOpen = kTrue16; }

    template <typename Window>
    std::unique_ptr<Window> Open() {
        auto window = std::make_unique<Window>(state, flow);
        window->show();
        return window;
    }

    ProgramState state;
    testing::RecordingFlow flow;
};

// Each box switches its own flag at once, off and on again; a box gone grey (a third state)
// changes none. A new opening shows the flags as last set. "OK" and the close that follows
// it give the main window back once; the close box gives it back only while the main window
// is open, "OK" regardless.
TEST_F(ToolbarWindows, OptionsSwitchTheirOwnFlagAtOnceAndGiveBackOnce) {
    auto window = Open<OptionsWindow>();
    const std::vector<std::pair<QCheckBox*, Flag16 DisplayFlags::*>> boxes{
        {&window->airportNameBox(), &DisplayFlags::showAirportName},
        {&window->ilsBox(), &DisplayFlags::showIls},
        {&window->taxiwaysBox(), &DisplayFlags::showTaxiways},
        {&window->taxiwayIdsBox(), &DisplayFlags::showTaxiwayIds},
        {&window->parkingsBox(), &DisplayFlags::showParkings},
        {&window->airspacesBox(), &DisplayFlags::showAirspaces}};
    for (const auto& [box, flag] : boxes) {
        DisplayFlags expected;
        expected.*flag = kFalse16;
        ClickBox(*box);
        EXPECT_EQ(state.displayFlags, expected) << box->text().toStdString();
        ClickBox(*box);
        EXPECT_EQ(state.displayFlags, DisplayFlags{});
    }
    window->parkingsBox().setTristate(true);
    window->parkingsBox().setCheckState(Qt::Unchecked);
    ClickBox(window->parkingsBox());  // unchecked -> greyed
    EXPECT_EQ(window->parkingsBox().checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(state.displayFlags.showParkings, kTrue16);
    ClickBox(window->ilsBox());
    QTest::mouseClick(&window->okButton(), Qt::LeftButton);
    EXPECT_TRUE(window->isHidden());
    EXPECT_EQ(flow.shown, Shown{"back to main"});

    state.displayFlags.showAirspaces = kFalse16;
    window->show();
    EXPECT_FALSE(window->ilsBox().isChecked() || window->airspacesBox().isChecked());
    EXPECT_FALSE(Open<OptionsWindow>()->ilsBox().isChecked());  // a new window too
    window->close();
    window->close();
    EXPECT_EQ(flow.shown.size(), 2u);
    state.mainWindowOpen = kFalse16;
    window->show();
    window->close();
    EXPECT_EQ(flow.shown.size(), 2u);
    window->show();
    window->okButton().click();
    EXPECT_EQ(flow.shown.size(), 3u);
}

// "OK" and the close that follows it give the main window back once per opening; so does the
// close box.
TEST_F(ToolbarWindows, AboutGivesBackOncePerOpening) {
    auto window = Open<AboutWindow>();
    QTest::mouseClick(&window->okButton(), Qt::LeftButton);
    EXPECT_TRUE(window->isHidden());
    EXPECT_EQ(flow.shown, Shown{"back to main"});
    window->show();
    window->close();
    EXPECT_EQ(flow.shown, (Shown{"back to main", "back to main"}));
}

// The window shows the aids as they stand; a box or vector length changes its aid at once (what
// each draws: the end-to-end run), "OK" gives the main window back, and closing keeps the
// choice in the user's configuration, where the next start finds it. What cannot be read there
// counts as off, but for the recording of sessions, which is on unless switched off.
TEST_F(ToolbarWindows, ControllerAidsTakeEffectAtOnceAndAreKeptForTheNextStart) {
    state.aids.rangeRings = true;
    auto window = Open<ControllerAidsWindow>();
    EXPECT_TRUE(window->ringsBox().isChecked() && window->vectorLengthButton(1).isChecked());
    window->trailsBox().click();
    window->vectorLengthButton(3).click();
    window->vectorsBox().click();
    window->vectorsBox().click();
    EXPECT_TRUE(window->recordBox().isChecked());
    window->recordBox().click();
    const ControllerAids chosen{true, false, true, false, 3, false};
    EXPECT_EQ(state.aids, chosen);
    testing::Click(window->okButton());
    EXPECT_EQ(flow.shown, Shown{"back to main"});
    EXPECT_FALSE(window->isVisible());

    QSettings preferences;
    EXPECT_EQ(LoadControllerAids(preferences), chosen);
    preferences.setValue("ControllerAids/vectorMinutes", 7);
    preferences.setValue("ControllerAids/rangeRings", "neither");
    preferences.setValue("ControllerAids/recordSessions", "neither");
    EXPECT_EQ(LoadControllerAids(preferences),
              (ControllerAids{true, false, false, false, 1, true}));
    preferences.clear();
}

}  // namespace
}  // namespace scopewatch
