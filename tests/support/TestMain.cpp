#include <gtest/gtest.h>

#include <QApplication>

// Every test executable runs with a QApplication (offscreen), so window tests and logic
// tests share one main().
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
