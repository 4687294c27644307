#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

// Logic tests run headless: a core application gives them an event loop and Qt's paths.
// The whole process gets private configuration and data folders, so no test can touch the
// settings of the user who runs the suite.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home;
    if (!home.isValid()) {
        return 2;
    }
    QDir(home.path()).mkpath("config");
    QDir(home.path()).mkpath("data");
    QDir(home.path()).mkpath("cache");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/data"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path() + "/cache"));
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
