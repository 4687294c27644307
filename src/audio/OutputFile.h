#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/AudioOutput.h"
#include "audio/FileLock.h"

namespace orvel {

// One file a capture run writes into: its output, whether the run made the file, and which file
// it is (device and inode when it was opened), so that its end can tell whether the path still
// names it. A run writes into one file after another when it is split: each file knows where in
// the run's byte stream its share ends.
//
// Thread contract: made on the owner thread, then used by one thread at a time as the engine
// hands it over (owner, writer, finaliser); markSound, hasSound, setEnd and end on any thread.
class OutputFile {
public:
    // No end set yet: the file takes everything that comes.
    static constexpr std::uint64_t kOpenEnd = UINT64_MAX;

    // `created`: nothing was at the path before the output opened it. `lock` holds the claim on
    // the file, until unlock() once it is complete.
    OutputFile(std::unique_ptr<AudioOutput> output, std::string path, bool created,
               FileLock lock = {});

    AudioOutput& output() { return *m_output; }
    const AudioOutput& output() const { return *m_output; }
    const std::string& path() const { return m_path; }

    // Captured sound went into the file.
    void markSound() { m_sound = true; }
    bool hasSound() const { return m_sound; }

    // The run's bytes from this offset on belong to the next file.
    void setEnd(std::uint64_t offset) { m_end = offset; }
    std::uint64_t end() const { return m_end; }

    // Completes the file (once). False, with why, when completing failed or the path no longer
    // names this file (deleted, moved away or replaced while it was recorded).
    bool finish(std::string* error);
    // Removes the file while the path still names it. `onlyCreated`: only when the run made it
    // (a start that failed); never what was there before, a device, or another's file.
    void remove(bool onlyCreated);
    // The file is complete (and removed, if it is to be): other recordings may have it.
    void unlock() { m_lock.release(); }
    // An output that could not be opened may still have created its file: removes a regular
    // file at the path when nothing was there before the attempt.
    static void removeLeftover(const std::string& path, bool existedBefore);

private:
    std::unique_ptr<AudioOutput> m_output;
    std::string m_path;
    FileLock m_lock;
    bool m_created;
    bool m_haveIdentity = false;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    std::atomic<bool> m_sound{false};
    std::atomic<std::uint64_t> m_end{kOpenEnd};
};

}  // namespace orvel
