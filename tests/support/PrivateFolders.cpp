#include "support/PrivateFolders.h"

#include <QDir>
#include <QFile>

namespace orvel::test {

bool usePrivateFolders(const QTemporaryDir& home) {
    if (!home.isValid()) {
        return false;
    }
    for (const char* folder : {"config", "data", "cache"}) {
        if (!QDir(home.path()).mkpath(QString::fromLatin1(folder))) {
            return false;
        }
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/data"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path() + "/cache"));
    return true;
}

}  // namespace orvel::test
