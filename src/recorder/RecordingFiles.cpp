#include "recorder/RecordingFiles.h"

#include <QFileInfo>
#include <algorithm>

namespace orvel {

RecordingFiles::RecordingFiles(std::string installFolder, RecordingLog::Clock clock)
    : m_log(std::move(installFolder), std::move(clock)) {}

std::string RecordingFiles::absolute(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}

void RecordingFiles::begin(const std::string& path, int lineIndex, std::string_view lineName,
                           bool backgroundOn, std::string_view backgroundFile) {
    m_log.begin(absolute(path), lineIndex, lineName, backgroundOn, backgroundFile);
    m_path = path;
    m_sound = false;
}

void RecordingFiles::next(const std::string& path) {
    handOver(false, {});
    m_log.beginNext(absolute(path));
    m_path = path;
    m_sound = false;
}

void RecordingFiles::stop(bool keepMessage, std::string_view endedMode) {
    handOver(keepMessage, endedMode);
    m_path.clear();
    m_sound = false;
}

void RecordingFiles::handOver(bool keepMessage, std::string_view endedMode) {
    m_handed.push_back({m_path, m_log.record(), m_sound, keepMessage, std::string(endedMode)});
}

void RecordingFiles::soundStarted(const std::string& path) {
    if (!m_path.empty() && path == m_path && !m_sound) {
        m_log.stampStart();
        m_sound = true;
        return;
    }
    // A stop hands the file over before the engine has handled the last blocks.
    const auto it = std::find_if(m_handed.begin(), m_handed.end(),
                                 [&](const Handed& h) { return h.path == path && !h.sound; });
    if (it != m_handed.end()) {
        m_log.stampStart(it->record);
        it->sound = true;
    }
}

std::optional<RecordingFiles::Handed> RecordingFiles::completed(const std::string& path) {
    const auto it = std::find_if(m_handed.begin(), m_handed.end(),
                                 [&](const Handed& h) { return h.path == path; });
    if (it == m_handed.end()) {
        return std::nullopt;
    }
    Handed file = std::move(*it);
    m_handed.erase(it);
    return file;
}

std::optional<RecordingFiles::Handed> RecordingFiles::takeOldest() {
    if (m_handed.empty()) {
        return std::nullopt;
    }
    Handed file = std::move(m_handed.front());
    m_handed.pop_front();
    return file;
}

}  // namespace orvel
