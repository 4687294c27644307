#pragma once

#include <sys/stat.h>
#include <QFile>
#include <chrono>
#include <string>
#include <thread>

#include "support/TempDir.h"

namespace orvel::test {

// Writes an executable shell script standing in for a viewer; returns its path.
inline std::string writeScript(const TempDir& dir, const std::string& name,
                               const std::string& body) {
    dir.write(name, "#!/bin/sh\n" + body);
    const std::string path = dir.file(name);
    chmod(path.c_str(), 0755);
    return path;
}

// A script line that writes a command's output to a file of the folder all at once (to a
// temporary name, then moved into place), for waitForFile to read.
inline std::string publish(const TempDir& dir, const std::string& command,
                           const std::string& name) {
    const std::string tmp = dir.file(name + ".tmp");
    return command + " > '" + tmp + "'\nmv '" + tmp + "' '" + dir.file(name) + "'\n";
}

// The contents of a file that a stand-in writes (to a temporary name, then moved into place),
// waiting up to five seconds for it; empty when it never came.
inline std::string waitForFile(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        QFile file(QString::fromStdString(path));
        if (file.open(QIODevice::ReadOnly)) {
            return file.readAll().toStdString();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

}  // namespace orvel::test
