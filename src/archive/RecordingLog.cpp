#include "archive/RecordingLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "config/Text.h"

namespace orvel {

namespace {

constexpr std::size_t kFieldTextLength = 255;  // the file-name field's own limit
constexpr std::size_t kMinimumLineLength = 11;

QString qPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool isFolder(const std::string& path) {
    return QFileInfo(qPath(path)).isDir();
}

// One line split into the six fields of the line format. Each field is the text before a
// comma; text after the last comma is a further field only when it is not empty, so that the
// comma written after the sixth field does not make a line of five fields look complete.
bool parseLine(std::string_view line, LogRecord& record) {
    std::array<std::string_view, 6> fields;
    std::size_t count = 0;
    std::size_t start = 0;
    while (count < fields.size()) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            if (start < line.size()) {
                fields[count++] = line.substr(start);
            }
            break;
        }
        fields[count++] = line.substr(start, comma - start);
        start = comma + 1;
    }
    if (count < fields.size()) {
        return false;
    }
    record.setFileName(fields[0]);
    record.setFolder(fields[1]);
    record.setStartTime(fields[2]);
    record.setDuration(fields[3]);
    record.setRecordingLine(fields[4]);
    record.setBackgroundFile(fields[5]);
    return true;
}

}  // namespace

RecordingLog::RecordingLog(std::string installFolder, Clock clock)
    : m_installFolder(std::move(installFolder)), m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = [] { return QDateTime::currentDateTime(); };
    }
}

void RecordingLog::begin(std::string_view fieldText, int lineIndex, std::string_view lineName,
                         bool backgroundOn, std::string_view backgroundFile) {
    m_record.clear();
    beginNext(fieldText);

    std::string_view name = lineName;
    if (name.size() >= 2 && name.substr(name.size() - 2) == "__") {
        name.remove_suffix(2);
    }
    const std::string number = std::to_string(static_cast<long long>(lineIndex) + 1);
    m_record.setRecordingLine(number + " - " + std::string(name.empty() ? "Unknown" : name));

    if (backgroundOn) {
        m_record.setBackgroundFile(backgroundFile);
    }
}

void RecordingLog::beginNext(std::string_view fieldText) {
    stampStart(m_record);
    m_record.setDuration({});
    m_record.setFolder({});
    m_record.setFileName({});
    const std::string_view field = text::cutBytes(fieldText, kFieldTextLength);
    const std::size_t slash = field.rfind('/');
    if (slash != std::string_view::npos) {
        m_record.setFolder(field.substr(0, slash + 1));
        m_record.setFileName(field.substr(slash + 1));
    }
}

void RecordingLog::stampStart(LogRecord& record) const {
    const QDateTime now = m_clock();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d", now.date().year(), now.date().month(),
                  now.date().day());
    record.setDate(stamp);
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d", now.time().hour(), now.time().minute(),
                  now.time().second());
    record.setStartTime(stamp);
}

bool RecordingLog::write(LogRecord& record, std::int64_t durationMs) const {
    durationMs = std::max<std::int64_t>(durationMs, 0);
    char duration[64];
    std::snprintf(duration, sizeof duration, "%lld:%02lld",
                  static_cast<long long>(durationMs / 60000),
                  static_cast<long long>(durationMs / 1000 % 60));
    record.setDuration(duration);

    const std::string& date = record.date();
    if (date.size() < 4 || m_installFolder.empty()) {
        return false;
    }
    if (!makeFolder(logFolder() + "/" + date.substr(0, 4))) {
        return false;
    }

    // "a+" reads too: a last line left without its end (a write cut short) gets one first, so
    // that it does not swallow this record.
    std::FILE* file = std::fopen(dayFile(date).c_str(), "a+b");
    if (file == nullptr) {
        return false;
    }
    std::string out;
    if (std::fseek(file, -1, SEEK_END) == 0) {
        const int last = std::fgetc(file);
        if (last != EOF && last != '\n' && last != '\r') {
            out += '\n';
        }
    }
    out += record.line();
    out += '\n';
    std::fseek(file, 0, SEEK_END);  // a read must be followed by a positioning before a write
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

std::string RecordingLog::logFolder() const {
    return m_installFolder + "/Log";
}

std::string RecordingLog::dayFile(std::string_view date) const {
    const std::string day(date);
    return logFolder() + "/" + day.substr(0, 4) + "/" + day + ".txt";
}

std::vector<LogRecord> RecordingLog::readDay(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseDay(bytes);
}

std::vector<LogRecord> RecordingLog::parseDay(std::string_view bytes) {
    std::vector<LogRecord> records;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        // An over-long line is cut and its rest dropped with it, never read as a line of its own.
        const std::string_view line =
            text::cutBytes(bytes.substr(start, end - start), kMaxLineLength);
        start = end + 1;
        if (line.size() < kMinimumLineLength) {
            continue;
        }
        LogRecord record;
        if (parseLine(line, record)) {
            records.push_back(std::move(record));
        }
    }
    return records;
}

bool RecordingLog::makeFolder(const std::string& path) {
    if (isFolder(path)) {
        return true;
    }
    if (path.empty() || path.front() != '/') {
        return false;
    }
    std::string level;
    std::size_t start = 1;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) {
            slash = path.size();
        }
        if (slash > start) {
            level += "/" + path.substr(start, slash - start);
            if (!isFolder(level) && !QDir().mkdir(qPath(level))) {
                return false;
            }
        }
        start = slash + 1;
    }
    return isFolder(path);
}

}  // namespace orvel
