#include "recorder/OutputNaming.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <optional>
#include <cstdio>

#include "audio/FileLock.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "config/Text.h"
#include "recorder/FaceState.h"

namespace orvel {

namespace {

// The name with the format's extension: a recording extension is swapped for it, and any other
// name has it added, so that the name always says the format it is recorded in and none of the
// user's text is lost.
std::string withExtensionOf(std::string_view name, OutputFormat format) {
    const std::string extension(extensionOf(format));
    if (formatOfFileName(name)) {
        return std::string(name.substr(0, name.size() - extension.size())) + extension;
    }
    return std::string(name) + "." + extension;
}

// The number a numbered file carries: the digits after its last "_" up to the next ".".
long long numberOfFile(std::string_view fileName) {
    const std::size_t underscore = fileName.rfind('_');
    if (underscore == std::string_view::npos) {
        return 0;
    }
    std::string_view rest = fileName.substr(underscore + 1);
    const std::size_t dot = rest.find('.');
    return text::leadingNumber(rest.substr(0, dot));
}

// The highest number among the files of the folder that match base + "_*" + extension in any
// letter case, or 0 when none matches (a match without digits counts as 1, so that the next
// number is never below 2 once something matches).
long long highestNumber(std::string_view base, std::string_view extension) {
    const std::size_t slash = base.rfind('/');
    QString folder;
    QString prefix;
    if (slash == std::string_view::npos) {
        folder = QStringLiteral(".");
        prefix = QString::fromUtf8(base.data(), qsizetype(base.size()));
    } else {
        folder = QString::fromUtf8(base.data(), qsizetype(slash + 1));
        prefix = QString::fromUtf8(base.data() + slash + 1, qsizetype(base.size() - slash - 1));
    }
    prefix += QLatin1Char('_');
    const QString suffix = QString::fromLatin1(extension.data(), qsizetype(extension.size()));

    // Folders and hidden entries count too: a name they hold cannot be used for the file.
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    long long highest = 0;
    for (const QString& entry : entries) {
        if (entry.size() < prefix.size() + suffix.size() ||
            !entry.startsWith(prefix, Qt::CaseInsensitive) ||
            !entry.endsWith(suffix, Qt::CaseInsensitive)) {
            continue;
        }
        const QByteArray name = entry.toUtf8();
        highest =
            std::max({highest, 1LL, numberOfFile(std::string_view(name.data(), name.size()))});
    }
    return highest;
}

// The next numbered name of the base: one above the highest number the folder holds, and above
// any name another recorder holds (the file it has just created may not have been listed).
std::string numberedName(std::string_view base, std::string_view extension) {
    const long long highest = highestNumber(base, extension);
    for (long long number = highest == 0 ? 1 : highest + 1;; ++number) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "_%03lld", number);
        std::string name = std::string(base) + digits + std::string(extension);
        if (!FileLock::inUse(name)) {
            return name;
        }
    }
}

}  // namespace

OutputNaming::OutputNaming(const SettingsStore& settings, Clock clock)
    : m_settings(settings), m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = [] { return QDateTime::currentDateTime(); };
    }
}

void OutputNaming::load() {
    setBoth(restoredName());
    m_multiFile = m_settings.readMultiFileStatus() != 0;
    m_timeStamped = m_settings.readTimeStampedStatus() != 0;
}

void OutputNaming::store() const {
    storeSwitches();
    m_settings.writeLastName(m_field);
}

void OutputNaming::storeSwitches() const {
    m_settings.writeMultiFileStatus(m_multiFile ? 1 : 0);
    m_settings.writeTimeStampedStatus(m_timeStamped ? 1 : 0);
}

const std::string& OutputNaming::pathForRecording() {
    if (m_multiFile) {
        nextName();
    } else {
        m_outputPath = m_field;
    }
    return m_outputPath;
}

