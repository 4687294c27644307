#include "config/FolderCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcFolder, "orvel.config.folder")

namespace orvel {

namespace {

constexpr std::string_view kForbidden = "\"*:<>?\\|";

bool validComponent(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    auto edge = [](char c) { return c == ' ' || c == '\t' || c == '.'; };
    if (edge(name.front()) || edge(name.back())) {
        return false;
    }
    return name.find_first_of(kForbidden) == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

QString toQString(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string framed(std::string_view folder, std::string_view end) {
    std::string text = "The folder:\n\n";
    text += folder;
    text += "\n\n";
    text += end;
    return text;
}

}  // namespace

bool FolderCheck::isValid(std::string_view folder) {
    if (folder.empty() || folder.front() != '/') {
        return false;
    }
    if (folder.size() == 1) {
        return true;
    }
    std::string_view rest = folder.substr(1);
    while (true) {
        const std::size_t slash = rest.find('/');
        if (!validComponent(rest.substr(0, slash))) {
            return false;
        }
        if (slash == std::string_view::npos) {
            return true;
        }
        rest.remove_prefix(slash + 1);
    }
}

FolderCheck::Verdict FolderCheck::check(std::string_view folder) {
    if (!isValid(folder)) {
        return Verdict::Invalid;
    }
    return QFileInfo(toQString(folder)).isDir() ? Verdict::Exists : Verdict::Missing;
}

bool FolderCheck::create(std::string_view folder) {
    const QString path = QDir::cleanPath(toQString(folder));
    if (!QDir::isAbsolutePath(path)) {
        return false;
    }
    // One level at a time, so that a failure names the level that could not be made.
    QString made;
    for (const QString& part : path.split('/', Qt::SkipEmptyParts)) {
        made += '/' + part;
        if (QFileInfo(made).isDir()) {
            continue;
        }
        if (!QDir().mkdir(made)) {
            qCWarning(lcFolder) << "cannot create the folder" << made;
            return false;
        }
    }
    return QFileInfo(path).isDir();
}

std::string FolderCheck::invalidMessage(std::string_view folder) {
    return framed(folder, "is invalid. Please reenter.");
}

std::string FolderCheck::missingQuestion(std::string_view folder) {
    return framed(folder, "does not exist. Do you want the folder to be created?");
}

std::string FolderCheck::notCreatedMessage(std::string_view folder) {
    return framed(folder, "can not be created. Please double check.");
}

}  // namespace orvel
