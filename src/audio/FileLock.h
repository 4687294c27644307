#pragma once

#include <cstdint>
#include <string>

namespace orvel {

// A recording's claim on its file: an advisory lock (flock) on a descriptor of its own, taken
// before anything truncates the file and held until the file is complete. Another recorder
// that asks for the same file is told at once that it is in use, so it never truncates a
// recording in progress; two recorders may still run side by side on different files. The
// kernel drops the lock with the descriptor, so a killed recorder leaves no stale claim.
//
// Only regular files are locked: a FIFO or a device is left to the output, which refuses it or
// writes to it as before; so is a path that cannot be opened at all, whose output then fails
// with the system's own reason.
//
// Thread contract: not shared; one thread at a time. inUse() is self-contained, any thread.
class FileLock {
public:
    enum class Result {
        Locked,       // the file is ours until release()
        InUse,        // another recording holds it: leave it alone
        NotLockable,  // not a regular file, or it cannot be opened or locked here
    };

    FileLock() = default;
    ~FileLock();  // releases the lock
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens `path` (creating it when missing, never truncating it) and locks it without
    // waiting. A lock still held is released first.
    Result acquire(const std::string& path);
    void release();

    bool held() const { return m_fd >= 0; }
    // acquire() made the file: it did not exist before.
    bool created() const { return m_created; }

    // Whether a recording holds `path` now. Takes nothing that could refuse another recorder
    // for longer than the test itself.
    static bool inUse(const std::string& path);

    // What a refused recorder tells the user, after the file's name.
    static constexpr const char* kInUseText = "is being recorded by another Orvel";

private:
    int m_fd = -1;
    bool m_created = false;
};

}  // namespace orvel
