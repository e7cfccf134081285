#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // The build lists the tests by running this program, with no display and without the
    // environment that CTest gives the tests themselves.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
