#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioFormat.h"
#include "audio/AudioOutput.h"
#include "audio/BackgroundMix.h"
#include "audio/BlockProcessor.h"
#include "audio/CaptureAssembler.h"
#include "audio/CaptureSource.h"
#include "audio/CaptureWriter.h"
#include "audio/CompletedFile.h"
#include "audio/OutputFile.h"
#include "audio/ProcessingSettings.h"
#include "audio/StartResult.h"
#include "config/FormatTables.h"

namespace orvel {

// Why an output could not be opened: the system's error code (errno) taken at the call that
// failed, before anything else could overwrite it (0 when the cause is not a system error), and
// a plain text.
struct OutputError {
    int code = 0;
    std::string text;

    bool empty() const { return code == 0 && text.empty(); }
};

// What an output factory is asked to open for a run.
struct OutputRequest {
    std::string fileName;
    OutputFormat format = OutputFormat::Wav;
    AudioFormat audio;
    int blockBytes = 0;            // the run's block size; WAV and WMA take two blocks per chunk
    OutputError* error = nullptr;  // when given, receives why the output was refused
};

// Opens the output of a run; on failure returns nullptr and sets `result` (FileError,
// MemError, Mp3Support, WmaError...). The WAV output is built in; the encoders add theirs.
using OutputFactory =
    std::function<std::unique_ptr<AudioOutput>(const OutputRequest&, StartResult& result)>;

// The run's fixed choices, given to start().
struct CaptureOptions {
    AudioFormat format;
    std::string fileName;  // empty: no file, levels only
    OutputFormat outputFormat = OutputFormat::Wav;
    bool shortBlocks = false;  // 2000-byte blocks written straight to a WAV file, no writer
    bool monitor = false;      // hear the recording
    std::size_t ringCapacity = 80000;
    // Background music for a 16-bit recording into a file (ignored otherwise: 8-bit recordings
    // and runs without a file take none). The ring capacity is then shared equally by the
    // recording's ring and the background's.
    std::shared_ptr<const BackgroundMix> background;
    // The run's last file is removed when no captured sound went into it: a file armed for sound
    // that never came (signal or schedule mode) is no recording, only a header.
    bool removeEmptyFile = false;
};

// The capture engine: one run at a time turns a CaptureSource into a file.
//
// Blocks of exactly the run's block size (100 ms of audio, or 2000 bytes in short-block mode)
// are assembled on the source's thread and handed to the owner thread through a BlockQueue:
// full blocks wait there, in order, for as long as the owner thread is busy or the source
// delivers in bursts. The queue holds the run's memory budget (the ring capacity) and never
// less than 10 s of audio; only when it is full are captured bytes dropped, and counted. The
// owner thread is woken through its Qt event loop and hands the blocks, in order, to the
// BlockProcessor: each is measured (signal detection and levels), gated and filtered, and
// queued unless paused or waiting for a signal, in which case it may be held and written ahead
// of the next passage (see BlockProcessor). Queued blocks go to the CaptureWriter: its writer
// thread drains the ring in the output's chunks; its finaliser thread waits for the stop, lets
// the writer drain the ring to the last byte, completes the file and checks that it is still
// the file at its path. The file is locked (FileLock) from before it is opened until it is
// complete: a second recording to it, from this program or another, is refused with FileInUse.
//
// Life cycle: Idle -> Running -> (stop) Stopping -> Idle (file complete, finished() emitted).
// Pause is a flag of the running state: detection goes on, nothing is queued.
//
// A run may be split into files without stopping the capture (splitFile): the bytes queued up to
// the split belong to the file being written, which the writer completes once it has written them
// and reports (fileCompleted); the next file is opened on the owner thread when the first block
// after the split is queued (the onset), so no captured block falls between two files and a split
// that never hears sound leaves no file. Opening it may fail (a full disk): the run then ends as a
// failed write does, the files before it complete.
//
// Thread contract: every public method is called on the owner thread (the thread the engine
// lives in, which must run a Qt event loop); signals are emitted on it.
class CaptureEngine : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Running, Stopping };

    using Levels = BlockLevels;
    using Clock = BlockProcessor::Clock;

    explicit CaptureEngine(QObject* parent = nullptr);
    ~CaptureEngine() override;  // stops a run and waits for its file to be complete

    // The outputs other than WAV (MP3, WMA) come from the encoders through this factory.
    void setOutputFactory(OutputFactory factory);
    // The clock of the signal flag's silence delay and the noise gate (tests, the recorder's
    // controller); an empty one gives the engine its own steady clock back.
    void setClock(Clock clock);

    // Starts a run recording from `source`. On failure nothing runs and the source is dropped.
    StartResult start(std::unique_ptr<CaptureSource> source, const CaptureOptions& options);
    // Requests the end of the run: everything captured until now is written, then the file is
    // completed on the finaliser thread and finished() is emitted. Returns at once.
    void stop();
    // Ends the file being written at what has been queued until now; what comes after goes to
    // `path`, opened with the next queued block. A split before that block only changes the path.
    // False (nothing changes) when no run writes a file, or its blocks go straight to the file.
    bool splitFile(const std::string& path);
    // Runs the owner's event loop until the run is over, at most `timeout`. True when Idle.
    bool waitUntilIdle(std::chrono::milliseconds timeout);

    // Pauses or resumes as the user's pause does: a resume discards whatever was held while
    // paused (the onset and the pre-roll).
    void setPaused(bool paused);
    bool isPaused() const { return m_processor.isPaused(); }
    // Resumes a pause because the signal came back: first writes the pre-roll and the held
    // onset, oldest first, then goes on with the next block. Does nothing unless paused.
    void resumeFromSignal();
    // While paused: a strong block arrived since the pause and is held for resumeFromSignal().
    bool onsetHeld() const { return m_processor.onsetHeld(); }
    // The running run queues at most this many bytes in all (cut to whole frames; 0: no limit),
    // so that a timed recording has exactly its length whatever the block size. Every start
    // clears it.
    void setLengthLimit(std::uint64_t bytes);
    // Why the last start() was refused: what the output or the source said, with the system's
    // error code when there was one. Empty after a start that succeeded.
    const OutputError& startError() const { return m_startError; }
    void setMonitor(bool on);
    void setProcessing(const ProcessingSettings& settings);

    State state() const { return m_state; }
    bool isRunning() const { return m_state != State::Idle; }
    bool signalPresent() const { return m_processor.signalPresent(); }
    Levels levels() const { return m_processor.levels(); }
    // The last handled block (after detection, before gate and filters); empty when none.
    const std::vector<std::uint8_t>& latestBlock() const { return m_processor.latestBlock(); }
    std::size_t blockBytes() const { return m_blockBytes; }
    const AudioFormat& format() const { return m_options.format; }

    // Bytes delivered to the file being written (the last file once the run is over; 0 while a
    // split waits for its sound).
    std::uint64_t bytesWritten() const;
    // Bytes captured and handed to the ring or file (neither gated nor paused away).
    std::uint64_t bytesQueued() const { return m_processor.bytesQueued(); }
    // Captured bytes lost because a stage could not keep up: a full hand-over queue (the owner
    // thread more than the budget behind), a full ring. Counted, never silent.
    std::uint64_t droppedBytes() const;

    // Background music (see BackgroundMix). The writer mixes a chunk when the background ring
    // holds as much as the recording's; it does not wait for the background once it has ended,
    // nor when the recording's ring is close to overflowing (or a source that is not live waits
    // for room): then the chunk is mixed with what background there is and silence for the
    // rest. Nothing of the recording is lost for it.
    //
    // Whether this run mixes background music.
    bool mixesBackground() const { return m_writer && m_writer->mixesBackground(); }
    // Queues decoded background music in the run's format; returns the bytes queued (what does
    // not fit is dropped and counted). Nothing is queued once the run is stopping or the
    // background has ended.
    std::size_t queueBackground(const std::uint8_t* data, std::size_t bytes);
    // No more background comes: what is queued is mixed in, then silence.
    void endBackground();
    bool backgroundEnded() const { return m_writer && m_writer->backgroundEnded(); }
    // Recording bytes mixed against silence because no background was there for them.
    std::uint64_t backgroundSilenceBytes() const {
        return m_writer ? m_writer->backgroundSilenceBytes() : 0;
    }

    // The block size of a run: 2000 bytes in short-block mode, else 100 ms of audio rounded
    // down to whole frames.
    static std::size_t blockSizeFor(const AudioFormat& format, bool shortBlocks);

    // The hand-over queue never holds less than this much audio, whatever the budget.
    static constexpr int kMinHandOverSeconds = 10;
    // How long a held onset may grow while the pause is not lifted.
    static constexpr int kOnsetHoldMs = BlockProcessor::kOnsetHoldMs;

