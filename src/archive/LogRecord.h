#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvel {

// One recording in the daily log: six texts written as one line, plus the start date that
// chooses the day's file. Every field keeps the capacity the log has always had (counting a
// terminating zero): a longer text is cut at a character boundary, never refused.
//
// Thread contract: a value type; any thread, one at a time.
class LogRecord {
public:
    static constexpr std::size_t kFileNameCapacity = 256;
    static constexpr std::size_t kFolderCapacity = 256;
    static constexpr std::size_t kDateCapacity = 19;
    static constexpr std::size_t kStartTimeCapacity = 19;
    static constexpr std::size_t kDurationCapacity = 50;
    static constexpr std::size_t kRecordingLineCapacity = 255;
    static constexpr std::size_t kBackgroundFileCapacity = 255;

    const std::string& fileName() const { return m_fileName; }    // without folder
    const std::string& folder() const { return m_folder; }        // ending in "/"
    const std::string& date() const { return m_date; }            // "20061206"; not in the line
    const std::string& startTime() const { return m_startTime; }  // "14:02:11"
    const std::string& duration() const { return m_duration; }    // "3:05"
    const std::string& recordingLine() const { return m_recordingLine; }    // "2 - Line In"
    const std::string& backgroundFile() const { return m_backgroundFile; }  // empty when none

    void setFileName(std::string_view value);
    void setFolder(std::string_view value);
    void setDate(std::string_view value);
    void setStartTime(std::string_view value);
    void setDuration(std::string_view value);
    void setRecordingLine(std::string_view value);
    void setBackgroundFile(std::string_view value);

    void clear() { *this = LogRecord(); }

    // The log line without its line end: the six fields, each followed by a comma. Fields are
    // not quoted: a comma inside one shifts the fields when the line is read back.
    std::string line() const;

    bool operator==(const LogRecord&) const = default;

private:
    std::string m_fileName;
    std::string m_folder;
    std::string m_date;
    std::string m_startTime;
    std::string m_duration;
    std::string m_recordingLine;
    std::string m_backgroundFile;
};

}  // namespace orvel
