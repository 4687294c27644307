#pragma once

#include <string>

#include "encoders/TagRecord.h"

namespace orvel {

// One edit of an existing recording's tag as the tag windows make it (MP3: the ID3v1 tag; any
// other file: its WMA attributes). The file's texts are read whole; on confirmation only the
// fields the user changed are written, so a field left alone (a long description, a genre
// none of the lists knows) stays in the file exactly as it was.
//
// The file being recorded is refused: its tag is written when its recording ends, and editing
// it meanwhile would race the writer.
//
// Thread contract: self-contained calls, any thread (the tag windows call it on the GUI thread).
class TagEdit {
public:
    enum class Status {
        Ready,
        BeingRecorded,  // the file is the running recording's
        Unreadable,     // not a readable file, or (WMA) not one whose attributes can be read
    };

    struct Result {
        bool ok = false;       // false: the file could not be written, nothing may have changed
        unsigned written = 0;  // TagRecord::Field bits written; 0 when nothing had changed
        TagRecord record;      // the file's tag as read back after writing (texts whole)
    };

    // `recordingPath` is the file the running recording writes; empty when nothing records.
    TagEdit(std::string path, const std::string& recordingPath);

    const std::string& path() const { return m_path; }
    Status status() const { return m_status; }
    // The tag as read, texts whole; empty texts (and, for MP3, genre 255) for a file without.
    const TagRecord& original() const { return m_original; }

    // Writes the fields in which `edited` differs from the original.
    Result write(const TagRecord& edited) const;

    // Whether two paths name the same file: their canonical forms (through links and "..")
    // when both exist, else their cleaned absolute forms. An empty path names no file.
    static bool sameFile(const std::string& a, const std::string& b);

private:
    std::string m_path;
    bool m_mp3 = false;
    Status m_status = Status::Unreadable;
    TagRecord m_original;
};

}  // namespace orvel
