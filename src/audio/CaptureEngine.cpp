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

#include "audio/BlockQueue.h"
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

// Assembles the source's pieces into blocks of exactly the run's block size and queues them for
// the owner thread, waking it with an event when it is not already due to look. A block the
// owner has not handled is never overwritten: only when every slot of the queue is taken is
// what cannot be placed dropped, and counted.
class CaptureEngine::Assembler : public CaptureConsumer {
public:
    Assembler(CaptureEngine* engine, std::uint64_t run, std::size_t slotCount,
              std::size_t blockBytes, std::uint8_t silence)
        : m_engine(engine),
          m_run(run),
          m_blockBytes(blockBytes),
          m_silence(silence),
          m_queue(slotCount, blockBytes) {}

    bool valid() const { return m_queue.valid(); }

    void onCapturedData(const std::uint8_t* data, std::size_t bytes) override {
        while (bytes > 0) {
            std::uint8_t* block = m_queue.acquire();
            if (block == nullptr) {
                m_dropped.fetch_add(bytes, std::memory_order_relaxed);
                return;
            }
            const std::size_t n = std::min(bytes, m_blockBytes - m_fill);
            if (data != nullptr) {
                std::memcpy(block + m_fill, data, n);
                data += n;
            } else {
                std::memset(block + m_fill, m_silence, n);
            }
            m_fill += n;
            bytes -= n;
            if (m_fill == m_blockBytes) {
                publishCurrent();
            }
        }
    }

    void onCaptureEnded(CaptureEnd reason, const std::string& detail) override {
        QCoreApplication::postEvent(m_engine, new SourceEndedEvent(m_run, reason, detail));
    }

    std::size_t waitForRoom(std::size_t wanted, std::chrono::milliseconds timeout) override {
        std::unique_lock lock(m_roomMutex);
        std::size_t room = m_closing ? 0 : roomNow(wanted);
        if (room == 0 && !m_closing && !m_blocked.exchange(true)) {
            // A writer waiting for background music must not wait for a source that waits
            // for it.
            m_engine->ringDoorbell();
        }
        m_room.wait_for(lock, timeout, [&] {
            room = m_closing ? 0 : roomNow(wanted);
            return m_closing || room > 0;
        });
        if (room > 0) {
            m_blocked = false;
        }
        return room;
    }
    // Any thread: a source that is not live waits for the ring to make room.
    bool blocked() const { return m_blocked; }
    // Owner thread: a block was released, or the ring made room (writer thread).
    void notifyRoom() {
        { std::lock_guard lock(m_roomMutex); }
        m_room.notify_all();
    }
    void close() {
        {
            std::lock_guard lock(m_roomMutex);
            m_closing = true;
        }
        m_room.notify_all();
    }
    // The ring's free space, when there is a ring to keep from overflowing.
    void setRingSpace(std::function<std::size_t()> space) { m_ringSpace = std::move(space); }

    // Owner thread, after the source has stopped: the partly filled block becomes the last one.
    void publishPartial() {
        if (m_fill > 0) {
            publishCurrent();
        }
    }

    // Owner thread: the wake-up event arrived; blocks queued from now on post another one.
    void rearmWakeUp() { m_wakeUpPosted.store(false); }
    // Owner thread: the oldest full block, if any, and its release once handled.
    bool nextFull(BlockQueue::Block& out) const { return m_queue.front(out); }
    void releaseHandled() {
        m_queue.pop();
        notifyRoom();
    }
    std::size_t queuedBlocks() const { return m_queue.queued(); }

    std::uint64_t dropped() const { return m_dropped.load(std::memory_order_relaxed); }

private:
    // Source thread: bytes that fit into the queue's free slots, and that the ring can take even
    // with every queued block still to come.
    std::size_t roomNow(std::size_t wanted) const {
        const std::size_t free = m_queue.freeSlots();
        std::size_t room = free == 0 ? 0 : free * m_blockBytes - m_fill;
        if (m_ringSpace) {
            const std::size_t inFlight = m_queue.queued() * m_blockBytes + m_fill;
            const std::size_t space = m_ringSpace();
            room = std::min(room, space > inFlight ? space - inFlight : 0);
        }
        return std::min(room, wanted);
    }

