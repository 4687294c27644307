#include "config/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>
#include <algorithm>
#include <climits>
#include <optional>

#include "config/FormatTables.h"
#include "config/Product.h"

namespace orvel {

namespace {

Q_LOGGING_CATEGORY(lcSettings, "orvel.config.settings")

constexpr char kGroupName[] = "Parameters";

// One store for the duration of one call. Fallbacks are off: the recorder's values live in
// exactly one place, never in an organisation-wide or system-wide file beside it.
class OpenStore {
public:
    explicit OpenStore(const std::string& product)
        : m_settings(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(product),
                     QString::fromLatin1(kGroupName)) {
        m_settings.setFallbacksEnabled(false);
    }

    QVariant read(const std::string& name) const {
        return m_settings.value(QString::fromStdString(name));
    }

    void write(const std::string& name, const QVariant& value) {
        m_settings.setValue(QString::fromStdString(name), value);
        m_settings.sync();
        if (m_settings.status() != QSettings::NoError) {
            qCWarning(lcSettings) << "cannot write setting" << QString::fromStdString(name) << "to"
                                  << m_settings.fileName();
        }
    }

private:
    QSettings m_settings;
};

bool fitsInt32(qlonglong n) {
    return n >= INT_MIN && n <= INT_MAX;
}

// A stored number, or nothing when the value is not a whole decimal number of 32 bits. Stored
// files keep numbers as text, so text is the usual case; a value typed otherwise (a list, a
// fraction, a byte array) is not a number of this store.
std::optional<int> asNumber(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
            return v.toInt();
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: {
            bool ok = false;
            const qlonglong n = v.toLongLong(&ok);
            if (ok && fitsInt32(n)) {
                return static_cast<int>(n);
            }
            return std::nullopt;
        }
        case QMetaType::QString: {
            bool ok = false;
            const qlonglong n = v.toString().trimmed().toLongLong(&ok, 10);
            if (ok && fitsInt32(n)) {
                return static_cast<int>(n);
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

// A stored text that fits the capacity, or nothing. A number stored under the name reads as its
// decimal text, as it would from the file; anything else (a list, a byte array) is no text. As
// with any zero-terminated text, a stored zero character ends it.
std::optional<std::string> asText(const QVariant& v, std::size_t capacity) {
    std::string s;
    if (v.typeId() == QMetaType::QString) {
        s = v.toString().toStdString();
    } else if (const std::optional<int> n = asNumber(v)) {
        s = std::to_string(*n);
    } else {
        return std::nullopt;
    }
    if (const auto zero = s.find('\0'); zero != std::string::npos) {
        s.resize(zero);
    }
    if (capacity == 0 || s.size() > capacity - 1) {
        return std::nullopt;
    }
    return s;
}

// A folder without trailing "/", except the root itself.
std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

// A program path as one quoted argument of a desktop entry's Exec key. Inside the quotes a
// double quote, backquote, dollar sign and backslash are escaped with a backslash, and a
// percent sign is doubled so that it is not taken for a field code. The key's value is then a
// string value of the entry, whose own escapes (a backslash doubled, control characters as
// \n \t \r) are applied on top, so that readers undo them first.
std::string desktopExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '%') {
            quoted += "%%";
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            default:
                value += c;
        }
    }
    return value;
}

std::string userFolder(QStandardPaths::StandardLocation location, const char* fallback) {
    QString folder = QStandardPaths::writableLocation(location);
    if (folder.isEmpty()) {
        folder = QDir::homePath() + QString::fromLatin1(fallback);
    }
    return folder.toStdString();
}

// A stored number outside low..high reads as the value's default: these values index tables and
// lists of that size.
int numberWithin(const SettingsStore& store, const setting::NumberSetting& which, int low,
                 int high) {
    const int v = store.readNumber(which);
    return (v >= low && v <= high) ? v : which.defaultValue;
}

std::string runningProgramPath() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationFilePath().toStdString();
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toStdString();
}

}  // namespace

SettingsStore::SettingsStore() : m_product(product::kName) {}

SettingsStore::SettingsStore(std::string productName) : m_product(std::move(productName)) {}

int SettingsStore::readNumber(const std::string& name, int defaultValue) const {
    return asNumber(OpenStore(m_product).read(name)).value_or(defaultValue);
}

void SettingsStore::writeNumber(const std::string& name, int value) const {
    OpenStore(m_product).write(name, value);
}

std::string SettingsStore::readText(const std::string& name) const {
    return readText(setting::TextSetting{name.c_str(), setting::kTextCapacity});
}

void SettingsStore::writeText(const std::string& name, const std::string& value) const {
    OpenStore(m_product).write(name, QString::fromStdString(value));
}

int SettingsStore::readNumber(const setting::NumberSetting& which) const {
    return readNumber(which.name, which.defaultValue);
}

void SettingsStore::writeNumber(const setting::NumberSetting& which, int value) const {
    writeNumber(which.name, value);
}

std::string SettingsStore::readText(const setting::TextSetting& which) const {
    return asText(OpenStore(m_product).read(which.name), which.capacity).value_or(std::string());
}

void SettingsStore::writeText(const setting::TextSetting& which, const std::string& value) const {
    writeText(which.name, value);
}

int SettingsStore::readFreq() const {
    return numberWithin(*this, setting::kFreq, 0, format::kRateCount - 1);
}
void SettingsStore::writeFreq(int value) const {
    writeNumber(setting::kFreq, value);
}

int SettingsStore::readBit() const {
    return readNumber(setting::kBit);
}
void SettingsStore::writeBit(int value) const {
    writeNumber(setting::kBit, value);
}

