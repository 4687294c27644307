#pragma once

#include <cstddef>
#include <string>

namespace orvel {

// The file a recording is written into, opened so that the recorder can never hang on it and
// every failure keeps its cause.
//
// create() makes a new file, or truncates what is at the path, for writing from its start. It
// never waits: a FIFO without a reader is refused at once (ENXIO) rather than blocking until one
// comes. The system's error code is taken at the call that failed, before anything else (a log
// line, another library call) can overwrite errno.
//
// Thread contract: not shared; one thread at a time.
class RecordingFile {
public:
    RecordingFile() = default;
    ~RecordingFile();  // closes the file when it is still held
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    // False with errorCode() set when the file cannot be opened. A file still held is closed
    // first.
    bool create(const std::string& path);
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // The file did not exist before create() made it.
    bool created() const { return m_created; }
    // The errno of the last failure, 0 when there was none.
    int errorCode() const { return m_error; }

    // Sets the file's first `bytes` aside on the disk, so that a full disk refuses a recording
    // at its start even when nothing is written then. False with errorCode() set only when the
    // disk has no room (ENOSPC, EDQUOT); a file system that cannot set space aside counts as
    // room.
    bool reserve(std::size_t bytes);

    // Hands the descriptor to another owner (a stdio stream), which closes it.
    int release();
    // Closes the file; false with errorCode() set when the close reported a failure (data that
    // never reached the disk).
    bool close();

    // The system's text for an error code ("No space left on device").
    static std::string errorText(int code);

private:
    int m_fd = -1;
    bool m_created = false;
    int m_error = 0;
};

}  // namespace orvel