    void publishCurrent() {
        m_queue.publish(m_fill);
        m_fill = 0;
        // Sequentially consistent with rearmWakeUp(): either the owner still sees this block
        // after re-arming, or this exchange sees the re-armed flag and posts again.
        if (!m_wakeUpPosted.exchange(true)) {
            QCoreApplication::postEvent(m_engine, new RunEvent(kBlocksReady, m_run));
        }
    }

    CaptureEngine* m_engine;
    std::uint64_t m_run;
    std::size_t m_blockBytes;
    std::uint8_t m_silence;
    BlockQueue m_queue;
    std::size_t m_fill = 0;  // source thread: bytes in the slot being filled
    std::atomic<std::uint64_t> m_dropped{0};
    std::atomic<bool> m_wakeUpPosted{false};

    std::mutex m_roomMutex;
    std::condition_variable m_room;
    bool m_closing = false;
    std::atomic<bool> m_blocked{false};
    std::function<std::size_t()> m_ringSpace;
};

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

    std::unique_ptr<AudioOutput> output;
    m_createdFile = false;
    m_haveIdentity = false;
    if (!run.fileName.empty()) {
        const StartResult opened = openFileOutput(run.fileName, run.outputFormat, run.format,
                                                  blockBytes, output, m_fileLock);
        if (opened != StartResult::Ok) {
            return opened;
        }
    }
    // Gives up a file that was opened: it is closed, and removed when this run made it.
    auto abandonOutput = [&] {
        if (output) {
            output->finish();
            output.reset();
            forgetCreatedFile();
            m_fileLock.release();
        }
    };

    // Background music needs 16-bit samples and the writer thread that mixes it in.
    if (!output || run.shortBlocks || !run.format.is16Bit()) {
        run.background.reset();
    }
    std::unique_ptr<BlockRing> ring;
    std::unique_ptr<BlockRing> backgroundRing;
    if (output && !run.shortBlocks) {
        const std::size_t share = run.background ? run.ringCapacity / 2 : run.ringCapacity;
        const std::size_t capacity = std::max(share, output->chunkBytes() * 2);
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
    auto assembler = std::make_unique<Assembler>(this, runId, slotCount, blockBytes, silence);
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
    m_output = std::move(output);
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

StartResult CaptureEngine::openFileOutput(const std::string& path, OutputFormat format,
                                          const AudioFormat& audio, std::size_t blockBytes,
                                          std::unique_ptr<AudioOutput>& output, FileLock& lock) {
    struct stat before {};
    const bool existed = ::lstat(path.c_str(), &before) == 0;
    m_options.fileName = path;
    // The claim comes before the output opens the file, which truncates it: a recording in
    // progress elsewhere is refused here, never overwritten.
    const FileLock::Result claim = lock.acquire(path);
    if (claim == FileLock::Result::InUse) {
        m_startError = {0, "\"" + path + "\" " + FileLock::kInUseText};
        qCWarning(lcCapture) << m_startError.text.c_str();
        return StartResult::FileInUse;
    }
    m_createdFile = claim == FileLock::Result::Locked ? lock.created() : !existed;
    StartResult result = StartResult::FileError;
    OutputRequest request{path, format, audio, static_cast<int>(blockBytes), &m_startError};
    output = m_outputFactory ? m_outputFactory(request, result) : nullptr;
    if (!output) {
        forgetCreatedFile();
        lock.release();
        return result == StartResult::Ok ? StartResult::FileError : result;
    }
    struct stat made {};
    if (::stat(path.c_str(), &made) == 0) {
        m_haveIdentity = true;
        m_fileDevice = made.st_dev;
        m_fileInode = made.st_ino;
    }
    return StartResult::Ok;
}

void CaptureEngine::forgetCreatedFile() {
    // Only a regular file this run made is removed: never what was there before (a device, a
    // recording being overwritten), nor a name someone else has taken since.
    struct stat now {};
    if (m_createdFile && ::lstat(m_options.fileName.c_str(), &now) == 0 && S_ISREG(now.st_mode) &&
        (!m_haveIdentity || (now.st_dev == m_fileDevice && now.st_ino == m_fileInode))) {
        ::unlink(m_options.fileName.c_str());
    }
    m_createdFile = false;
    m_haveIdentity = false;
}

std::string CaptureEngine::checkFileIdentity() const {
    if (!m_haveIdentity) {
        return {};
    }
    struct stat now {};
    if (::stat(m_options.fileName.c_str(), &now) != 0) {
        return "\"" + m_options.fileName +
               "\" was deleted or moved away while it was being recorded; the recording is lost";
    }
    if (now.st_dev != m_fileDevice || now.st_ino != m_fileInode) {
        return "\"" + m_options.fileName +
               "\" was replaced by another file while it was being recorded; the recording is lost";
    }
    return {};
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
    {
        std::lock_guard lock(m_doorbellMutex);
        m_drain = true;
        m_stopEvent = true;
    }
    m_doorbell.notify_all();
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
    return m_output ? m_output->bytesWritten() : 0;
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

std::uint64_t CaptureEngine::backgroundDroppedBytes() const {
    return m_backgroundRing ? m_backgroundRing->droppedBytes() : m_lastBackgroundDropped;
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
        type != kRunFinished) {
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
        }
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

    if (!m_output) {
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
    m_bytesQueued += bytes;
    if (m_options.shortBlocks) {
        if (!m_output->write(data, bytes)) {
            failWrite(m_output->lastError());
            QCoreApplication::postEvent(this, new RunEvent(kWriteFailed, m_runId));
        }
        return;
    }
    // The writer is woken only when it has a whole chunk to take (or background music may let
    // it mix), so a recording costs one wake-up per chunk, not one per block.
    if (m_ring->append(data, bytes) > 0 &&
        (m_backgroundRing || m_ring->fill() >= m_output->chunkBytes())) {
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
    const std::size_t chunkBytes = m_output->chunkBytes();
    std::vector<std::uint8_t> chunk(chunkBytes);
    // Staging areas of the background and of the mixed chunk, only when mixing.
    std::vector<std::uint8_t> background(m_backgroundRing ? chunkBytes : 0);
    std::vector<std::uint8_t> mixed(m_backgroundRing ? chunkBytes : 0);
    for (;;) {
        bool drain = false;
        {
            std::unique_lock lock(m_doorbellMutex);
            m_doorbell.wait(lock, [&] { return m_drain || chunkReady(chunkBytes); });
            drain = m_drain;
        }
        while (chunkReady(chunkBytes) || (drain && m_ring->fill() > 0)) {
            const std::size_t n = m_ring->take(chunk.data(), chunkBytes);
            m_assembler->notifyRoom();
            const std::uint8_t* out = chunk.data();
            if (m_backgroundRing) {
                mixBackground(chunk.data(), n, background.data(), mixed.data());
                out = mixed.data();
            }
            if (!m_output->write(out, n)) {
                failWrite(m_output->lastError());
                QCoreApplication::postEvent(this, new RunEvent(kWriteFailed, m_runId));
                return;
            }
        }
        if (drain) {
            return;
        }
    }
}

void CaptureEngine::finaliserLoop() {
    {
        std::unique_lock lock(m_doorbellMutex);
        m_doorbell.wait(lock, [this] { return m_stopEvent; });
    }
    // The writer ends after the last byte of the ring: nothing is lost, nothing written after
    // the file is closed.
    if (m_writer.joinable()) {
        m_writer.join();
    }
    if (m_output) {
        if (!m_output->finish()) {
            m_finishError = m_output->lastError();
            m_finishOk = false;
        }
        // A recording whose file was deleted or replaced under it went nowhere: that is no
        // success, whatever the writes said.
        if (std::string lost = checkFileIdentity(); !lost.empty()) {
            m_finishError = std::move(lost);
            m_finishOk = false;
        }
    }
    QCoreApplication::postEvent(this, new RunEvent(kRunFinished, m_runId));
}

void CaptureEngine::onRunFinished() {
    if (m_finaliser.joinable()) {
        m_finaliser.join();
    }
    m_lastRunDropped = droppedBytes();
    if (m_lastRunDropped > 0) {
        qCWarning(lcCapture) << "dropped" << m_lastRunDropped << "captured bytes during the run";
    }
    m_source.reset();
    m_assembler.reset();
    m_ring.reset();
    m_held.clear();
    m_createdFile = false;
    m_haveIdentity = false;
    m_fileLock.release();
    if (m_backgroundRing) {
        m_lastBackgroundDropped = m_backgroundRing->droppedBytes();
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
    }
    emit finished(ok, error);
}

}  // namespace orvel
