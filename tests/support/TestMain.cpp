#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/ui/GuardedApplication.h"
#include "support/EventErrors.h"

namespace {

void SetDefault(const char* name, const char* value) {
    if (qEnvironmentVariableIsEmpty(name)) {
        qputenv(name, value);
    }
}

}  // namespace

// Every test executable runs with the program's own application object (offscreen), so
// window tests and logic tests share one main(). An error that escapes an event handler
// fails the running test, unless the test expects one.
int main(int argc, char** argv) {
    SetDefault("QT_QPA_PLATFORM", "offscreen");
    SetDefault("SCOPEWATCH_SOURCE_DIR", SCOPEWATCH_SOURCE_DIR_DEFAULT);
    SetDefault("SCOPEWATCH_BUILD_DIR", SCOPEWATCH_BUILD_DIR_DEFAULT);
    // The user's configuration (the controller's aids) goes to a folder of this run alone.
    const QTemporaryDir configuration;
    qputenv("XDG_CONFIG_HOME", configuration.path().toUtf8());
    scopewatch::GuardedApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Scopewatch");
    QCoreApplication::setApplicationName("Scopewatch");
    application.SetReporter(scopewatch::testing::RecordEventError);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
