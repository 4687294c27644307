#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "audio/BackgroundMix.h"
#include "audio/BlockRing.h"
#include "audio/CompletedFile.h"
#include "audio/OutputFile.h"

namespace orvel {

class CaptureAssembler;

// The writing side of a capture run: its files, the ring between the owner thread and the
// writer thread, the writer thread that drains the ring into the files in the output's chunks
// (mixing background music in), and the finaliser thread that completes the last file.
//
// The owner queues blocks (write) into the newest file: into the ring, or without a ring (short
// blocks) straight into the file. A split ends the newest file at what the ring took until then;
// the writer writes it up to there, a partial chunk if need be, completes it and hands it over
// (Hooks::fileDone). The next file is opened (Hooks::openFile) when its first block is queued and
// added before that block reaches the ring, so the writer always has a file for what it takes
// and no block falls between two files. A failed write or a next file that cannot be opened
// ends the writing (Hooks::writeFailed); the files before are completed all the same.
//
// drain() lets the finaliser go on: the writer writes the ring to its last byte, then the
// finaliser completes the files left (the last one, and after a failure those the writer did
// not reach) and reports the end (Hooks::finished). After join() the outcome can be read.
//
// Thread contract: every public method on the owner thread; the hooks are called on the thread
// named with each. The writer thread and the finaliser are the object's own.
class CaptureWriter {
public:
    struct Hooks {
        // Opens the file of a split (owner thread); nullptr with why when it cannot be opened.
        std::function<std::unique_ptr<OutputFile>(const std::string& path, std::string& why)>
            openFile;
        // A file ended by a split is complete (writer or finaliser thread), as `report` says;
        // the hook owns it.
        std::function<void(std::unique_ptr<OutputFile> file, CompletedFile report)> fileDone;
        // Writing failed (the thread that failed); writeError() says why.
        std::function<void()> writeFailed;
        // The last file is complete (finaliser thread): join() returns at once.
        std::function<void()> finished;
    };

    struct Setup {
        std::unique_ptr<OutputFile> file;  // the run's first file; none: a run without a file
        std::unique_ptr<BlockRing> ring;   // none: blocks go straight to the file
        // Background music, mixed in by the writer; its ring has the recording's ring's size.
        std::unique_ptr<BlockRing> backgroundRing;
        std::shared_ptr<const BackgroundMix> background;
        int channels = 0;
        std::size_t blockBytes = 0;
        // The last file is removed when no captured sound went into it.
        bool removeEmptyFile = false;
    };

    CaptureWriter(Setup setup, Hooks hooks);
    ~CaptureWriter();  // drains and joins what still runs
    CaptureWriter(const CaptureWriter&) = delete;
    CaptureWriter& operator=(const CaptureWriter&) = delete;

    // The run did not start (before start()): its first file is closed, and removed when the
    // run made it.
    void abandon();
    // The source is running: starts the threads. A source that waits for room is told of the
    // room the writer makes, and the writer does not wait for background music while it waits.
    void start(CaptureAssembler& assembler);
    // Queues a block into the newest file (opening the file of a split first). False when it
    // went nowhere: writing failed, or the next file could not be opened.
    bool write(const std::uint8_t* data, std::size_t bytes);
    // Ends the newest file at what has been queued until now; what comes next goes to `path`,
    // opened with the next block queued. False (nothing changes) without a ring, without a path,
    // or once writing failed.
    bool split(const std::string& path);
    // The path of a file that got its first block since the last call; empty when none did.
    std::string takeStarted();
    // No more blocks come: the writer writes what is queued, then the finaliser completes.
    void drain();
    // Waits for the finaliser (at once after Hooks::finished).
    void join();
    // Frees the rings and the background music once the source no longer looks at the ring.
    void releaseBuffers();

    // Wakes the writer: the background ring changed, or a source waits for room.
    void ringDoorbell();
    bool mixesBackground() const { return m_backgroundRing != nullptr; }
    // Queues background music; returns the bytes queued (the rest is dropped and counted).
    std::size_t queueBackground(const std::uint8_t* data, std::size_t bytes);
    void endBackground();
    bool backgroundEnded() const { return m_backgroundEnded; }
    std::uint64_t backgroundSilenceBytes() const { return m_backgroundSilence; }

    // Bytes delivered to the newest file (0 while a split waits for its sound); after join(),
    // to the last file.
    std::uint64_t bytesWritten() const;
    // Bytes the ring could not take.
    std::uint64_t ringDropped() const { return m_ring ? m_ring->droppedBytes() : 0; }
    bool writeFailed() const { return m_writeFailed; }
    std::string writeError() const;

    // After join(): whether every file was written and completed, and why not.
    bool ok() const { return m_finishOk && !m_writeFailed; }
    std::string error() const;
    // After join(): what to report of the run's end: the last file, or the path of a split whose
    // sound never came (never opened); nothing for a run without a file.
    std::optional<CompletedFile> lastFile() const;

private:
    bool openSplitFile();
    void fail(const std::string& message);
    bool chunkReady(std::size_t chunkBytes) const;
    void mixBackground(const std::uint8_t* recording, std::size_t bytes, std::uint8_t* background,
                       std::uint8_t* out);
    void writerLoop();
    void endFile(std::unique_ptr<OutputFile> file);
    void finaliserLoop();

    Hooks m_hooks;
    CaptureAssembler* m_assembler = nullptr;
    std::unique_ptr<BlockRing> m_ring;
    std::unique_ptr<BlockRing> m_backgroundRing;
    std::shared_ptr<const BackgroundMix> m_background;
    int m_channels = 0;
    // How little free space the recording's ring may have before the writer stops waiting for
    // the background.
    std::size_t m_backgroundPatience = 0;
    std::atomic<bool> m_backgroundEnded{false};
    std::atomic<std::uint64_t> m_backgroundSilence{0};
    bool m_removeEmptyFile = false;

    // The files not yet completed, oldest first (under m_mutex): the writer writes into the front
    // one. The owner queues into the newest, or, while a split waits for its sound, into none;
    // m_ringOffset counts what the ring took, where a split ends a file.
    std::deque<std::unique_ptr<OutputFile>> m_files;
    OutputFile* m_newest = nullptr;
    std::string m_splitPath;
    std::uint64_t m_ringOffset = 0;
    std::string m_started;

    // The doorbell wakes the writer on appends, at a split and at the drain.
    std::thread m_writer;
    std::thread m_finaliser;
    mutable std::mutex m_mutex;
    std::condition_variable m_doorbell;
    bool m_drain = false;      // under m_mutex: no more appends, write what is left
    bool m_stopEvent = false;  // under m_mutex: the finaliser may proceed
    std::atomic<bool> m_writeFailed{false};
    std::string m_writeError;  // under m_mutex, set before m_writeFailed

    // The finaliser's outcome, read after join().
    bool m_joined = false;
    bool m_finishOk = true;
    std::string m_finishError;
    std::unique_ptr<OutputFile> m_lastFile;
    CompletedFile m_lastResult;
    std::uint64_t m_lastBytesWritten = 0;
};

}  // namespace orvel
