#include <gtest/gtest.h>

#include <QLabel>

#include "startup/ui/SplashWindow.h"
#include "support/SpinEventLoop.h"

namespace scopewatch {
namespace {

// The splash names the program and runs the start-up check once, three seconds after it
// shows.
TEST(SplashWindowTest, RunsTheStartupCheckOnceAfterThreeSeconds) {
    int checks = 0;
    SplashWindow splash([&checks] { ++checks; });
    splash.show();
    EXPECT_EQ(splash.timer().interval(), 3000);
    EXPECT_TRUE(splash.timer().isActive());
    EXPECT_EQ(splash.findChild<QLabel*>()->text(), "SCOPEWATCH VERSION 1.0");
    testing::Spin(3600);
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(splash.timer().isActive());
}

}  // namespace
}  // namespace scopewatch
