#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>

#include "startup/ui/SplashWindow.h"

namespace scopewatch {
namespace {

TEST(SplashWindowTest, RunsTheStartupCheckOnceAfterThreeSeconds) {
    int checks = 0;
    SplashWindow splash([&checks] { ++checks; });
    splash.show();
    EXPECT_EQ(splash.timer().interval(), 3000);
    EXPECT_TRUE(splash.timer().isActive());
    EXPECT_EQ(splash.findChild<QLabel*>()->text(), "SCOPEWATCH VERSION 1.0");

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3600) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(splash.timer().isActive());
}

}  // namespace
}  // namespace scopewatch
