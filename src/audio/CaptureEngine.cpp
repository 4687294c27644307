#include "audio/CaptureEngine.h"

#include <sys/stat.h>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "audio/BlockQueue.h"
#include "audio/FileLock.h"
#include "audio/WavOutput.h"

Q_LOGGING_CATEGORY(lcCapture, "orvel.capture")

namespace orvel {

std::atomic<bool> CaptureEngine::s_runActive{false};

namespace {

// Blocks are never larger than this; 100 ms of 48 kHz 16-bit stereo is 19200 bytes.
constexpr std::size_t kBlockCapacity = 40000;
constexpr std::size_t kShortBlockBytes = 2000;

const QEvent::Type kBlocksReady = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kSourceEnded = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kWriteFailed = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kRunFinished = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kFileDone = static_cast<QEvent::Type>(QEvent::registerEventType());

// Every event names the run it belongs to, so that a late event of an ended run is ignored.
class RunEvent : public QEvent {
public:
    RunEvent(Type type, std::uint64_t run) : QEvent(type), m_run(run) {}
    std::uint64_t run() const { return m_run; }

private:
    std::uint64_t m_run;
};

class SourceEndedEvent : public RunEvent {
public:
    SourceEndedEvent(std::uint64_t run, CaptureEnd why, std::string what)
        : RunEvent(kSourceEnded, run), reason(why), detail(std::move(what)) {}
    CaptureEnd reason;
    std::string detail;
};

// A file ended by a split and completed by the writer; the event owns it, so that it is
// destroyed on the owner thread once told, or with the event when nobody is left to tell.
class FileDoneEvent : public RunEvent {
public:
    FileDoneEvent(std::uint64_t run, std::unique_ptr<OutputFile> done, CompletedFile what)
        : RunEvent(kFileDone, run), file(std::move(done)), report(std::move(what)) {}
    std::unique_ptr<OutputFile> file;
    CompletedFile report;
};

std::atomic<std::uint64_t> g_runCounter{0};

}  // namespace

// What a start builds, step by step, before the run is committed: given up as a whole when a
// step fails.
struct CaptureEngine::Run {
    CaptureOptions options;
    std::size_t blockBytes = 0;
    std::uint64_t id = 0;
    std::unique_ptr<OutputFile> file;  // until the writer takes it
    std::unique_ptr<CaptureWriter> writer;
    std::unique_ptr<CaptureAssembler> assembler;

