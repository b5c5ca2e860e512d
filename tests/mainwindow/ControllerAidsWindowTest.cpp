#include <gtest/gtest.h>

#include <QSettings>

#include "mainwindow/ControllerAidsStore.h"
#include "mainwindow/ui/ControllerAidsWindow.h"
#include "state/ProgramState.h"
#include "support/Clicks.h"
#include "support/RecordingFlow.h"

namespace scopewatch {
namespace {

// The window shows the aids as they stand; each box and each vector length changes its aid at
// once, "OK" gives the main window back and closing keeps the choice in the user's
// configuration, where the next start finds it. What cannot be read there counts as off.
TEST(ControllerAidsWindowTest, ChoicesTakeEffectAtOnceAndAreKeptForTheNextStart) {
    ProgramState state;
    state.mainWindowOpen = kTrue16;
    state.aids.rangeRings = true;
    testing::RecordingFlow flow;
    ControllerAidsWindow window(state, flow);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Scopewatch v1.0 - Controller Aids");
    EXPECT_TRUE(window.ringsBox().isChecked());
    EXPECT_TRUE(window.vectorLengthButton(1).isChecked());
    for (QAbstractButton* control : std::initializer_list<QAbstractButton*>{
             &window.trailsBox(), &window.vectorsBox(), &window.labelsBox(),
             &window.vectorLengthButton(3)}) {
        EXPECT_EQ(control->accessibleName(), control->text());
        control->click();
    }
    window.ringsBox().click();
    const ControllerAids chosen{true, true, false, true, 3};
    EXPECT_EQ(state.aids, chosen);
    testing::Click(window.okButton());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"back to main"});
    EXPECT_FALSE(window.isVisible());

    QSettings preferences;
    EXPECT_EQ(LoadControllerAids(preferences), chosen);
    preferences.setValue("ControllerAids/vectorMinutes", 7);
    preferences.setValue("ControllerAids/rangeRings", "neither");
    EXPECT_EQ(LoadControllerAids(preferences), (ControllerAids{true, true, false, true, 1}));
    preferences.clear();
}

}  // namespace
}  // namespace scopewatch
