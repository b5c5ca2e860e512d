#include <gtest/gtest.h>

#include <QTimer>
#include <stdexcept>

#include "platform/ui/GuardedApplication.h"
#include "support/EventErrors.h"
#include "support/SpinEventLoop.h"

namespace scopewatch {
namespace {

// An error that escapes a timer's handler is reported, and the event loop goes on with the
// next event.
TEST(GuardedApplication, ReportsErrorsThatEscapeHandlersAndGoesOn) {
    testing::EventErrors& errors = testing::TheEventErrors();
    errors.expected = true;
    errors.seen.clear();

    QTimer::singleShot(0, [] { throw std::runtime_error("the tick failed"); });
    int later = 0;
    QTimer::singleShot(5, [&] { ++later; });
    ASSERT_TRUE(testing::SpinUntil([&] { return later == 1; }, 2000));

    QTimer::singleShot(0, [] { throw 42; });
    ASSERT_TRUE(testing::SpinUntil([&] { return errors.seen.size() == 2; }, 2000));

    errors.expected = false;
    EXPECT_EQ(errors.seen, (std::vector<std::string>{"the tick failed", "an unknown error"}));
    EXPECT_EQ(UnexpectedErrorText("x").rfind("An unexpected error stopped the last action: x.", 0),
              0U);
}

}  // namespace
}  // namespace scopewatch
