#pragma once

#include <QDateTime>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/LogRecord.h"

namespace orvel {

// The daily log of recordings: one text file per day, <install folder>/Log/<year>/<date>.txt,
// one line per finished recording. The front face begins a record when a recording starts and
// writes it when the recording stops; the history browser reads a day back.
//
// Lines are written with a plain LF end. The reader ends lines at CR or LF, so it reads files
// written with CR LF line ends (as another platform's text mode writes them) the same way.
//
// Thread contract: called on the GUI thread; readDay and parseDay on any thread.
class RecordingLog {
public:
    // Local date and time now; injectable for tests.
    using Clock = std::function<QDateTime()>;

    // The longest line the reader keeps, in bytes; the rest of a longer line is dropped.
    static constexpr std::size_t kMaxLineLength = 2047;

    // installFolder is the effective installation folder (no trailing "/"). An empty or
    // relative folder makes every write fail quietly: the log lives only at an absolute place.
    explicit RecordingLog(std::string installFolder, Clock clock = {});

    // A recording has started. fieldText is the file-name field (cut to 255 bytes; split into
    // folder and file name at its last "/", both empty without one); lineIndex and lineName
    // name the recording line ("Unknown" when the name is empty; a trailing "__" marker is
    // dropped); backgroundFile is logged only when background music is on.
    void begin(std::string_view fieldText, int lineIndex, std::string_view lineName,
               bool backgroundOn, std::string_view backgroundFile);

    // The recording goes on into another file (the track splitter's next track): the record
    // takes that file's name (fieldText as for begin) and now as its start, and keeps its line
    // and background music.
    void beginNext(std::string_view fieldText);
    // The first sound reached the record's file: its date and start time become now, so that a
    // file armed long before its sound (a schedule window) is logged from when it began to
    // record.
    void stampStart(LogRecord& record) const;
    void stampStart() { stampStart(m_record); }

    // The recording has stopped after durationMs: sets the duration and appends the line to
    // the start date's file, creating the log and year folders when missing. Returns whether
    // the line was written; a failure is silent for the recording.
    bool write(std::int64_t durationMs) { return write(m_record, durationMs); }
    // The same for a record begun earlier and kept while the next one was begun.
    bool write(LogRecord& record, std::int64_t durationMs) const;

    const LogRecord& record() const { return m_record; }

    std::string logFolder() const;  // <install folder>/Log
    // The file a record of the given start date ("%04d%02d%02d") goes to.
    std::string dayFile(std::string_view date) const;

    // The records of one day's file in file order (date fields empty); empty when the file
    // cannot be read.
    static std::vector<LogRecord> readDay(const std::string& path);
    // The same from the file's bytes. Lines of 10 bytes or fewer and lines with fewer than
    // six fields are skipped.
    static std::vector<LogRecord> parseDay(std::string_view bytes);

    // Makes sure an absolute folder exists, creating every missing level from the top.
    static bool makeFolder(const std::string& path);

private:
    std::string m_installFolder;
    Clock m_clock;
    LogRecord m_record;
};

}  // namespace orvel