    // Gives up a file that was opened: it is closed, and removed when this run made it.
    void abandon() {
        if (writer) {
            writer->abandon();
        }
        if (file) {
            std::string ignored;
            file->finish(&ignored);
            file->remove(true);
            file.reset();
        }
    }
};

CaptureEngine::CaptureEngine(QObject* parent) : QObject(parent) {
    m_outputFactory = [](const OutputRequest& request, StartResult& result) {
        return openWavOutput(request, result);
    };
}

CaptureEngine::~CaptureEngine() {
    if (m_state == State::Idle) {
        return;
    }
    // No event loop to rely on here, and nobody left to tell: finish the run in place.
    blockSignals(true);
    stop();
    onRunFinished();
}

void CaptureEngine::setOutputFactory(OutputFactory factory) {
    m_outputFactory = std::move(factory);
}

void CaptureEngine::setClock(Clock clock) {
    m_processor.setClock(std::move(clock));
}

std::size_t CaptureEngine::blockSizeFor(const AudioFormat& format, bool shortBlocks) {
    if (shortBlocks) {
        return kShortBlockBytes;
    }
    const std::size_t frame = static_cast<std::size_t>(format.blockAlign());
    const std::uint32_t perSecond = format.bytesPerSecond();
    std::size_t bytes = static_cast<std::size_t>(perSecond * 100u / 1000u);
    // A block that ends inside a frame (11025 Hz mono 16-bit: 2205 bytes) would shift every
    // later block by a byte and feed the filters split samples.
    if (frame > 0) {
        bytes -= bytes % frame;
    }
    return std::min(bytes, kBlockCapacity);
}

StartResult CaptureEngine::start(std::unique_ptr<CaptureSource> source,
                                 const CaptureOptions& options) {
    m_startError = {};
    if (m_state != State::Idle || s_runActive.exchange(true)) {
        return StartResult::DeviceUnavailable;
    }
    struct ReleaseRun {
        bool keep = false;
        ~ReleaseRun() {
            if (!keep) {
                s_runActive = false;
            }
        }
    } release;

    if (!source) {
        return StartResult::DeviceUnavailable;
    }
    if (!options.format.isValid()) {
        return StartResult::FormatError;
    }
    Run run;
    run.options = options;
    // Only WAV files take short blocks straight from the owner thread.
    if (run.options.outputFormat != OutputFormat::Wav) {
        run.options.shortBlocks = false;
    }
    run.blockBytes = blockSizeFor(run.options.format, run.options.shortBlocks);

    StartResult result = prepareOutput(run);
    if (result == StartResult::Ok) {
        result = prepareBuffers(run);
    }
    if (result == StartResult::Ok) {
        result = startSource(run, *source);
    }
    if (result != StartResult::Ok) {
        run.abandon();
        return result;
    }
    commit(run, std::move(source));
    release.keep = true;
    return StartResult::Ok;
}

StartResult CaptureEngine::prepareOutput(Run& run) {
    if (run.options.fileName.empty()) {
        return StartResult::Ok;
    }
    StartResult result = StartResult::FileError;
    run.file = openFile(run.options.fileName, run.options, run.blockBytes, result, &m_startError);
    return run.file ? StartResult::Ok : result;
}

StartResult CaptureEngine::prepareBuffers(Run& run) {
    CaptureOptions& options = run.options;
    const bool toFile = run.file != nullptr;
    // Background music needs 16-bit samples and the writer thread that mixes it in.
    if (!toFile || options.shortBlocks || !options.format.is16Bit()) {
        options.background.reset();
    }
    CaptureWriter::Setup setup;
    if (toFile && !options.shortBlocks) {
        const std::size_t share =
            options.background ? options.ringCapacity / 2 : options.ringCapacity;
        const std::size_t capacity = std::max(share, run.file->output().chunkBytes() * 2);
        setup.ring = std::make_unique<BlockRing>(capacity);
        if (options.background) {
            setup.backgroundRing = std::make_unique<BlockRing>(capacity);
        }
        if (!setup.ring->valid() || (setup.backgroundRing && !setup.backgroundRing->valid())) {
            qCWarning(lcCapture) << "no memory for a ring of" << options.ringCapacity << "bytes";
            m_startError = {ENOMEM, "no memory for a buffer of " +
                                        std::to_string(options.ringCapacity) + " bytes"};
            return StartResult::MemError;
        }
    }

    // The hand-over queue holds the run's budget, and never less than a few seconds of audio.
    const std::uint64_t minimum =
        std::uint64_t{options.format.bytesPerSecond()} * kMinHandOverSeconds;
    const std::uint64_t handOver = std::max<std::uint64_t>(options.ringCapacity, minimum);
    const std::size_t slotCount =
        static_cast<std::size_t>((handOver + run.blockBytes - 1) / run.blockBytes);

    run.id = ++g_runCounter;
    BlockRing* ring = setup.ring.get();
    setup.file = std::move(run.file);
    setup.background = options.background;
    setup.channels = options.format.channels;
    setup.blockBytes = run.blockBytes;
    setup.removeEmptyFile = options.removeEmptyFile;
    run.writer = std::make_unique<CaptureWriter>(std::move(setup), writerHooks(run.id));

    CaptureAssembler::Hooks hooks;
    hooks.wakeOwner = [this, id = run.id] {
        QCoreApplication::postEvent(this, new RunEvent(kBlocksReady, id));
    };
    hooks.sourceEnded = [this, id = run.id](CaptureEnd reason, const std::string& detail) {
        QCoreApplication::postEvent(this, new SourceEndedEvent(id, reason, detail));
    };
    // A writer waiting for background music must not wait for a source that waits for it.
    hooks.sourceWaits = [writer = run.writer.get()] { writer->ringDoorbell(); };
    run.assembler = std::make_unique<CaptureAssembler>(
        slotCount, run.blockBytes, options.format.silenceByte(), std::move(hooks));
    const bool held = m_processor.prepare(options.format, run.blockBytes);
    if (!run.assembler->valid() || !held) {
        qCWarning(lcCapture) << "no memory to hand over" << handOver << "bytes of captured sound";
        m_startError = {ENOMEM, "no memory for a buffer of " + std::to_string(handOver) + " bytes"};
        return StartResult::MemError;
    }
    if (ring != nullptr) {
        run.assembler->setRingSpace([ring] { return ring->freeSpace(); });
    }
    return StartResult::Ok;
}

CaptureWriter::Hooks CaptureEngine::writerHooks(std::uint64_t runId) {
    CaptureWriter::Hooks hooks;
    hooks.openFile = [this](const std::string& path, std::string& why) {
        OutputError error;
        StartResult result = StartResult::FileError;
        std::unique_ptr<OutputFile> file = openFile(path, m_options, m_blockBytes, result, &error);
        why = error.text;
        return file;
    };
    hooks.fileDone = [this, runId](std::unique_ptr<OutputFile> file, CompletedFile report) {
        QCoreApplication::postEvent(this,
                                    new FileDoneEvent(runId, std::move(file), std::move(report)));
    };
    hooks.writeFailed = [this, runId] {
        QCoreApplication::postEvent(this, new RunEvent(kWriteFailed, runId));
    };
    hooks.finished = [this, runId] {
        QCoreApplication::postEvent(this, new RunEvent(kRunFinished, runId));
    };
    return hooks;
}

StartResult CaptureEngine::startSource(Run& run, CaptureSource& source) {
    std::string error;
    source.setMonitor(run.options.monitor);
    if (!source.start(run.options.format, run.assembler.get(), &error)) {
        qCWarning(lcCapture) << "capture did not start:" << QString::fromStdString(error);
        m_startError = {0, error};
        return StartResult::DeviceUnavailable;
    }
    return StartResult::Ok;
}

void CaptureEngine::commit(Run& run, std::unique_ptr<CaptureSource> source) {
    const bool toFile = !run.options.fileName.empty();
    m_options = std::move(run.options);
    m_runId = run.id;
    m_blockBytes = run.blockBytes;
    m_source = std::move(source);
    m_assembler = std::move(run.assembler);
    m_writer = std::move(run.writer);
    m_reportedDrops = 0;
    m_lastDropReport = {};
    BlockProcessor::Sink sink;
    if (toFile) {
        sink = [writer = m_writer.get()](const std::uint8_t* data, std::size_t bytes) {
            return writer->write(data, bytes);
        };
    }
    m_processor.begin(std::move(sink));
    m_writer->start(*m_assembler);
    m_state = State::Running;
}

std::unique_ptr<OutputFile> CaptureEngine::openFile(const std::string& path,
                                                    const CaptureOptions& run,
                                                    std::size_t blockBytes, StartResult& result,
                                                    OutputError* error) {
    struct stat before {};
    const bool existed = ::lstat(path.c_str(), &before) == 0;
    // The claim comes before the output opens the file, which truncates it: a recording in
    // progress elsewhere is refused here, never overwritten.
    FileLock lock;
    const FileLock::Result claim = lock.acquire(path);
    if (claim == FileLock::Result::InUse) {
        const std::string why = "\"" + path + "\" " + FileLock::kInUseText;
        qCWarning(lcCapture) << why.c_str();
        if (error != nullptr) {
            *error = {0, why};
        }
        result = StartResult::FileInUse;
        return nullptr;
    }
    const bool created = claim == FileLock::Result::Locked ? lock.created() : !existed;
    result = StartResult::FileError;
    OutputRequest request{path, run.outputFormat, run.format, static_cast<int>(blockBytes), error};
    std::unique_ptr<AudioOutput> output =
        m_outputFactory ? m_outputFactory(request, result) : nullptr;
    if (!output) {
        OutputFile::removeLeftover(path, !created);
        if (result == StartResult::Ok) {
            result = StartResult::FileError;
        }
        return nullptr;
    }
    result = StartResult::Ok;
    return std::make_unique<OutputFile>(std::move(output), path, created, std::move(lock));
}

void CaptureEngine::stop() {
    if (m_state != State::Running) {
        return;
    }
    m_state = State::Stopping;
    m_processor.stopHolding();
    // Everything the source captured up to now is delivered by its stop(); then the partly
    // filled block and every block not yet handled go to the file, in order.
    m_source->stop();
    m_assembler->close();
    m_assembler->publishPartial();
    handleFilledBlocks(SIZE_MAX);
    reportDrops(true);
    m_writer->drain();
}

bool CaptureEngine::splitFile(const std::string& path) {
    return m_state == State::Running && m_writer->split(path);
}

void CaptureEngine::announce() {
    if (m_writer) {
        const std::string path = m_writer->takeStarted();
        if (!path.empty()) {
            emit fileStarted(QString::fromStdString(path));
        }
    }
}

void CaptureEngine::reportDrops(bool final) {
    // While sound keeps being dropped it is told once a second, not with every block.
    const std::uint64_t dropped = droppedBytes();
    const auto now = std::chrono::steady_clock::now();
    if (dropped > m_reportedDrops && (final || now - m_lastDropReport >= std::chrono::seconds(1))) {
        m_reportedDrops = dropped;
        m_lastDropReport = now;
        emit soundDropped(dropped);
    }
}

bool CaptureEngine::waitUntilIdle(std::chrono::milliseconds timeout) {
    if (m_state == State::Idle) {
        return true;
    }
    // A nested loop that sleeps until the run's end is reported (or the time is up), rather
    // than spinning over processEvents while the writer works.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &CaptureEngine::finished, &loop, &QEventLoop::quit);
    timer.start(timeout);
    loop.exec();
    return m_state == State::Idle;
}

void CaptureEngine::setPaused(bool paused) {
    m_processor.setPaused(paused);
}

void CaptureEngine::resumeFromSignal() {
    if (m_processor.resumeFromSignal() && m_state == State::Running) {
        announce();
    }
}

void CaptureEngine::setLengthLimit(std::uint64_t bytes) {
    m_processor.setLengthLimit(bytes);
}

void CaptureEngine::setMonitor(bool on) {
    m_options.monitor = on;
    if (m_source && m_state == State::Running) {
        m_source->setMonitor(on);
    }
}

void CaptureEngine::setProcessing(const ProcessingSettings& settings) {
    m_processor.setSettings(settings);
}

std::uint64_t CaptureEngine::bytesWritten() const {
    return m_writer ? m_writer->bytesWritten() : 0;
}

std::size_t CaptureEngine::queueBackground(const std::uint8_t* data, std::size_t bytes) {
    if (!m_writer || m_state != State::Running) {
        return 0;
    }
    return m_writer->queueBackground(data, bytes);
}

void CaptureEngine::endBackground() {
    if (m_writer) {
        m_writer->endBackground();
    }
}

std::uint64_t CaptureEngine::droppedBytes() const {
    if (!m_assembler) {
        return m_lastRunDropped;
    }
    std::uint64_t dropped = m_assembler->dropped() + m_writer->ringDropped();
    if (m_source) {
        dropped += m_source->droppedBytes();
    }
    return dropped;
}

bool CaptureEngine::event(QEvent* e) {
    const auto type = e->type();
    if (type != kBlocksReady && type != kSourceEnded && type != kWriteFailed &&
        type != kRunFinished && type != kFileDone) {
        return QObject::event(e);
    }
    auto* runEvent = static_cast<RunEvent*>(e);
    if (runEvent->run() != m_runId || m_state == State::Idle) {
        return true;  // a late event of a finished run
    }
    if (type == kBlocksReady) {
        if (m_state == State::Running) {
            // Only the blocks queued by now: a source that keeps delivering while they are
            // handled posts another event, so the owner's loop is never held here for long.
            m_assembler->rearmWakeUp();
            handleFilledBlocks(m_assembler->queuedBlocks());
            reportDrops();
        }
    } else if (type == kFileDone) {
        emit fileCompleted(static_cast<FileDoneEvent*>(e)->report);
    } else if (type == kSourceEnded) {
        auto* ended = static_cast<SourceEndedEvent*>(e);
        qCWarning(lcCapture) << "capture ended:" << QString::fromStdString(ended->detail);
        const bool wasRunning = m_state == State::Running;
        stop();
        if (wasRunning) {
            emit captureEnded(ended->reason, QString::fromStdString(ended->detail));
        }
    } else if (type == kWriteFailed) {
        const std::string message = m_writer->writeError();
        stop();
        emit writeFailed(QString::fromStdString(message));
    } else if (type == kRunFinished) {
        onRunFinished();
    }
    return true;
}

void CaptureEngine::handleFilledBlocks(std::size_t atMost) {
    BlockQueue::Block block;
    for (std::size_t n = 0; n < atMost && m_assembler && m_assembler->nextFull(block); ++n) {
        m_processor.handle(block.data, block.bytes);
        m_assembler->releaseHandled();
        // Told only once the block is released: a listener may stop the run from here, and the
        // stop then handles the blocks after this one, never this one again.
        announce();
        emit blockHandled();
    }
}

void CaptureEngine::onRunFinished() {
    m_writer->join();
    reportDrops(true);
    m_lastRunDropped = droppedBytes();
    if (m_lastRunDropped > 0) {
        qCWarning(lcCapture) << "dropped" << m_lastRunDropped << "captured bytes during the run";
    }
    m_source.reset();
    m_assembler.reset();
    m_writer->releaseBuffers();
    m_processor.end();
    m_options.background.reset();
    m_state = State::Idle;
    s_runActive = false;

    if (const std::optional<CompletedFile> last = m_writer->lastFile()) {
        emit fileCompleted(*last);
    }
    emit finished(m_writer->ok(), QString::fromStdString(m_writer->error()));
}

}  // namespace orvel
