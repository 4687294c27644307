#pragma once

#include <QTemporaryDir>

namespace orvel::test {

// Points the whole test process at private configuration, data and cache folders inside the
// given temporary folder, so that no test can touch the settings of the user who runs the
// suite. Returns false when the folder is not usable.
bool usePrivateFolders(const QTemporaryDir& home);

}  // namespace orvel::test
