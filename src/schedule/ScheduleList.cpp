#include "schedule/ScheduleList.h"

#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <algorithm>

Q_LOGGING_CATEGORY(lcScheduleList, "orvel.schedule.list")

namespace orvel {

namespace {

QString toQString(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

std::string ScheduleList::pathIn(const std::string& installFolder) {
    if (installFolder.empty()) {
        return std::string(kFileName);
    }
    return installFolder + (installFolder.back() == '/' ? "" : "/") + std::string(kFileName);
}

bool ScheduleList::before(const ScheduleItem& a, const ScheduleItem& b) {
    // std::string compares its bytes as unsigned char, as memcmp does.
    return a.text() < b.text();
}

ScheduleList::LoadReport ScheduleList::load(const std::string& path) {
    m_items.clear();
    QFile file(toQString(path));
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcScheduleList) << "cannot read the schedule" << file.fileName() << ":"
                                  << file.errorString();
        return {};
    }
    const QByteArray bytes = file.read(qint64(kMaxFileBytes) + 1);
    LoadReport report;
    if (std::size_t(bytes.size()) > kMaxFileBytes) {
        qCWarning(lcScheduleList) << "the schedule" << file.fileName() << "is larger than"
                                  << kMaxFileBytes << "bytes: only its start is read";
        // The line cut by the limit is not read as a shorter line.
        const qsizetype lastEnd = bytes.lastIndexOf('\n', qsizetype(kMaxFileBytes) - 1);
        report = read(std::string_view(bytes.constData(), std::size_t(lastEnd + 1)));
        report.cutShort = true;
    } else {
        report = read(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    }
    report.read = true;
    return report;
}

ScheduleList::LoadReport ScheduleList::read(std::string_view contents) {
    m_items.clear();
    LoadReport report;
    report.read = true;
    // A file of tens of thousands of bad lines would otherwise bury the log (and the start) in
    // warnings: the first few are told one by one, the rest counted.
    int warned = 0;
    auto warn = [&warned] { return ++warned <= kWarnedLines; };
    int number = 0;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        if (end == std::string_view::npos) {
            end = contents.size();
        }
        std::string_view line = contents.substr(start, end - start);
        start = end + 1;
        ++number;
        // A file written with CR LF, also one that went through that twice.
        while (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            continue;
        }
        ScheduleItem::Result parsed = ScheduleItem::parse(line);
        if (!parsed.item) {
            ++report.skipped;
            report.skippedLines.emplace_back(line);
            if (warn()) {
                const std::string_view why = ScheduleItem::message(parsed.error);
                qCWarning(lcScheduleList).noquote()
                    << "schedule line" << number
                    << "skipped:" << QString::fromUtf8(why.data(), qsizetype(why.size()));
            }
            continue;
        }
        if (parsed.item->launch() == ScheduleItem::Launch::OverCapacity) {
            ++report.withoutLaunch;
            if (warn()) {
                qCWarning(lcScheduleList)
                    << "schedule line" << number << "is longer than" << ScheduleItem::kLineCapacity
                    << "bytes: its window is kept, its URL is not opened";
            }
        } else if (parsed.item->launch() == ScheduleItem::Launch::Malformed) {
            ++report.withoutLaunch;
            if (warn()) {
                qCWarning(lcScheduleList) << "schedule line" << number
                                          << "has a malformed URL field: its URL is not opened";
            }
        }
        m_items.push_back(std::move(*parsed.item));
    }
    if (warned > kWarnedLines) {
        qCWarning(lcScheduleList) << warned - kWarnedLines
                                  << "more schedule lines were skipped or keep no URL";
    }
    // The order add() gives, line by line, in one sort: equal texts keep their file order.
    std::stable_sort(m_items.begin(), m_items.end(), &before);
    return report;
}

ScheduleList::SaveResult ScheduleList::save(const std::string& path) const {
    return write(path, contents());
}

ScheduleList::SaveResult ScheduleList::write(const std::string& path, std::string_view bytes) {
    QSaveFile file(toQString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return {false, file.errorString().toStdString()};
    }
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        const std::string error = file.errorString().toStdString();
        file.cancelWriting();
        return {false, error};
    }
    if (!file.commit()) {
        return {false, file.errorString().toStdString()};
    }
    return {true, {}};
}

std::string ScheduleList::contents() const {
    std::string bytes;
    for (const ScheduleItem& item : m_items) {
        bytes += item.text();
        bytes += '\n';
    }
    return bytes;
}

int ScheduleList::add(ScheduleItem item) {
    const auto at = std::upper_bound(m_items.begin(), m_items.end(), item, &before);
    return static_cast<int>(m_items.insert(at, std::move(item)) - m_items.begin());
}

int ScheduleList::indexOf(std::string_view text) const {
    const auto found =
        std::find_if(m_items.begin(), m_items.end(),
                     [text](const ScheduleItem& item) { return item.text() == text; });
    return found == m_items.end() ? -1 : static_cast<int>(found - m_items.begin());
}

}  // namespace orvel
