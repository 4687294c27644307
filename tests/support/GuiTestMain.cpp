#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "support/PrivateFolders.h"

// Window tests: a widget application on the platform CTest chose (offscreen, or xcb under
// Xvfb for the tests that need a real X server), with the same private folders as the logic
// tests.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home;
    if (!orvel::test::usePrivateFolders(home)) {
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