signals:
    // A block was handled (levels and signal flag are fresh).
    void blockHandled();
    // The source stopped by itself (line or server lost); the run is being stopped.
    void captureEnded(orvel::CaptureEnd reason, QString detail);
    // Writing failed (disk full...); the run is being stopped and the file left valid.
    void writeFailed(QString message);
    // The first captured block went into the file at `path`.
    void fileStarted(QString path);
    // A file of the run is complete: once for every file the run was asked to write, a file ended
    // by a split as soon as the writer has completed it, the last one just before finished().
    void fileCompleted(const orvel::CompletedFile& file);
    // Captured sound was dropped: droppedBytes() grew to `totalBytes` in this run. Told at most
    // once a second while it goes on, and with the last count when the run stops.
    void soundDropped(quint64 totalBytes);
    // The run is over and its file complete (or not: ok false, with a reason, when it failed to
    // complete or is no longer the file at its path, deleted or replaced while recording).
    void finished(bool ok, QString error);

protected:
    bool event(QEvent* event) override;

private:
    struct Run;

    StartResult prepareOutput(Run& run);
    StartResult prepareBuffers(Run& run);
    StartResult startSource(Run& run, CaptureSource& source);
    void commit(Run& run, std::unique_ptr<CaptureSource> source);
    CaptureWriter::Hooks writerHooks(std::uint64_t runId);
    // Opens a file of the run: claims it first (FileInUse, with `error` saying so, while another
    // recording holds it), then asks the output factory. On failure a file made for nothing is
    // removed and the claim given up.
    std::unique_ptr<OutputFile> openFile(const std::string& path, const CaptureOptions& run,
                                         std::size_t blockBytes, StartResult& result,
                                         OutputError* error);
    void handleFilledBlocks(std::size_t atMost);
    void announce();
    void reportDrops(bool final = false);
    void onRunFinished();

    OutputFactory m_outputFactory;

    State m_state = State::Idle;
    CaptureOptions m_options;
    std::size_t m_blockBytes = 0;
    OutputError m_startError;
    std::uint64_t m_runId = 0;
    std::uint64_t m_lastRunDropped = 0;
    std::uint64_t m_reportedDrops = 0;
    std::chrono::steady_clock::time_point m_lastDropReport;

    BlockProcessor m_processor;
    std::unique_ptr<CaptureSource> m_source;
    std::unique_ptr<CaptureAssembler> m_assembler;
    // The run's writing; kept once the run is over, with its last file, until the next start.
    std::unique_ptr<CaptureWriter> m_writer;

    static std::atomic<bool> s_runActive;
};

}  // namespace orvel

Q_DECLARE_METATYPE(orvel::CaptureEnd)
