#include "platform/HelpPage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvel {

namespace {

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

std::string HelpPage::besideProgram(const std::string& programFolder) {
    if (programFolder.empty()) {
        return {};
    }
    const QFileInfo page(
        QDir(fromPath(programFolder))
            .filePath(QStringLiteral("../share/") + QString::fromLatin1(kRelativePath)));
    return page.isFile() ? toPath(QDir::cleanPath(page.absoluteFilePath())) : std::string();
}

std::string HelpPage::path() {
    if (QCoreApplication::instance()) {
        const std::string beside = besideProgram(toPath(QCoreApplication::applicationDirPath()));
        if (!beside.empty()) {
            return beside;
        }
    }
    return toPath(QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                         QString::fromLatin1(kRelativePath)));
}

QUrl HelpPage::url() {
    const std::string page = path();
    return page.empty() ? QUrl() : QUrl::fromLocalFile(fromPath(page));
}

}  // namespace orvel
