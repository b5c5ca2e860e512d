#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "app/GuardedApplication.h"
#include "support/EventErrors.h"
#include "support/SpinEventLoop.h"

namespace scopewatch {
namespace {

// An error that escapes a timer's or a button's handler is reported, and the event loop
// goes on with the next event.
TEST(GuardedApplication, ReportsErrorsThatEscapeHandlersAndGoesOn) {
    testing::EventErrors& errors = testing::TheEventErrors();
    errors.expected = true;
    errors.seen.clear();

    QTimer::singleShot(0, [] { throw std::runtime_error("the tick failed"); });
    int later = 0;
    QTimer::singleShot(5, [&] { ++later; });
    ASSERT_TRUE(testing::SpinUntil([&] { return later == 1; }, 2000));

    QPushButton button("Send");
    QObject::connect(&button, &QPushButton::clicked, [] { throw 42; });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);

    errors.expected = false;
    EXPECT_EQ(errors.seen, (std::vector<std::string>{"the tick failed", "an unknown error"}));
    EXPECT_EQ(UnexpectedErrorText("x").rfind("An unexpected error stopped the last action: x.", 0),
              0U);
}

}  // namespace
}  // namespace scopewatch
