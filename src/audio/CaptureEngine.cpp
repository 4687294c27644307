#include "audio/CaptureEngine.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
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
    FileDoneEvent(std::uint64_t run, std::unique_ptr<OutputFile> done, bool completed,
                  std::string why)
        : RunEvent(kFileDone, run), file(std::move(done)), ok(completed), error(std::move(why)) {}
    std::unique_ptr<OutputFile> file;
    bool ok;
    std::string error;
};

CompletedFile completedFile(const OutputFile& file, bool ok, const std::string& error) {
    return {QString::fromStdString(file.path()), ok, QString::fromStdString(error), file.hasSound(),
            true};
}

std::atomic<std::uint64_t> g_runCounter{0};

// Whole blocks that cover `milliseconds` of audio.
std::size_t blocksOf(const AudioFormat& format, std::size_t blockBytes,
                     std::uint64_t milliseconds) {
    if (blockBytes == 0) {
        return 0;
    }
    const std::uint64_t bytes = milliseconds * format.bytesPerSecond() / 1000;
    return static_cast<std::size_t>((bytes + blockBytes - 1) / blockBytes);
}

}  // namespace

CaptureEngine::CaptureEngine(QObject* parent)
    : QObject(parent), m_clock([] { return std::chrono::steady_clock::now(); }) {
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
    if (m_finaliser.joinable()) {
        m_finaliser.join();
    }
    onRunFinished();
}

void CaptureEngine::setOutputFactory(OutputFactory factory) {
    m_outputFactory = std::move(factory);
}

