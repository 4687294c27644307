#include "platform/DesktopBrowser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <cstdlib>

#include "config/Text.h"

Q_LOGGING_CATEGORY(lcDesktopBrowser, "orvel.browser")

namespace orvel::platform {

namespace {

constexpr int kQueryTimeoutMs = 5000;
constexpr qint64 kMaxEntrySize = 1 << 20;
constexpr int kMaxEntryDepth = 4;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

std::string fromQString(const QString& s) {
    return QFile::encodeName(s).toStdString();
}
QString toQString(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

// The words of an Exec value: blanks separate them; double quotes group (inside them a
// backslash escapes the next character), and so do single quotes (literally), which desktop
// entries in the wild use too; outside quotes a backslash escapes the next character.
std::optional<std::vector<std::string>> splitWords(std::string_view s) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (isBlank(c)) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (c == '"' || c == '\'') {
            const char quote = c;
            bool closed = false;
            for (++i; i < s.size(); ++i) {
                if (s[i] == quote) {
                    closed = true;
                    break;
                }
                if (quote == '"' && s[i] == '\\' && i + 1 < s.size()) {
                    ++i;
                }
                word += s[i];
            }
            if (!closed) {
                return std::nullopt;
            }
        } else if (c == '\\' && i + 1 < s.size()) {
            word += s[++i];
        } else {
            word += c;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

// Finds the file of a desktop entry id below one applications folder: "a-b.desktop" may be
// "a-b.desktop" itself or "a/b.desktop" (the id joins subfolders with "-").
std::optional<std::string> findBelow(const QString& folder, const QString& prefix,
                                     const QString& id, int depth) {
    const QString direct = folder + QLatin1Char('/') + id.mid(prefix.size());
    if (QFileInfo(direct).isFile()) {
        return fromQString(direct);
    }
    if (depth >= kMaxEntryDepth) {
        return std::nullopt;
    }
    const QStringList subfolders = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& sub : subfolders) {
        const QString subPrefix = prefix + sub + QLatin1Char('-');
        if (id.startsWith(subPrefix)) {
            if (auto found = findBelow(folder + QLatin1Char('/') + sub, subPrefix, id, depth + 1)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

std::string unescapeValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[i + 1]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                // Not a string escape: left for the Exec quoting rules to read.
                out += '\\';
                out += value[i + 1];
                break;
        }
        ++i;
    }
    return out;
}

std::optional<std::string> readEntry(const std::string& path) {
    QFile file(toQString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.read(kMaxEntrySize).toStdString();
}

}  // namespace

DesktopBrowser::DesktopBrowser(EntryQuery query) : m_query(std::move(query)) {
    if (!m_query) {
        m_query = &DesktopBrowser::queryDefaultEntry;
    }
}

std::unique_ptr<ViewerProcess> DesktopBrowser::open(const std::string& target) {
    if (target.empty() || target.front() == '-') {
        qCWarning(lcDesktopBrowser) << "refused to open a target that reads as an option";
        return nullptr;
    }
    for (const ViewerCommand& command : commandsFor(target)) {
        if (auto process = ViewerProcess::start(command.program, command.arguments)) {
            return process;
        }
    }
    return nullptr;
}

std::vector<ViewerCommand> DesktopBrowser::commandsFor(const std::string& target) const {
    std::vector<ViewerCommand> commands;
    const std::string id = m_query();
    if (!id.empty()) {
        const std::optional<std::string> path = findDesktopEntry(id);
        const std::optional<std::string> entry = path ? readEntry(*path) : std::nullopt;
        const std::optional<std::string> exec = entry ? execValue(*entry) : std::nullopt;
        if (auto command = exec ? parseExec(*exec, target) : std::nullopt) {
            commands.push_back(std::move(*command));
        }
    }
    if (const char* browser = std::getenv("BROWSER")) {
        if (auto command = browserCommand(browser, target)) {
            commands.push_back(std::move(*command));
        }
    }
    return commands;
}

std::string DesktopBrowser::queryDefaultEntry() {
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                               QStringLiteral("text/html")});
    if (!process.waitForStarted(kQueryTimeoutMs)) {
        return {};
    }
    if (!process.waitForFinished(kQueryTimeoutMs)) {
        qCWarning(lcDesktopBrowser) << "xdg-mime did not answer in time";
        process.kill();
        process.waitForFinished(kQueryTimeoutMs);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return {};
    }
    const QByteArray output = process.readAllStandardOutput();
    const std::string_view first(
        output.constData(),
        static_cast<std::size_t>(output.indexOf('\n') < 0 ? output.size() : output.indexOf('\n')));
    return std::string(text::trimTrailingSpace(text::trimLeadingSpace(first)));
}

std::vector<std::string> DesktopBrowser::applicationFolders() {
    std::vector<std::string> folders;
    const auto add = [&folders](const QString& base) {
        QString folder = base;
        while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) {
            folder.chop(1);
        }
        // Relative entries are invalid in these variables and ignored.
        if (folder.startsWith(QLatin1Char('/'))) {
            folders.push_back(fromQString(folder) + "/applications");
        }
    };
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    add(dataHome.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : dataHome);
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty()) {
        dataDirs = QStringLiteral("/usr/local/share/:/usr/share/");
    }
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        add(dir);
    }
    return folders;
}

