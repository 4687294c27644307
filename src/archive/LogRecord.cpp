#include "archive/LogRecord.h"

#include "config/Text.h"

namespace orvel {

void LogRecord::setFileName(std::string_view value) {
    m_fileName = text::fitCapacity(value, kFileNameCapacity);
}

void LogRecord::setFolder(std::string_view value) {
    m_folder = text::fitCapacity(value, kFolderCapacity);
}

void LogRecord::setDate(std::string_view value) {
    m_date = text::fitCapacity(value, kDateCapacity);
}

void LogRecord::setStartTime(std::string_view value) {
    m_startTime = text::fitCapacity(value, kStartTimeCapacity);
}

void LogRecord::setDuration(std::string_view value) {
    m_duration = text::fitCapacity(value, kDurationCapacity);
}

void LogRecord::setRecordingLine(std::string_view value) {
    m_recordingLine = text::fitCapacity(value, kRecordingLineCapacity);
}

void LogRecord::setBackgroundFile(std::string_view value) {
    m_backgroundFile = text::fitCapacity(value, kBackgroundFileCapacity);
}

std::string LogRecord::line() const {
    std::string out;
    out.reserve(m_fileName.size() + m_folder.size() + m_startTime.size() + m_duration.size() +
                m_recordingLine.size() + m_backgroundFile.size() + 6);
    for (const std::string* field :
         {&m_fileName, &m_folder, &m_startTime, &m_duration, &m_recordingLine, &m_backgroundFile}) {
        out += *field;
        out += ',';
    }
    return out;
}

}  // namespace orvel