void CaptureEngine::setClock(Clock clock) {
    if (!clock) {
        clock = [] { return std::chrono::steady_clock::now(); };
    }
    m_clock = std::move(clock);
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
    CaptureOptions run = options;
    // Only WAV files take short blocks straight from the owner thread.
    if (run.outputFormat != OutputFormat::Wav) {
        run.shortBlocks = false;
    }
    const std::size_t blockBytes = blockSizeFor(run.format, run.shortBlocks);

    std::unique_ptr<OutputFile> file;
    if (!run.fileName.empty()) {
        StartResult result = StartResult::FileError;
        file = openFile(run.fileName, run, blockBytes, result, &m_startError);
        if (!file) {
            return result;
        }
    }
    // Gives up a file that was opened: it is closed, and removed when this run made it.
    auto abandonOutput = [&] {
        if (file) {
            std::string ignored;
            file->finish(&ignored);
            file->remove(true);
            file.reset();
        }
    };

    // Background music needs 16-bit samples and the writer thread that mixes it in.
    if (!file || run.shortBlocks || !run.format.is16Bit()) {
        run.background.reset();
    }
    std::unique_ptr<BlockRing> ring;
    std::unique_ptr<BlockRing> backgroundRing;
    if (file && !run.shortBlocks) {
        const std::size_t share = run.background ? run.ringCapacity / 2 : run.ringCapacity;
        const std::size_t capacity = std::max(share, file->output().chunkBytes() * 2);
        ring = std::make_unique<BlockRing>(capacity);
        if (run.background) {
            backgroundRing = std::make_unique<BlockRing>(capacity);
        }
        if (!ring->valid() || (backgroundRing && !backgroundRing->valid())) {
            qCWarning(lcCapture) << "no memory for a ring of" << run.ringCapacity << "bytes";
            m_startError = {
                ENOMEM, "no memory for a buffer of " + std::to_string(run.ringCapacity) + " bytes"};
            abandonOutput();
            return StartResult::MemError;
        }
    }

    // The hand-over queue holds the run's budget, and never less than a few seconds of audio.
    const std::uint64_t minimum = std::uint64_t{run.format.bytesPerSecond()} * kMinHandOverSeconds;
    const std::uint64_t handOver = std::max<std::uint64_t>(run.ringCapacity, minimum);
    const std::size_t slotCount =
        static_cast<std::size_t>((handOver + blockBytes - 1) / blockBytes);

    const std::uint64_t runId = ++g_runCounter;
    const std::uint8_t silence = run.format.silenceByte();
    CaptureAssembler::Hooks hooks;
    hooks.wakeOwner = [this, runId] {
        QCoreApplication::postEvent(this, new RunEvent(kBlocksReady, runId));
    };
    hooks.sourceEnded = [this, runId](CaptureEnd reason, const std::string& detail) {
        QCoreApplication::postEvent(this, new SourceEndedEvent(runId, reason, detail));
    };
    // A writer waiting for background music must not wait for a source that waits for it.
    hooks.sourceWaits = [this] { ringDoorbell(); };
    auto assembler =
        std::make_unique<CaptureAssembler>(slotCount, blockBytes, silence, std::move(hooks));
    const bool held = m_held.reset(
        blockBytes, blocksOf(run.format, blockBytes, ProcessingSettings::kMaxPreRollMs),
        blocksOf(run.format, blockBytes, kOnsetHoldMs));
    if (!assembler->valid() || !held) {
        qCWarning(lcCapture) << "no memory to hand over" << handOver << "bytes of captured sound";
        m_startError = {ENOMEM, "no memory for a buffer of " + std::to_string(handOver) + " bytes"};
        abandonOutput();
        return StartResult::MemError;
    }
    if (ring) {
        BlockRing* r = ring.get();
        assembler->setRingSpace([r] { return r->freeSpace(); });
    }

    std::string error;
    source->setMonitor(run.monitor);
    if (!source->start(run.format, assembler.get(), &error)) {
        qCWarning(lcCapture) << "capture did not start:" << QString::fromStdString(error);
        m_startError = {0, error};
        abandonOutput();
        return StartResult::DeviceUnavailable;
    }

    m_options = run;
    m_runId = runId;
    m_blockBytes = blockBytes;
    m_source = std::move(source);
    m_assembler = std::move(assembler);
    m_newest = file.get();
    m_files.clear();
    if (file) {
        m_files.push_back(std::move(file));
    }
    m_splitPath.clear();
    m_ringOffset = 0;
    m_startedPath.clear();
    m_lastFile.reset();
    m_lastResult = {};
    m_lastBytesWritten = 0;
    m_reportedDrops = 0;
    m_lastDropReport = {};
    m_ring = std::move(ring);
    m_backgroundRing = std::move(backgroundRing);
    m_backgroundEnded = false;
    m_backgroundSilence = 0;
    if (m_backgroundRing) {
        // The blocks in flight on the owner thread and one more must always fit.
        m_backgroundPatience = std::min(4 * blockBytes, m_ring->capacity() / 2);
    }
    m_paused = false;
    m_signal = false;
    m_lastSignal = m_clock();
    m_levels = {};
    m_latestBlock.clear();
    m_latestBlock.reserve(kBlockCapacity);
    m_bytesQueued = 0;
    m_lengthLimit = 0;
    m_held.setPreRoll(blocksFor(static_cast<std::uint64_t>(m_processing.preRollMs)));
    m_drain = false;
    m_stopEvent = false;
    m_writeFailedFlag = false;
    m_writeError.clear();
    m_finishOk = true;
    m_finishError.clear();

    if (m_ring) {
        m_writer = std::thread([this] { writerLoop(); });
    }
    m_finaliser = std::thread([this] { finaliserLoop(); });
    m_state = State::Running;
    release.keep = true;
    return StartResult::Ok;
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

std::size_t CaptureEngine::blocksFor(std::uint64_t milliseconds) const {
    return blocksOf(m_options.format, m_blockBytes, milliseconds);
}

void CaptureEngine::stop() {
    if (m_state != State::Running) {
        return;
    }
    m_state = State::Stopping;
    // Everything the source captured up to now is delivered by its stop(); then the partly
    // filled block and every block not yet handled go to the file, in order.
    m_source->stop();
    m_assembler->close();
    m_assembler->publishPartial();
    handleFilledBlocks(SIZE_MAX);
    reportDrops(true);
    {
        std::lock_guard lock(m_doorbellMutex);
        m_drain = true;
        m_stopEvent = true;
    }
    m_doorbell.notify_all();
}

bool CaptureEngine::splitFile(const std::string& path) {
    if (m_state != State::Running || !m_ring || path.empty() || m_writeFailedFlag) {
        return false;
    }
    if (m_newest != nullptr) {
        {
            std::lock_guard lock(m_doorbellMutex);
            m_newest->setEnd(m_ringOffset);
        }
        // The writer completes the file as soon as it has written up to the split.
        m_doorbell.notify_all();
        m_newest = nullptr;
    }
    m_splitPath = path;
    return true;
}

bool CaptureEngine::openSplitFile() {
    OutputError why;
    StartResult result = StartResult::FileError;
    std::unique_ptr<OutputFile> file = openFile(m_splitPath, m_options, m_blockBytes, result, &why);
    if (!file) {
        // The run ends as a failed write ends it: the files before are complete, and the path
        // stays pending, to be reported as never opened.
        const std::string message = "cannot open \"" + m_splitPath + "\"" +
                                    (why.text.empty() ? std::string() : ": " + why.text);
        qCWarning(lcCapture) << QString::fromStdString(message);
        failWrite(message);
        QCoreApplication::postEvent(this, new RunEvent(kWriteFailed, m_runId));
        return false;
    }
    m_newest = file.get();
    m_splitPath.clear();
    std::lock_guard lock(m_doorbellMutex);
    m_files.push_back(std::move(file));
    return true;
}

void CaptureEngine::announce() {
    if (!m_startedPath.isEmpty()) {
        const QString path = std::exchange(m_startedPath, QString());
        emit fileStarted(path);
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
    if (m_paused && !paused) {
        m_held.clear();
    }
    m_paused = paused;
}

void CaptureEngine::resumeFromSignal() {
    if (!m_paused) {
        return;
    }
    m_paused = false;
    if (m_state == State::Running) {
        releaseHeld();
        announce();
    } else {
        m_held.clear();
    }
}

void CaptureEngine::setLengthLimit(std::uint64_t bytes) {
    const auto frame = static_cast<std::uint64_t>(std::max(m_options.format.blockAlign(), 1));
    m_lengthLimit = bytes / frame * frame;
}

void CaptureEngine::setMonitor(bool on) {
    m_options.monitor = on;
    if (m_source && m_state == State::Running) {
        m_source->setMonitor(on);
    }
}

void CaptureEngine::setProcessing(const ProcessingSettings& settings) {
    // A filter gets its cutoff when it is switched on or its cutoff changes.
    if (settings.highPass &&
        (!m_processing.highPass || settings.highPassHz != m_processing.highPassHz)) {
        m_highPass.setCutoff(settings.highPassHz, 1.0f);
    }
    if (settings.lowPass &&
        (!m_processing.lowPass || settings.lowPassHz != m_processing.lowPassHz)) {
        m_lowPass.setCutoff(settings.lowPassHz, 1.0f);
    }
    m_processing = settings;
    m_processing.preRollMs = std::clamp(settings.preRollMs, 0, ProcessingSettings::kMaxPreRollMs);
    if (m_state != State::Idle) {
        m_held.setPreRoll(blocksFor(static_cast<std::uint64_t>(m_processing.preRollMs)));
    }
}

std::uint64_t CaptureEngine::bytesWritten() const {
    if (m_state == State::Idle) {
        return m_lastBytesWritten;
    }
    return m_newest != nullptr ? m_newest->output().bytesWritten() : 0;
}

std::size_t CaptureEngine::queueBackground(const std::uint8_t* data, std::size_t bytes) {
    if (!m_backgroundRing || m_state != State::Running || m_backgroundEnded) {
        return 0;
    }
    const std::size_t queued = m_backgroundRing->append(data, bytes);
    ringDoorbell();
    return queued;
}

void CaptureEngine::endBackground() {
    if (!m_backgroundRing || m_backgroundEnded) {
        return;
    }
    m_backgroundEnded = true;
    ringDoorbell();
}

std::uint64_t CaptureEngine::droppedBytes() const {
    if (!m_assembler) {
        return m_lastRunDropped;
    }
    std::uint64_t dropped = m_assembler->dropped();
    if (m_ring) {
        dropped += m_ring->droppedBytes();
    }
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
        auto* done = static_cast<FileDoneEvent*>(e);
        emit fileCompleted(completedFile(*done->file, done->ok, done->error));
    } else if (type == kSourceEnded) {
        auto* ended = static_cast<SourceEndedEvent*>(e);
        qCWarning(lcCapture) << "capture ended:" << QString::fromStdString(ended->detail);
        const bool wasRunning = m_state == State::Running;
        stop();
        if (wasRunning) {
            emit captureEnded(ended->reason, QString::fromStdString(ended->detail));
        }
    } else if (type == kWriteFailed) {
        std::string message;
        {
            std::lock_guard lock(m_doorbellMutex);
            message = m_writeError;
        }
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
        handleBlock(block.data, block.bytes);
        m_assembler->releaseHandled();
        // Told only once the block is released: a listener may stop the run from here, and the
        // stop then handles the blocks after this one, never this one again.
        announce();
        emit blockHandled();
    }
}

void CaptureEngine::handleBlock(std::uint8_t* data, std::size_t bytes) {
    if (bytes == 0) {
        return;
    }
    const AudioFormat& format = m_options.format;
    const auto now = m_clock();

    m_detector.setThreshold(m_processing.threshold);
    const bool present = m_detector.detect(data, bytes, format);
    m_levels = {m_detector.leftAverage(), m_detector.rightAverage(), m_detector.strongSignal()};
    m_latestBlock.assign(data, data + bytes);
    if (present) {
        m_signal = true;
        m_lastSignal = now;
    } else if (std::chrono::duration_cast<std::chrono::seconds>(now - m_lastSignal).count() >=
               m_processing.silenceDelaySeconds) {
        m_signal = false;
    }

    if (m_processing.noiseGate) {
        m_gate.setThreshold(m_processing.gateThreshold);
        m_gate.setReleaseTime(m_processing.gateReleaseSeconds);
        m_gate.apply(
            data, bytes, format, m_detector,
            std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count());
    }
    if (format.is16Bit()) {
        auto* samples = reinterpret_cast<std::int16_t*>(data);
        const std::size_t frames = bytes / static_cast<std::size_t>(format.blockAlign());
        if (m_processing.highPass) {
            m_highPass.process(samples, frames, format.channels, format.sampleRate);
        }
        if (m_processing.lowPass) {
            m_lowPass.process(samples, frames, format.channels, format.sampleRate);
        }
    }

    if (m_options.fileName.empty()) {
        return;
    }
    if (!m_paused && (m_signal || !m_processing.signalActivated)) {
        // A passage begins: what was kept from before it goes first.
        releaseHeld();
        queueBlock(data, bytes);
    } else if (m_state == State::Running) {
        m_held.keep(data, bytes, m_paused && m_levels.strong);
    }
}

void CaptureEngine::releaseHeld() {
    if (m_held.count() > 0) {
        m_held.release(
            [this](const std::uint8_t* data, std::size_t bytes) { queueBlock(data, bytes); });
    }
}

void CaptureEngine::queueBlock(const std::uint8_t* data, std::size_t bytes) {
    if (m_writeFailedFlag) {
        return;
    }
    if (m_lengthLimit > 0) {
        bytes = static_cast<std::size_t>(
            std::min<std::uint64_t>(bytes, m_lengthLimit - std::min(m_lengthLimit, m_bytesQueued)));
        if (bytes == 0) {
            return;
        }
    }
    // The sound after a split opens its file; the file is added before its first byte reaches
    // the ring, so the writer always has a file for what it takes.
    if (m_newest == nullptr && !openSplitFile()) {
        return;
    }
    m_bytesQueued += bytes;
    if (!m_newest->hasSound()) {
        m_newest->markSound();
        m_startedPath = QString::fromStdString(m_newest->path());
    }
    if (m_options.shortBlocks) {
        if (!m_newest->output().write(data, bytes)) {
            failWrite(m_newest->output().lastError());
            QCoreApplication::postEvent(this, new RunEvent(kWriteFailed, m_runId));
        }
        return;
    }
    // The writer is woken only when it has a whole chunk to take (or background music may let
    // it mix), so a recording costs one wake-up per chunk, not one per block.
    const std::size_t appended = m_ring->append(data, bytes);
    m_ringOffset += appended;
    if (appended > 0 && (m_backgroundRing || m_ring->fill() >= m_newest->output().chunkBytes())) {
        ringDoorbell();
    }
}

void CaptureEngine::failWrite(const std::string& message) {
    {
        std::lock_guard lock(m_doorbellMutex);
        m_writeError = message.empty() ? std::string("write failed") : message;
    }
    m_writeFailedFlag = true;
}

bool CaptureEngine::chunkReady(std::size_t chunkBytes) const {
    if (m_ring->fill() < chunkBytes) {
        return false;
    }
    if (!m_backgroundRing) {
        return true;
    }
    return m_backgroundRing->fill() >= chunkBytes || m_backgroundEnded ||
           m_ring->freeSpace() < m_backgroundPatience || m_assembler->blocked();
}

void CaptureEngine::ringDoorbell() {
    { std::lock_guard lock(m_doorbellMutex); }
    m_doorbell.notify_all();
}

void CaptureEngine::mixBackground(const std::uint8_t* recording, std::size_t bytes,
                                  std::uint8_t* background, std::uint8_t* out) {
    const std::size_t got = m_backgroundRing->take(background, bytes);
    if (got < bytes) {
        std::memset(background + got, 0, bytes - got);
        m_backgroundSilence += bytes - got;
    }
    // The staging areas come from the allocator, aligned for any type.
    m_options.background->mix(reinterpret_cast<const std::int16_t*>(recording),
                              reinterpret_cast<const std::int16_t*>(background),
                              reinterpret_cast<std::int16_t*>(out), bytes / 2,
                              m_options.format.channels);
}

void CaptureEngine::writerLoop() {
    std::vector<std::uint8_t> chunk;
    std::vector<std::uint8_t> background;
    std::vector<std::uint8_t> mixed;
    std::uint64_t taken = 0;  // the run's bytes taken from the ring
    std::unique_lock lock(m_doorbellMutex);
    for (;;) {
        OutputFile* file = m_files.empty() ? nullptr : m_files.front().get();
        if (file != nullptr && taken == file->end()) {
            std::unique_ptr<OutputFile> ended = std::move(m_files.front());
            m_files.pop_front();
            lock.unlock();
            endFile(std::move(ended));
            lock.lock();
            continue;
        }
        // A whole chunk, or what is left of the file before a split (a partial chunk), or at the
        // end of the run whatever the ring holds. Without a file the next one waits for its
        // sound, and nothing of it is in the ring yet.
        std::size_t want = 0;
        if (file != nullptr) {
            want = static_cast<std::size_t>(
                std::min<std::uint64_t>(file->output().chunkBytes(), file->end() - taken));
            if (!chunkReady(want) && !(m_drain && m_ring->fill() > 0)) {
                want = 0;
            }
        }
        if (want == 0) {
            if (m_drain) {
                return;  // the finaliser completes the last file
            }
            m_doorbell.wait(lock);
            continue;
        }
        lock.unlock();
        if (chunk.size() < want) {
            chunk.resize(want);
            background.resize(m_backgroundRing ? want : 0);
            mixed.resize(m_backgroundRing ? want : 0);
        }
        const std::size_t n = m_ring->take(chunk.data(), want);
        taken += n;
        m_assembler->notifyRoom();
        const std::uint8_t* out = chunk.data();
        if (m_backgroundRing) {
            mixBackground(chunk.data(), n, background.data(), mixed.data());
            out = mixed.data();
        }
        if (!file->output().write(out, n)) {
            failWrite(file->output().lastError());
            QCoreApplication::postEvent(this, new RunEvent(kWriteFailed, m_runId));
            return;
        }
        lock.lock();
    }
}

void CaptureEngine::endFile(std::unique_ptr<OutputFile> file) {
    std::string error;
    const bool ok = file->finish(&error);
    file->unlock();
    if (!ok) {
        qCWarning(lcCapture) << "completing" << QString::fromStdString(file->path())
                             << "failed:" << QString::fromStdString(error);
    }
    QCoreApplication::postEvent(this, new FileDoneEvent(m_runId, std::move(file), ok, error));
}

void CaptureEngine::finaliserLoop() {
    {
        std::unique_lock lock(m_doorbellMutex);
        m_doorbell.wait(lock, [this] { return m_stopEvent; });
    }
    // The writer ends after the last byte of the ring: nothing is lost, nothing written after
    // a file is closed.
    if (m_writer.joinable()) {
        m_writer.join();
    }
    // What the writer left: the run's last file, and after a failed write the files it did not
    // reach. Each is reported in order, the last one with the end of the run.
    std::deque<std::unique_ptr<OutputFile>> left;
    {
        std::lock_guard lock(m_doorbellMutex);
        left.swap(m_files);
    }
    while (!left.empty()) {
        std::unique_ptr<OutputFile> file = std::move(left.front());
        left.pop_front();
        if (!left.empty()) {
            endFile(std::move(file));
            continue;
        }
        std::string error;
        if (!file->finish(&error)) {
            m_finishError = error;
            m_finishOk = false;
        }
        m_lastResult = completedFile(*file, m_finishOk, m_finishError);
        m_lastBytesWritten = file->output().bytesWritten();
        if (m_options.removeEmptyFile && !file->hasSound()) {
            file->remove(false);
            m_lastResult.exists = false;
        }
        file->unlock();
        m_lastFile = std::move(file);
    }
    QCoreApplication::postEvent(this, new RunEvent(kRunFinished, m_runId));
}

void CaptureEngine::onRunFinished() {
    if (m_finaliser.joinable()) {
        m_finaliser.join();
    }
    reportDrops(true);
    m_lastRunDropped = droppedBytes();
    if (m_lastRunDropped > 0) {
        qCWarning(lcCapture) << "dropped" << m_lastRunDropped << "captured bytes during the run";
    }
    m_source.reset();
    m_assembler.reset();
    m_ring.reset();
    m_held.clear();
    m_newest = nullptr;
    const bool hadFile = m_lastFile != nullptr;
    if (m_backgroundRing) {
        if (m_backgroundSilence > 0) {
            qCInfo(lcCapture) << m_backgroundSilence.load()
                              << "recorded bytes were mixed without background";
        }
    }
    m_backgroundRing.reset();
    m_options.background.reset();
    m_state = State::Idle;
    s_runActive = false;

    bool ok = m_finishOk;
    QString error = QString::fromStdString(m_finishError);
    if (m_writeFailedFlag) {
        ok = false;
        std::lock_guard lock(m_doorbellMutex);
        error = QString::fromStdString(m_writeError);
        // The file is valid, but it does not hold the recording.
        m_lastResult.ok = false;
        m_lastResult.error = error;
    }
    if (!m_splitPath.empty()) {
        // A split whose sound never came: its file was never opened.
        emit fileCompleted({QString::fromStdString(std::exchange(m_splitPath, std::string())), true,
                            QString(), false, false});
    } else if (hadFile) {
        emit fileCompleted(m_lastResult);
    }
    emit finished(ok, error);
}

}  // namespace orvel
