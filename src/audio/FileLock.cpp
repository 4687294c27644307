#include "audio/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace orvel {

namespace {

// Opening for reading never waits (O_NONBLOCK: a FIFO put there since the check) and never
// changes the file.
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;

bool isRegular(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

FileLock::~FileLock() {
    release();
}

FileLock::FileLock(FileLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_created(other.m_created) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
        m_created = other.m_created;
    }
    return *this;
}

FileLock::Result FileLock::acquire(const std::string& path) {
    release();
    m_created = false;
    struct stat before {};
    if (::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
        return Result::NotLockable;
    }
    int fd = ::open(path.c_str(), kOpenFlags | O_CREAT | O_EXCL, 0666);
    m_created = fd >= 0;
    if (fd < 0 && errno == EEXIST) {
        fd = ::open(path.c_str(), kOpenFlags);
        if (fd < 0 && errno == EACCES) {
            // A file that may be written but not read: opening it for writing without
            // O_TRUNC leaves it as it is.
            fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        }
    }
    if (fd < 0) {
        return Result::NotLockable;
    }
    struct stat locked {};
    if (::fstat(fd, &locked) != 0 || !S_ISREG(locked.st_mode)) {
        ::close(fd);
        return Result::NotLockable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        // A file system without locks (ENOLCK, EOPNOTSUPP) records as before, unguarded.
        return error == EWOULDBLOCK ? Result::InUse : Result::NotLockable;
    }
    m_fd = fd;
    return Result::Locked;
}

void FileLock::release() {
    if (m_fd >= 0) {
        ::close(m_fd);  // drops the lock
        m_fd = -1;
    }
}

bool FileLock::inUse(const std::string& path) {
    const int fd = ::open(path.c_str(), kOpenFlags);
    if (fd < 0) {
        return false;
    }
    // A shared lock is refused only while a recording holds its exclusive one.
    bool held = false;
    if (isRegular(fd)) {
        held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    }
    ::close(fd);
    return held;
}

}  // namespace orvel
