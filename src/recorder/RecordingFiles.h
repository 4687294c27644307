#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "archive/RecordingLog.h"

namespace orvel {

// The files of a recording and their log records: the file being recorded, and the files handed
// to the engine to be completed (stopped, or split off by the track splitter while the recording
// goes on) until the engine reports each one complete. A record begins when its file is asked
// for and is dated by the file's first sound, so that a file armed long before its sound (a
// schedule window, the splitter's next track) is logged from when it began to record.
//
// Thread contract: called on the GUI thread.
class RecordingFiles {
public:
    struct Handed {
        std::string path;  // as the engine was given it
        LogRecord record;
        bool sound = false;        // the engine reported its first sound
        bool keepMessage = false;  // an error about it is on the info line already
        std::string endedMode;     // the message key of the mode its stop ended; empty: none
    };

    RecordingFiles(std::string installFolder, RecordingLog::Clock clock);

    // A recording starts into `path`. The log names the file with its folder, even when the path
    // is relative to the working folder; lineIndex, lineName and the background as for the log.
    void begin(const std::string& path, int lineIndex, std::string_view lineName, bool backgroundOn,
               std::string_view backgroundFile);
    // The recording goes on into `path`: the file being recorded is handed over.
    void next(const std::string& path);
    // The recording stops: its file is handed over.
    void stop(bool keepMessage, std::string_view endedMode);

    // The first captured sound reached `path` (the file being recorded, or one handed over).
    void soundStarted(const std::string& path);
    // Whether sound reached the file being recorded.
    bool sound() const { return m_sound; }

    // The engine has completed `path`: the oldest file handed over under that path.
    std::optional<Handed> completed(const std::string& path);
    // Any file still handed over (the engine ended without reporting it), oldest first.
    std::optional<Handed> takeOldest();
    bool waiting() const { return !m_handed.empty(); }
    const std::string& oldestPath() const { return m_handed.front().path; }

    // Appends the file's log line with its duration; whether it was written.
    bool log(Handed& file, std::int64_t durationMs) const {
        return m_log.write(file.record, durationMs);
    }

private:
    static std::string absolute(const std::string& path);
    void handOver(bool keepMessage, std::string_view endedMode);

    RecordingLog m_log;
    std::string m_path;
    bool m_sound = false;
    std::deque<Handed> m_handed;
};

}  // namespace orvel