std::optional<std::string> DesktopBrowser::findDesktopEntry(std::string_view id) {
    if (id.empty() || id.find('/') != std::string_view::npos || id.front() == '.') {
        return std::nullopt;
    }
    const QString qid = QString::fromUtf8(id.data(), qsizetype(id.size()));
    for (const std::string& folder : applicationFolders()) {
        if (auto found = findBelow(toQString(folder), QString(), qid, 0)) {
            return found;
        }
    }
    return std::nullopt;
}

std::optional<std::string> DesktopBrowser::execValue(std::string_view entryText) {
    bool inMainGroup = false;
    std::size_t start = 0;
    while (start < entryText.size()) {
        std::size_t end = entryText.find('\n', start);
        if (end == std::string_view::npos) {
            end = entryText.size();
        }
        const std::string_view line =
            text::trimTrailingSpace(text::trimLeadingSpace(entryText.substr(start, end - start)));
        start = end + 1;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string_view::npos ||
            text::trimTrailingSpace(line.substr(0, equals)) != "Exec") {
            continue;
        }
        return unescapeValue(text::trimLeadingSpace(line.substr(equals + 1)));
    }
    return std::nullopt;
}

std::optional<ViewerCommand> DesktopBrowser::parseExec(std::string_view exec,
                                                       const std::string& target) {
    const std::optional<std::vector<std::string>> words = splitWords(exec);
    if (!words || words->empty()) {
        return std::nullopt;
    }
    // The program is named by the entry itself, never by a field code (the target would
    // become the program).
    const std::string& first = words->front();
    for (std::size_t at = first.find('%'); at != std::string::npos; at = first.find('%', at + 2)) {
        if (at + 1 < first.size() && first[at + 1] != '%') {
            return std::nullopt;
        }
    }
    std::vector<std::string> expanded;
    bool targetPlaced = false;
    for (const std::string& word : *words) {
        std::string out;
        bool onlyDroppedCodes = true;  // the word was nothing but codes that expand to nothing
        bool hadCode = false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (word[i] != '%' || i + 1 == word.size()) {
                out += word[i];
                onlyDroppedCodes = false;
                continue;
            }
            const char code = word[++i];
            hadCode = true;
            switch (code) {
                case '%':
                    out += '%';
                    onlyDroppedCodes = false;
                    break;
                case 'f':
                case 'F':
                case 'u':
                case 'U':
                    out += target;
                    targetPlaced = true;
                    onlyDroppedCodes = false;
                    break;
                default:
                    // %i %c %k and the deprecated codes: nothing the viewer needs from us.
                    break;
            }
        }
        if (!(hadCode && onlyDroppedCodes)) {
            expanded.push_back(std::move(out));
        }
    }
    if (expanded.empty() || expanded.front().empty()) {
        return std::nullopt;
    }
    if (!targetPlaced) {
        expanded.push_back(target);
    }
    ViewerCommand command;
    command.program = std::move(expanded.front());
    command.arguments.assign(std::make_move_iterator(expanded.begin() + 1),
                             std::make_move_iterator(expanded.end()));
    return command;
}

std::optional<ViewerCommand> DesktopBrowser::browserCommand(std::string_view browser,
                                                            const std::string& target) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < browser.size()) {
        while (start < browser.size() && isBlank(browser[start])) {
            ++start;
        }
        std::size_t end = start;
        while (end < browser.size() && !isBlank(browser[end])) {
            ++end;
        }
        if (end > start) {
            words.emplace_back(browser.substr(start, end - start));
        }
        start = end;
    }
    if (words.empty()) {
        return std::nullopt;
    }
    ViewerCommand command;
    command.program = words.front();
    bool targetPlaced = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string& word = words[i];
        for (std::size_t at = word.find("%s"); at != std::string::npos;
             at = word.find("%s", at + target.size())) {
            word.replace(at, 2, target);
            targetPlaced = true;
        }
        command.arguments.push_back(std::move(word));
    }
    if (!targetPlaced) {
        command.arguments.push_back(target);
    }
    return command;
}

}  // namespace orvel::platform
