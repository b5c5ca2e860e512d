#include <gtest/gtest.h>

#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include "mainwindow/ui/OptionsWindow.h"
#include "state/ProgramState.h"
#include "support/RecordingFlow.h"
#include "support/TabOrder.h"

namespace scopewatch {
namespace {

using Shown = std::vector<std::string>;

// Clicks on the box's indicator, where a user clicks.
void Click(QCheckBox& box) {
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator =
        box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    QTest::mouseClick(&box, Qt::LeftButton, {}, indicator.center());
}

class OptionsWindowTest : public ::testing::Test {
  protected:
    OptionsWindowTest() { state.mainWindowOpen = kTrue16; }

    std::unique_ptr<OptionsWindow> Open() {
        auto window = std::make_unique<OptionsWindow>(state, flow);
        window->show();
        return window;
    }

    ProgramState state;
    testing::RecordingFlow flow;
};

// The six boxes stand in two columns of three, named by their captions, in tab order down
// each column; each one switches its own flag at once (off and on again, before "OK").
TEST_F(OptionsWindowTest, EachBoxOfTheTwoColumnsSwitchesItsOwnFlagAtOnceAndOkGivesBackOnce) {
    auto window = Open();
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->windowTitle(), "Scopewatch v1.0 - Options");
    EXPECT_EQ(window->displayOptionsFrame().title(), "Display Options");
    const std::vector<std::tuple<QCheckBox*, Flag16 DisplayFlags::*, std::string>> boxes{
        {&window->airportNameBox(), &DisplayFlags::showAirportName, "Display Airport Name"},
        {&window->ilsBox(), &DisplayFlags::showIls, "Display ILS"},
        {&window->taxiwaysBox(), &DisplayFlags::showTaxiways, "Display Taxiways"},
        {&window->taxiwayIdsBox(), &DisplayFlags::showTaxiwayIds, "Display Taxiways IDs"},
        {&window->parkingsBox(), &DisplayFlags::showParkings, "Display Gates/Parkings"},
        {&window->airspacesBox(), &DisplayFlags::showAirspaces, "Display Airspaces"}};
    Shown captions;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const auto& [box, flag, caption] = boxes[i];
        SCOPED_TRACE(caption);
        captions.push_back(caption);
        EXPECT_EQ(box->text().toStdString(), caption);
        const QCheckBox& top = *std::get<0>(boxes[i / 3 * 3]);
        EXPECT_EQ(box->x(), top.x());
        EXPECT_EQ(box->y(), std::get<0>(boxes[i % 3])->y());
        if (i % 3 > 0) {
            EXPECT_GT(box->y(), std::get<0>(boxes[i - 1])->y());
        }
        DisplayFlags expected;
        expected.*flag = kFalse16;
        Click(*box);
        EXPECT_FALSE(box->isChecked());
        EXPECT_EQ(state.displayFlags, expected);
        Click(*box);
        EXPECT_EQ(state.displayFlags, DisplayFlags{});
    }
    EXPECT_GT(std::get<0>(boxes[3])->x(),
              std::get<0>(boxes[0])->x() + std::get<0>(boxes[0])->width() / 2);
    captions.push_back("OK");
    EXPECT_EQ(testing::TabOrder(*window), captions);

    EXPECT_TRUE(flow.shown.empty());
    QTest::mouseClick(&window->okButton(), Qt::LeftButton);
    EXPECT_EQ(state.displayFlags, DisplayFlags{});
    EXPECT_TRUE(window->isHidden());
    EXPECT_EQ(flow.shown, Shown{"back to main"});  // OK and the close that follows it: once
}

// A new opening (a new window, or the same one shown again) shows the flags as last set. The
// close box gives the main window back once, and only while the main window is open; "OK"
// gives it back regardless.
TEST_F(OptionsWindowTest, ReopeningShowsTheFlagsAndTheCloseBoxGivesBackOnlyToAnOpenMainWindow) {
    auto first = Open();
    Click(first->ilsBox());
    Click(first->airspacesBox());
    first->okButton().click();
    auto second = Open();
    EXPECT_FALSE(second->ilsBox().isChecked());
    EXPECT_FALSE(second->airspacesBox().isChecked());
    EXPECT_TRUE(second->taxiwaysBox().isChecked());
    second->close();
    second->close();
    state.displayFlags.showParkings = kFalse16;
    second->show();
    EXPECT_FALSE(second->parkingsBox().isChecked());
    second->close();
    EXPECT_EQ(flow.shown, (Shown{"back to main", "back to main", "back to main"}));

    state.mainWindowOpen = kFalse16;
    Open()->close();
    EXPECT_EQ(flow.shown.size(), 3u);
    Open()->okButton().click();
    EXPECT_EQ(flow.shown.size(), 4u);
}

// A box that goes grey (a third state) changes no flag.
TEST_F(OptionsWindowTest, AGreyedBoxLeavesItsFlag) {
    auto window = Open();
    QCheckBox& box = window->parkingsBox();
    box.setTristate(true);
    box.setCheckState(Qt::Unchecked);
    Click(box);  // unchecked -> greyed
    EXPECT_EQ(box.checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(state.displayFlags.showParkings, kTrue16);
}

}  // namespace
}  // namespace scopewatch
