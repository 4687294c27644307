// Feeds arbitrary bytes to the recording log's day reader: it must never crash, and every record
// it returns must keep the log's field capacities. The same bytes as a file name of the log
// folder: the history takes only a real month and day out of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "archive/HistoryTree.h"
#include "archive/RecordingLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using orvel::LogRecord;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const LogRecord& record : orvel::RecordingLog::parseDay(bytes)) {
        if (record.fileName().size() >= LogRecord::kFileNameCapacity ||
            record.folder().size() >= LogRecord::kFolderCapacity ||
            record.startTime().size() >= LogRecord::kStartTimeCapacity ||
            record.duration().size() >= LogRecord::kDurationCapacity ||
            record.recordingLine().size() >= LogRecord::kRecordingLineCapacity ||
            record.backgroundFile().size() >= LogRecord::kBackgroundFileCapacity ||
            !record.date().empty()) {
            std::abort();
        }
        // A field never holds a line end: it would have ended the line.
        if (record.line().find_first_of("\r\n") != std::string::npos) {
            std::abort();
        }
    }
    if (const auto day = orvel::HistoryTree::parseDayFileName(bytes)) {
        if (day->month < 1 || day->month > 12 || day->day < 1 || day->day > 31 ||
            orvel::HistoryTree::monthName(day->month).empty()) {
            std::abort();
        }
    }
    return 0;
}
