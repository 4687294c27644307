#include "audio/CaptureWriter.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "audio/CaptureAssembler.h"

Q_DECLARE_LOGGING_CATEGORY(lcCapture)

namespace orvel {

namespace {

CompletedFile completedFile(const OutputFile& file, bool ok, const std::string& error) {
    return {QString::fromStdString(file.path()), ok, QString::fromStdString(error), file.hasSound(),
            true};
}

}  // namespace

CaptureWriter::CaptureWriter(Setup setup, Hooks hooks)
    : m_hooks(std::move(hooks)),
      m_ring(std::move(setup.ring)),
      m_backgroundRing(std::move(setup.backgroundRing)),
      m_background(std::move(setup.background)),
      m_channels(setup.channels),
      m_removeEmptyFile(setup.removeEmptyFile) {
    if (m_backgroundRing) {
        // The blocks in flight on the owner thread and one more must always fit.
        m_backgroundPatience = std::min(4 * setup.blockBytes, m_ring->capacity() / 2);
    }
    m_newest = setup.file.get();
    if (setup.file) {
        m_files.push_back(std::move(setup.file));
    }
}

CaptureWriter::~CaptureWriter() {
    if (m_finaliser.joinable()) {
        drain();
        join();
    }
}

void CaptureWriter::abandon() {
    for (std::unique_ptr<OutputFile>& file : m_files) {
        std::string ignored;
        file->finish(&ignored);
        file->remove(true);
    }
    m_files.clear();
    m_newest = nullptr;
}

void CaptureWriter::start(CaptureAssembler& assembler) {
    m_assembler = &assembler;
    if (m_ring) {
        m_writer = std::thread([this] { writerLoop(); });
    }
    m_finaliser = std::thread([this] { finaliserLoop(); });
}

bool CaptureWriter::write(const std::uint8_t* data, std::size_t bytes) {
    if (m_writeFailed) {
        return false;
    }
    // The sound after a split opens its file; the file is added before its first byte reaches
    // the ring, so the writer always has a file for what it takes.
    if (m_newest == nullptr && !openSplitFile()) {
        return false;
    }
    if (!m_newest->hasSound()) {
        m_newest->markSound();
        m_started = m_newest->path();
    }
    if (!m_ring) {
        if (!m_newest->output().write(data, bytes)) {
            fail(m_newest->output().lastError());
        }
        return true;
    }
    // The writer is woken only when it has a whole chunk to take (or background music may let
    // it mix), so a recording costs one wake-up per chunk, not one per block.
    const std::size_t appended = m_ring->append(data, bytes);
    m_ringOffset += appended;
    if (appended > 0 && (m_backgroundRing || m_ring->fill() >= m_newest->output().chunkBytes())) {
        ringDoorbell();
    }
    return true;
}

bool CaptureWriter::split(const std::string& path) {
    if (!m_ring || path.empty() || m_writeFailed) {
        return false;
    }
    if (m_newest != nullptr) {
        {
            std::lock_guard lock(m_mutex);
            m_newest->setEnd(m_ringOffset);
        }
        // The writer completes the file as soon as it has written up to the split.
        m_doorbell.notify_all();
        m_newest = nullptr;
    }
    m_splitPath = path;
    return true;
}

bool CaptureWriter::openSplitFile() {
    std::string why;
    std::unique_ptr<OutputFile> file = m_hooks.openFile(m_splitPath, why);
    if (!file) {
        // Writing ends as a failed write ends it: the files before are complete, and the path
        // stays pending, to be reported as never opened.
        const std::string message =
            "cannot open \"" + m_splitPath + "\"" + (why.empty() ? std::string() : ": " + why);
        qCWarning(lcCapture) << QString::fromStdString(message);
        fail(message);
        return false;
    }
    m_newest = file.get();
    m_splitPath.clear();
    std::lock_guard lock(m_mutex);
    m_files.push_back(std::move(file));
    return true;
}

std::string CaptureWriter::takeStarted() {
    return std::exchange(m_started, std::string());
}

void CaptureWriter::fail(const std::string& message) {
    {
        std::lock_guard lock(m_mutex);
        m_writeError = message.empty() ? std::string("write failed") : message;
    }
    m_writeFailed = true;
    m_hooks.writeFailed();
}

std::string CaptureWriter::writeError() const {
    std::lock_guard lock(m_mutex);
    return m_writeError;
}

void CaptureWriter::drain() {
    {
        std::lock_guard lock(m_mutex);
        m_drain = true;
        m_stopEvent = true;
    }
    m_doorbell.notify_all();
}

void CaptureWriter::join() {
    if (m_finaliser.joinable()) {
        m_finaliser.join();
    }
    m_joined = true;
}

void CaptureWriter::releaseBuffers() {
    if (m_backgroundRing && m_backgroundSilence > 0) {
        qCInfo(lcCapture) << m_backgroundSilence.load()
                          << "recorded bytes were mixed without background";
    }
    m_ring.reset();
    m_backgroundRing.reset();
    m_background.reset();
    m_assembler = nullptr;
}

void CaptureWriter::ringDoorbell() {
    { std::lock_guard lock(m_mutex); }
    m_doorbell.notify_all();
}

std::size_t CaptureWriter::queueBackground(const std::uint8_t* data, std::size_t bytes) {
    if (!m_backgroundRing || m_backgroundEnded) {
        return 0;
    }
    const std::size_t queued = m_backgroundRing->append(data, bytes);
    ringDoorbell();
    return queued;
}

void CaptureWriter::endBackground() {
    if (!m_backgroundRing || m_backgroundEnded) {
        return;
    }
    m_backgroundEnded = true;
    ringDoorbell();
}

std::uint64_t CaptureWriter::bytesWritten() const {
    if (m_joined) {
        return m_lastBytesWritten;
    }
    return m_newest != nullptr ? m_newest->output().bytesWritten() : 0;
}

std::string CaptureWriter::error() const {
    return m_writeFailed ? writeError() : m_finishError;
}

std::optional<CompletedFile> CaptureWriter::lastFile() const {
    if (!m_splitPath.empty()) {
        return CompletedFile{QString::fromStdString(m_splitPath), true, QString(), false, false};
    }
    if (!m_lastFile) {
        return std::nullopt;
    }
    CompletedFile last = m_lastResult;
    if (m_writeFailed) {
        // The file is valid, but it does not hold the recording.
        last.ok = false;
        last.error = QString::fromStdString(writeError());
    }
    return last;
}

bool CaptureWriter::chunkReady(std::size_t chunkBytes) const {
    if (m_ring->fill() < chunkBytes) {
        return false;
    }
    if (!m_backgroundRing) {
        return true;
    }
    return m_backgroundRing->fill() >= chunkBytes || m_backgroundEnded ||
           m_ring->freeSpace() < m_backgroundPatience || m_assembler->blocked();
}

void CaptureWriter::mixBackground(const std::uint8_t* recording, std::size_t bytes,
                                  std::uint8_t* background, std::uint8_t* out) {
    const std::size_t got = m_backgroundRing->take(background, bytes);
    if (got < bytes) {
        std::memset(background + got, 0, bytes - got);
        m_backgroundSilence += bytes - got;
    }
    // The staging areas come from the allocator, aligned for any type.
    m_background->mix(reinterpret_cast<const std::int16_t*>(recording),
                      reinterpret_cast<const std::int16_t*>(background),
                      reinterpret_cast<std::int16_t*>(out), bytes / 2, m_channels);
}

void CaptureWriter::writerLoop() {
    std::vector<std::uint8_t> chunk;
    std::vector<std::uint8_t> background;
    std::vector<std::uint8_t> mixed;
    std::uint64_t taken = 0;  // the run's bytes taken from the ring
    std::unique_lock lock(m_mutex);
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
            fail(file->output().lastError());
            return;
        }
        lock.lock();
    }
}

void CaptureWriter::endFile(std::unique_ptr<OutputFile> file) {
    std::string error;
    const bool ok = file->finish(&error);
    file->unlock();
    if (!ok) {
        qCWarning(lcCapture) << "completing" << QString::fromStdString(file->path())
                             << "failed:" << QString::fromStdString(error);
    }
    CompletedFile report = completedFile(*file, ok, error);
    m_hooks.fileDone(std::move(file), std::move(report));
}

void CaptureWriter::finaliserLoop() {
    {
        std::unique_lock lock(m_mutex);
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
        std::lock_guard lock(m_mutex);
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
        if (m_removeEmptyFile && !file->hasSound()) {
            file->remove(false);
            m_lastResult.exists = false;
        }
        file->unlock();
        m_lastFile = std::move(file);
    }
    m_hooks.finished();
}

}  // namespace orvel