int SettingsStore::readChannel() const {
    return readNumber(setting::kChannel);
}
void SettingsStore::writeChannel(int value) const {
    writeNumber(setting::kChannel, value);
}

int SettingsStore::readVolume() const {
    return std::clamp(readNumber(setting::kVolume), 0, setting::kVolumeMax);
}
void SettingsStore::writeVolume(int value) const {
    writeNumber(setting::kVolume, value);
}

int SettingsStore::readDevice() const {
    return readNumber(setting::kDevice);
}
void SettingsStore::writeDevice(int value) const {
    writeNumber(setting::kDevice, value);
}

int SettingsStore::readAudioLine() const {
    return readNumber(setting::kAudioLine);
}
void SettingsStore::writeAudioLine(int value) const {
    writeNumber(setting::kAudioLine, value);
}

int SettingsStore::readMp3Mode() const {
    return numberWithin(*this, setting::kMp3Mode, 0, setting::kMp3ModeMax);
}
void SettingsStore::writeMp3Mode(int value) const {
    writeNumber(setting::kMp3Mode, value);
}

int SettingsStore::readMp3Bitrate() const {
    return numberWithin(*this, setting::kMp3Bitrate, 0, format::kMp3BitrateCount - 1);
}
void SettingsStore::writeMp3Bitrate(int value) const {
    writeNumber(setting::kMp3Bitrate, value);
}

int SettingsStore::readThreshold() const {
    return std::clamp(readNumber(setting::kThreshold), 0, setting::kThresholdMax);
}
void SettingsStore::writeThreshold(int value) const {
    writeNumber(setting::kThreshold, value);
}

int SettingsStore::readSignalType() const {
    return numberWithin(*this, setting::kSignalType, 0, setting::kSignalTypeMax);
}
void SettingsStore::writeSignalType(int value) const {
    writeNumber(setting::kSignalType, value);
}

int SettingsStore::readNewFileDelay() const {
    return numberWithin(*this, setting::kNewFileDelay, 0, setting::kNewFileDelayMax);
}
void SettingsStore::writeNewFileDelay(int value) const {
    writeNumber(setting::kNewFileDelay, value);
}

int SettingsStore::readPreRoll() const {
    return std::clamp(readNumber(setting::kPreRoll), 0, setting::kPreRollMax);
}
void SettingsStore::writePreRoll(int value) const {
    writeNumber(setting::kPreRoll, value);
}

int SettingsStore::readShowSwitch() const {
    return readNumber(setting::kShowSwitch);
}
void SettingsStore::writeShowSwitch(int value) const {
    writeNumber(setting::kShowSwitch, value);
}

int SettingsStore::readScheduleType() const {
    return readNumber(setting::kScheduleType);
}
void SettingsStore::writeScheduleType(int value) const {
    writeNumber(setting::kScheduleType, value);
}

int SettingsStore::readMultiFileStatus() const {
    return readNumber(setting::kMultiFileStatus);
}
void SettingsStore::writeMultiFileStatus(int value) const {
    writeNumber(setting::kMultiFileStatus, value);
}

int SettingsStore::readTimeStampedStatus() const {
    return readNumber(setting::kTimeStampedStatus);
}
void SettingsStore::writeTimeStampedStatus(int value) const {
    writeNumber(setting::kTimeStampedStatus, value);
}

std::string SettingsStore::readLastName() const {
    return readText(setting::kLastName);
}
void SettingsStore::writeLastName(const std::string& value) const {
    writeText(setting::kLastName, value);
}

std::string SettingsStore::readLanguage() const {
    return readText(setting::kLanguage);
}

std::string SettingsStore::readInstallPath() const {
    return readText(setting::kInstallPath);
}

void SettingsStore::writeAbility(const std::string& value) const {
    writeText(setting::kAbility, value);
}

std::string SettingsStore::effectiveInstallFolder() const {
    const std::string installPath = readInstallPath();
    if (!installPath.empty()) {
        return withoutTrailingSlashes(installPath);
    }
    const std::string folder = joinPath(
        userFolder(QStandardPaths::GenericDataLocation, "/.local/share"), setting::kDataFolderName);
    if (!QDir().mkpath(QString::fromStdString(folder))) {
        qCWarning(lcSettings) << "cannot create the data folder" << QString::fromStdString(folder);
    }
    return folder;
}

std::string SettingsStore::autostartProgramPath() const {
    const std::string installPath = readInstallPath();
    if (!installPath.empty()) {
        return joinPath(withoutTrailingSlashes(installPath), product::kProgramFileName);
    }
    return runningProgramPath();
}

bool SettingsStore::writeAutostart(const std::string& programPath) const {
    if (programPath.empty()) {
        return false;
    }
    const QString folder = QString::fromStdString(joinPath(
        userFolder(QStandardPaths::GenericConfigLocation, "/.config"), setting::kAutostartFolder));
    if (!QDir().mkpath(folder)) {
        qCWarning(lcSettings) << "cannot create the autostart folder" << folder;
        return false;
    }
    const std::string entry =
        std::string("[Desktop Entry]\n") + "Type=Application\n" + "Name=" + product::kName + "\n" +
        "Exec=" + desktopExecArgument(programPath) + " " + setting::kAutostartSwitches + "\n";
    QSaveFile file(folder + "/" + QString::fromLatin1(setting::kAutostartFileName));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(entry.data(), static_cast<qint64>(entry.size())) !=
            static_cast<qint64>(entry.size()) ||
        !file.commit()) {
        qCWarning(lcSettings) << "cannot write the autostart entry" << file.fileName() << ":"
                              << file.errorString();
        return false;
    }
    return true;
}

}  // namespace orvel
