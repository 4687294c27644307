#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "support/PrivateFolders.h"

// Logic tests run headless: a core application gives them an event loop and Qt's paths.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home;
    if (!orvel::test::usePrivateFolders(home)) {
        return 2;
    }
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