bool OutputNaming::nextName() {
    const std::string_view name = text::trimTrailingSpace(m_field);
    const std::optional<OutputFormat> format = formatOfFileName(name);
    if (!format) {
        return false;
    }
    const std::string extension = "." + std::string(extensionOf(*format));

    if (m_timeStamped) {
        const std::size_t slash = name.rfind('/');
        const std::string_view folder =
            slash == std::string_view::npos ? std::string_view() : name.substr(0, slash + 1);
        const std::string stamped = std::string(folder) + timeStamp(m_clock());
        // Another recorder that started in the same second holds the stamp: this one numbers it.
        setBoth(FileLock::inUse(stamped + extension) ? numberedName(stamped, extension)
                                                     : stamped + extension);
        return true;
    }

    // The base ends at the last "_" of the file name itself. A "_" in a folder name does not
    // count: it would send the numbered files into a parent folder under that folder's name.
    const std::size_t slash = name.rfind('/');
    const std::size_t fileStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t underscore = name.rfind('_');
    const std::string_view base = name.substr(
        0, underscore == std::string_view::npos || underscore < fileStart ? name.size() - 4
                                                                          : underscore);
    setBoth(numberedName(base, extension));
    return true;
}

OutputNaming::FormatResult OutputNaming::chooseFormat(OutputFormat format, bool recording,
                                                      bool wmaWriterAvailable) {
    if (recording || format == selectedFormat()) {
        return FormatResult::Ignored;
    }
    if (format == OutputFormat::Wma) {
        if (!wmaWriterAvailable) {
            return FormatResult::WmaUnavailable;
        }
        if (m_settings.readNumber(setting::kWmaFormat.name, setting::kWmaFormat.defaultValue) ==
            -1) {
            return FormatResult::WmaSettingsNeeded;
        }
    }
    m_field = withExtensionOf(m_field, format);
    // The kept name takes the format too. With multi-file on the field holds a name formed from
    // it, which is not kept: switching multi-file off brings the kept name back.
    m_settings.writeLastName(m_multiFile ? withExtensionOf(restoredName(), format) : m_field);
    return FormatResult::Changed;
}

bool OutputNaming::toggleMultiFile(bool busy) {
    if (busy) {
        return false;
    }
    m_multiFile = !m_multiFile;
    if (!m_multiFile) {
        m_timeStamped = false;
        setBoth(restoredName());
    }
    storeSwitches();
    return true;
}

void OutputNaming::setMultiFile(bool on) {
    if (on != m_multiFile) {
        toggleMultiFile(false);
    }
}

void OutputNaming::setFieldText(std::string path) {
    if (path.empty()) {
        return;
    }
    m_field = std::move(path);
    m_settings.writeLastName(m_field);
}

void OutputNaming::show(FaceState& state) const {
    state.multiFileDown = m_multiFile;
    state.timeStampedDown = m_timeStamped;
    state.outputFormat = selectedFormat();
    state.fieldText = m_field;
}

bool OutputNaming::toggleTimeStamped(bool busy) {
    if (busy) {
        return false;
    }
    m_timeStamped = !m_timeStamped;
    if (m_timeStamped) {
        m_settings.writeLastName(m_field);
        m_multiFile = true;
    } else {
        setBoth(restoredName());
    }
    storeSwitches();
    return true;
}

std::string OutputNaming::defaultPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        folder = QDir::homePath();
    }
    return QFile::encodeName(folder).toStdString() + "/" + std::string(kDefaultFileName);
}

std::string OutputNaming::timeStamp(const QDateTime& when) {
    const QDate date = when.date();
    const QTime time = when.time();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%d%02d%02d-%02d%02d%02d", date.year(), date.month(),
                  date.day(), time.hour(), time.minute(), time.second());
    return stamp;
}

std::string OutputNaming::restoredName() const {
    const std::string kept(text::trimTrailingBlanks(m_settings.readLastName()));
    return kept.empty() ? defaultPath() : kept;
}

void OutputNaming::setBoth(std::string path) {
    m_field = path;
    m_outputPath = std::move(path);
}

}  // namespace orvel
