#include <gtest/gtest.h>

#include <QApplication>

namespace {

void SetDefault(const char* name, const char* value) {
    if (qEnvironmentVariableIsEmpty(name)) {
        qputenv(name, value);
    }
}

}  // namespace

// Every test executable runs with a QApplication (offscreen), so window tests and logic
// tests share one main().
int main(int argc, char** argv) {
    SetDefault("QT_QPA_PLATFORM", "offscreen");
    SetDefault("SCOPEWATCH_SOURCE_DIR", SCOPEWATCH_SOURCE_DIR_DEFAULT);
    SetDefault("SCOPEWATCH_BUILD_DIR", SCOPEWATCH_BUILD_DIR_DEFAULT);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
