#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include "mainwindow/ui/OptionsWindow.h"
#include "shared/ProgramState.h"
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

// Every box off and on again (taxiways among them) before "OK".
TEST_F(OptionsWindowTest, EachBoxSwitchesItsOwnFlagAtOnceAndOkGivesBackOnce) {
    auto window = Open();
    EXPECT_FALSE(window->isModal());
    const std::vector<std::pair<QCheckBox*, Flag16 DisplayFlags::*>> boxes{
        {&window->airspacesBox(), &DisplayFlags::showAirspaces},
        {&window->airportNameBox(), &DisplayFlags::showAirportName},
        {&window->parkingsBox(), &DisplayFlags::showParkings},
        {&window->taxiwayIdsBox(), &DisplayFlags::showTaxiwayIds},
        {&window->taxiwaysBox(), &DisplayFlags::showTaxiways},
        {&window->ilsBox(), &DisplayFlags::showIls}};
    for (const auto& [box, flag] : boxes) {
        SCOPED_TRACE(box->text().toStdString());
        DisplayFlags expected;
        expected.*flag = kFalse16;
        Click(*box);
        EXPECT_FALSE(box->isChecked());
        EXPECT_EQ(state.displayFlags, expected);
        Click(*box);
        EXPECT_EQ(state.displayFlags, DisplayFlags{});
    }
    EXPECT_TRUE(flow.shown.empty());
    QTest::mouseClick(&window->okButton(), Qt::LeftButton);
    EXPECT_EQ(state.displayFlags, DisplayFlags{});
    EXPECT_TRUE(window->isHidden());
    EXPECT_EQ(flow.shown, Shown{"back to main"});  // OK and the close that follows it: once
}

TEST_F(OptionsWindowTest, ReopeningShowsTheFlagsAsLastSet) {
    auto first = Open();
    Click(first->ilsBox());
    Click(first->airspacesBox());
    first->okButton().click();

    auto second = Open();
    EXPECT_FALSE(second->ilsBox().isChecked());
    EXPECT_FALSE(second->airspacesBox().isChecked());
    EXPECT_TRUE(second->taxiwaysBox().isChecked());
    second->close();

    // The same window shown again counts as a new opening too.
    state.displayFlags.showParkings = kFalse16;
    second->show();
    EXPECT_FALSE(second->parkingsBox().isChecked());
    second->close();
    EXPECT_EQ(flow.shown, (Shown{"back to main", "back to main", "back to main"}));
}

TEST_F(OptionsWindowTest, TheCloseBoxGivesBackOnceAndOnlyWhileTheMainWindowIsOpen) {
    auto window = Open();
    window->close();
    window->close();
    EXPECT_EQ(flow.shown, Shown{"back to main"});

    state.mainWindowOpen = kFalse16;
    Open()->close();
    EXPECT_EQ(flow.shown, Shown{"back to main"});
    Open()->okButton().click();  // "OK" gives it back regardless
    EXPECT_EQ(flow.shown, (Shown{"back to main", "back to main"}));
}

TEST_F(OptionsWindowTest, AGreyedBoxLeavesItsFlag) {
    auto window = Open();
    QCheckBox& box = window->parkingsBox();
    box.setTristate(true);
    box.setCheckState(Qt::Unchecked);
    Click(box);  // unchecked -> greyed
    EXPECT_EQ(box.checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(state.displayFlags.showParkings, kTrue16);
}

TEST_F(OptionsWindowTest, TwoColumnsNamedByTheirCaptionsInTabOrder) {
    auto window = Open();
    EXPECT_EQ(window->windowTitle(), "Scopewatch v1.0 - Options");
    EXPECT_EQ(window->displayOptionsFrame().title(), "Display Options");
    const Shown captions{"Display Airport Name",
                         "Display ILS",
                         "Display Taxiways",
                         "Display Taxiways IDs",
                         "Display Gates/Parkings",
                         "Display Airspaces",
                         "OK"};
    EXPECT_EQ(testing::TabOrder(*window), captions);
    const std::vector<QAbstractButton*> order{&window->airportNameBox(), &window->ilsBox(),
                                              &window->taxiwaysBox(),    &window->taxiwayIdsBox(),
                                              &window->parkingsBox(),    &window->airspacesBox(),
                                              &window->okButton()};
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(order[i]->text().toStdString(), captions[i]);
    }
    for (size_t row = 0; row < 3; ++row) {
        EXPECT_EQ(order[row]->x(), order[0]->x());
        EXPECT_EQ(order[row + 3]->x(), order[3]->x());
        EXPECT_EQ(order[row]->y(), order[row + 3]->y());
        if (row > 0) {
            EXPECT_GT(order[row]->y(), order[row - 1]->y());
        }
    }
    EXPECT_GT(order[3]->x(), order[0]->x() + order[0]->width() / 2);
}

}  // namespace
}  // namespace scopewatch
