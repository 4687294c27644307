#include "audio/RecordingFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace orvel {

RecordingFile::~RecordingFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool RecordingFile::create(const std::string& path) {
    if (m_fd >= 0) {
        close();
    }
    m_created = false;
    m_error = 0;
    // Without O_NONBLOCK, opening a FIFO for writing waits for a reader, forever if none comes.
    constexpr int kFlags = O_WRONLY | O_CLOEXEC | O_NONBLOCK;
    int fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    if (fd >= 0) {
        m_created = true;
    } else if (errno == EEXIST) {
        fd = ::open(path.c_str(), kFlags | O_CREAT | O_TRUNC, 0666);
    }
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    // Writes then wait for the disk as any file's do.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        m_error = errno;
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

bool RecordingFile::reserve(std::size_t bytes) {
    if (m_fd < 0 || bytes == 0) {
        return true;
    }
    // The space is kept beyond the file's end, which stays where it is.
    if (::fallocate(m_fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0) {
        return true;
    }
    if (errno == ENOSPC || errno == EDQUOT) {
        m_error = errno;
        return false;
    }
    return true;
}

int RecordingFile::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool RecordingFile::close() {
    if (m_fd < 0) {
        return true;
    }
    // Linux releases the descriptor even when close reports an error: never retry it.
    const bool ok = ::close(m_fd) == 0;
    m_fd = -1;
    if (!ok) {
        m_error = errno;
    }
    return ok;
}

std::string RecordingFile::errorText(int code) {
    return std::error_code(code, std::generic_category()).message();
}

}  // namespace orvel
