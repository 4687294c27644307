#include "audio/OutputFile.h"

#include <sys/stat.h>
#include <unistd.h>

namespace orvel {

OutputFile::OutputFile(std::unique_ptr<AudioOutput> output, std::string path, bool created,
                       FileLock lock)
    : m_output(std::move(output)),
      m_path(std::move(path)),
      m_lock(std::move(lock)),
      m_created(created) {
    struct stat made {};
    if (::stat(m_path.c_str(), &made) == 0) {
        m_haveIdentity = true;
        m_device = made.st_dev;
        m_inode = made.st_ino;
    }
}

bool OutputFile::finish(std::string* error) {
    bool ok = m_output->finish();
    if (!ok) {
        *error = m_output->lastError();
    }
    // A recording whose file was deleted or replaced under it went nowhere: that is no success,
    // whatever the writes said.
    if (m_haveIdentity) {
        struct stat now {};
        if (::stat(m_path.c_str(), &now) != 0) {
            *error = "\"" + m_path +
                     "\" was deleted or moved away while it was being recorded; the recording is "
                     "lost";
            ok = false;
        } else if (now.st_dev != m_device || now.st_ino != m_inode) {
            *error = "\"" + m_path +
                     "\" was replaced by another file while it was being recorded; the recording "
                     "is lost";
            ok = false;
        }
    }
    return ok;
}

void OutputFile::remove(bool onlyCreated) {
    struct stat now {};
    if ((m_created || !onlyCreated) && ::lstat(m_path.c_str(), &now) == 0 && S_ISREG(now.st_mode) &&
        (m_haveIdentity ? now.st_dev == m_device && now.st_ino == m_inode : m_created)) {
        ::unlink(m_path.c_str());
    }
}

void OutputFile::removeLeftover(const std::string& path, bool existedBefore) {
    struct stat now {};
    if (!existedBefore && ::lstat(path.c_str(), &now) == 0 && S_ISREG(now.st_mode)) {
        ::unlink(path.c_str());
    }
}

}  // namespace orvel
