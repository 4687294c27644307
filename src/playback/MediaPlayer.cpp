#include "playback/MediaPlayer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "config/Text.h"
#include "platform/SoundServer.h"
#include "playback/PcmConverter.h"

Q_LOGGING_CATEGORY(lcPlayer, "orvel.player")

namespace orvel {

std::atomic<int> MediaPlayer::s_processState{MediaPlayer::Stopped};

namespace {

using namespace std::chrono_literals;

const QEvent::Type kTapReady = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kEndReached = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kStreamFailed = static_cast<QEvent::Type>(QEvent::registerEventType());

// Every event names the open file (or the seek) it belongs to, so that a late one is ignored.
class PlayerEvent : public QEvent {
public:
    PlayerEvent(Type type, std::uint64_t tag) : QEvent(type), m_tag(tag) {}
    std::uint64_t tag() const { return m_tag; }

private:
    std::uint64_t m_tag;
};

// The player's diagnostic texts, formatted into at most 1023 bytes.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void diagnostic(const char* format, ...) {
    char buffer[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    // The log adds its own line breaks: those around the text are left to it.
    std::string_view line = text::cutBytes(buffer, sizeof buffer - 1);
    while (!line.empty() && (line.front() == '\r' || line.front() == '\n')) {
        line.remove_prefix(1);
    }
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    qCWarning(lcPlayer).noquote() << QString::fromUtf8(line.data(), static_cast<int>(line.size()));
}

// Codes of the diagnostic texts: the system's error numbers.
constexpr unsigned long kNothingOpen = EBADF;
constexpr unsigned long kOutputFailed = ENODEV;

// The speakers play the file's own rate when the server can take it.
AudioFormat outputFormatFor(const MediaFile& file) {
    AudioFormat format{std::min(file.channels(), 2), file.sampleRate(), 16};
    if (format.sampleRate < 1000 || format.sampleRate > 384000) {
        format.sampleRate = 48000;
    }
    return format;
}

std::int64_t bytesToUs(std::uint64_t bytes, const AudioFormat& format) {
    const auto frames =
        static_cast<std::int64_t>(bytes / static_cast<std::uint64_t>(format.blockAlign()));
    return frames * 1000000 / format.sampleRate;
}

}  // namespace

// The decode thread: decodes, converts for the speakers and the tap, writes to the stream at
// its pace, fills the tap blocks, and reports the end of the stream once it has been heard.
// Every step waits at most about 50 ms, so that commands (seek, pause, stop, quit) take effect
// promptly.
class MediaPlayer::Decoder {
public:
    Decoder(MediaPlayer& player, std::uint64_t openId)
        : m_player(player),
          m_file(*player.m_file),
          m_stream(*player.m_stream),
          m_format(player.m_outputFormat),
          m_openId(openId),
          m_speakers(player.m_outputFormat) {}

    void run() {
        std::unique_lock lock(m_player.m_mutex);
        for (;;) {
            m_player.m_wake.wait(lock, [this] {
                return m_player.m_quit || m_player.m_seek || m_player.m_tapChanged ||
                       (m_player.m_running && !m_idle);
            });
            if (m_player.m_quit) {
                return;
            }
            if (m_player.m_tapChanged) {
                m_player.m_tapChanged = false;
                m_tap = m_player.m_tapFormat ? std::make_unique<PcmConverter>(*m_player.m_tapFormat)
                                             : nullptr;
                m_tapPcm.clear();
                m_tapAt = 0;
                m_tapFill = 0;
                continue;
            }
            if (m_player.m_seek) {
                const std::int64_t target = *m_player.m_seek;
                const std::uint64_t generation = m_player.m_generation;
                lock.unlock();
                seek(target);
                lock.lock();
                m_generation = m_player.m_generation;
                if (generation == m_player.m_generation) {
                    m_player.m_seek.reset();
                    m_player.m_segments.assign(1, Segment{0, target * 1000});
                }
                continue;
            }
            m_generation = m_player.m_generation;
            lock.unlock();
            work();
            lock.lock();
        }
    }

private:
    void seek(std::int64_t ms) {
        m_stream.flush();
        m_written = 0;
        m_speakerPcm.clear();
        m_speakerAt = 0;
        m_speakers.reset();
        if (m_tap) {
            m_tap->reset();
        }
        m_tapPcm.clear();
        m_tapAt = 0;
        m_ended = !m_file.seek(ms);
        if (m_ended) {
            qCWarning(lcPlayer) << "cannot seek:" << QString::fromStdString(m_file.errorDetail());
        }
        m_sinceLoop = 0;
        m_endPosted = false;
        m_idle = false;
        m_lastPlayed = -1;
        m_stalledWaits = 0;
    }

    void work() {
        if (!deliverTap()) {
            return;
        }
        if (m_speakerAt >= m_speakerPcm.size() && !m_ended) {
            m_speakerPcm.clear();
            m_speakerAt = 0;
            produce();
            return;
        }
        if (m_speakerAt < m_speakerPcm.size()) {
            writeSpeakers();
            return;
        }
        if (m_ended && !m_endPosted) {
            finishTap();
            awaitPlayedOut();
        }
    }

    void produce() {
        DecodedAudio run;
        const MediaFile::Read read = m_file.next(run);
        if (read == MediaFile::Read::Audio) {
            m_speakers.convert(run, m_speakerPcm);
            if (m_tap) {
                m_tap->convert(run, m_tapPcm);
            }
            m_sinceLoop += static_cast<std::uint64_t>(run.samples);
            return;
        }
        if (read == MediaFile::Read::Error) {
            qCWarning(lcPlayer) << "the file is damaged; playing ends here:"
                                << QString::fromStdString(m_file.errorDetail());
        }
        m_speakers.flush(m_speakerPcm);
        if (m_tap) {
            m_tap->flush(m_tapPcm);
        }
        // With repeat the content starts again right where the sound produced so far ends.
        if (m_player.m_repeat && read == MediaFile::Read::End && m_sinceLoop > 0 &&
            m_file.seek(0)) {
            const std::int64_t at =
                bytesToUs(m_written + (m_speakerPcm.size() - m_speakerAt), m_format);
            m_speakers.reset();
            if (m_tap) {
                m_tap->reset();
            }
            m_sinceLoop = 0;
            std::lock_guard lock(m_player.m_mutex);
            auto& segments = m_player.m_segments;
            segments.push_back(Segment{at, 0});
            // Only the segments that may still be heard are kept.
            const std::int64_t heard = m_lastPlayed;
            while (segments.size() > 2 && segments[1].streamUs <= heard) {
                segments.pop_front();
            }
            return;
        }
        m_ended = true;
    }

    void writeSpeakers() {
        const std::size_t room = m_stream.waitWritable(50ms);
        if (m_stream.failed()) {
            streamFailed();
            return;
        }
        const std::size_t count = std::min(room, m_speakerPcm.size() - m_speakerAt);
        if (count == 0) {
            return;
        }
        if (!m_stream.write(m_speakerPcm.data() + m_speakerAt, count)) {
            streamFailed();
            return;
        }
        m_speakerAt += count;
        m_written += count;
        if (m_speakerAt == m_speakerPcm.size()) {
            m_speakerPcm.clear();
            m_speakerAt = 0;
        }
        m_lastPlayed = m_stream.playedMicroseconds();
    }

    void streamFailed() {
        m_idle = true;
        QCoreApplication::postEvent(&m_player, new PlayerEvent(kStreamFailed, m_openId));
    }

    // Moves converted tap PCM into the blocks. False when a block the owner has not handled yet
    // is in the way and a command is waiting; the data stays for the next step.
    bool deliverTap() {
        while (m_tapAt < m_tapPcm.size()) {
            TapBlock& block = m_player.m_tapBlocks[m_tapCurrent];
            if (block.full.load(std::memory_order_acquire)) {
                std::unique_lock lock(m_player.m_mutex);
                const bool freed = m_player.m_wake.wait_for(lock, 50ms, [&] {
                    return !block.full.load(std::memory_order_acquire) || m_player.m_quit ||
                           m_player.m_seek || !m_player.m_running || m_player.m_tapChanged;
                });
                if (!freed || block.full.load(std::memory_order_acquire)) {
                    return false;
                }
                continue;
            }
            const std::size_t count =
                std::min(kTapBlockBytes - m_tapFill, m_tapPcm.size() - m_tapAt);
            std::memcpy(block.data.data() + m_tapFill, m_tapPcm.data() + m_tapAt, count);
            m_tapFill += count;
            m_tapAt += count;
            if (m_tapFill == kTapBlockBytes) {
                publishTap();
            }
        }
        m_tapPcm.clear();
        m_tapAt = 0;
        return true;
    }

    void publishTap() {
        TapBlock& block = m_player.m_tapBlocks[m_tapCurrent];
        block.length = m_tapFill;
        block.full.store(true, std::memory_order_release);
        m_tapCurrent = (m_tapCurrent + 1) % m_player.m_tapBlocks.size();
        m_tapFill = 0;
        QCoreApplication::postEvent(&m_player, new PlayerEvent(kTapReady, m_openId));
    }

    // At the end of the file the partly filled block is handed over too.
    void finishTap() {
        if (m_tapFill == 0) {
            return;
        }
        TapBlock& block = m_player.m_tapBlocks[m_tapCurrent];
        if (!block.full.load(std::memory_order_acquire)) {
            publishTap();
        }
    }

    void awaitPlayedOut() {
        const std::int64_t written = bytesToUs(m_written, m_format);
        const std::int64_t played = m_stream.playedMicroseconds();
        // A stream whose position stopped moving short of the end (a stalled sink) would keep
        // the end from ever being reported: about two seconds without progress end it.
        m_stalledWaits = played == m_lastPlayed ? m_stalledWaits + 1 : 0;
        m_lastPlayed = played;
        if (played >= written || m_stream.failed() || m_stalledWaits > 200) {
            m_endPosted = true;
            m_idle = true;
            QCoreApplication::postEvent(&m_player, new PlayerEvent(kEndReached, m_generation));
            return;
        }
        std::unique_lock lock(m_player.m_mutex);
        m_player.m_wake.wait_for(lock, 10ms, [this] {
            return m_player.m_quit || m_player.m_seek || !m_player.m_running;
        });
    }

    MediaPlayer& m_player;
    MediaFile& m_file;
    platform::PlaybackStream& m_stream;
    const AudioFormat m_format;
    const std::uint64_t m_openId;
    std::uint64_t m_generation = 0;

    PcmConverter m_speakers;
    std::vector<std::uint8_t> m_speakerPcm;
    std::size_t m_speakerAt = 0;
    std::uint64_t m_written = 0;  // bytes written to the stream since the last flush
    std::unique_ptr<PcmConverter> m_tap;
    std::vector<std::uint8_t> m_tapPcm;
    std::size_t m_tapAt = 0;
    std::size_t m_tapCurrent = 0;
    std::size_t m_tapFill = 0;

    std::uint64_t m_sinceLoop = 0;  // samples decoded since the file (re)started
    bool m_ended = false;           // everything was decoded
    bool m_endPosted = false;
    bool m_idle = false;  // nothing to do until a seek
    std::int64_t m_lastPlayed = -1;
    int m_stalledWaits = 0;
};

MediaPlayer::MediaPlayer(StreamFactory factory, QObject* parent)
    : QObject(parent), m_factory(std::move(factory)) {
    for (auto& block : m_tapBlocks) {
        block.data.resize(kTapBlockBytes);
    }
}

MediaPlayer::~MediaPlayer() {
    close();
}

MediaPlayer::StreamFactory MediaPlayer::streamsOf(platform::SoundServer& server) {
    return [&server](const AudioFormat& format, std::string* error) {
        return server.createPlayback(format, error);
    };
}

MediaError MediaPlayer::open(const std::string& path) {
    close();
    auto file = std::make_unique<MediaFile>();
    const MediaError error = file->open(path);
    const bool asf = MediaFile::isWindowsMediaName(path);
    if (error != MediaError::None) {
        if (asf) {
            diagnostic("FAILED(0x%x) pFS->Load(wFile, NULL)\n",
                       static_cast<unsigned>(file->errorCode()));
        } else {
            diagnostic("FAILED(0x%x) RenderFile(%s)\n", static_cast<unsigned>(file->errorCode()),
                       path.c_str());
        }
        qCWarning(lcPlayer).noquote() << QString::fromStdString(file->errorDetail());
        return error;
    }
    const AudioFormat format = outputFormatFor(*file);
    std::string reason;
    std::unique_ptr<platform::PlaybackStream> stream =
        m_factory ? m_factory(format, &reason) : nullptr;
    if (!stream) {
        diagnostic(asf ? "FAILED(0x%x) RenderOutputPins(pGB, pReader)\n"
                       : "FAILED(0x%x) RenderFile(audio renderer)\n",
                   0u);
        qCWarning(lcPlayer).noquote() << QString::fromStdString(reason);
        return MediaError::NoOutput;
    }
    // Nothing is heard before run().
    stream->setPaused(true);

    m_path = path;
    m_outputFormat = format;
    m_duration = file->durationMs();
    m_file = std::move(file);
    m_stream = std::move(stream);
    m_dragging = false;
    m_tapDelivered = 0;
    m_tapNext = 0;
    std::uint64_t openId = 0;
    {
        std::lock_guard lock(m_mutex);
        m_quit = false;
        m_running = false;
        m_seek.reset();
        ++m_generation;
        openId = ++m_openId;
        m_segments.assign(1, Segment{0, 0});
        m_tapChanged = true;
        for (auto& block : m_tapBlocks) {
            block.full = false;
            block.length = 0;
        }
    }
    setState(Stopped);
    applyVolume();
    m_thread = std::thread([this, openId] { Decoder(*this, openId).run(); });
    return MediaError::None;
}

void MediaPlayer::close() {
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
            m_running = false;
            ++m_openId;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    m_stream.reset();
    m_file.reset();
    m_duration = -1;
    m_dragging = false;
    {
        std::lock_guard lock(m_mutex);
        m_seek.reset();
        m_segments.assign(1, Segment{0, 0});
        for (auto& block : m_tapBlocks) {
            block.full = false;
        }
    }
    m_tapNext = 0;
    if (m_state != Stopped) {
        setState(Stopped);
    }
}

void MediaPlayer::setState(PlayState state) {
    m_state = state;
    s_processState = state;
}

MediaPlayer::PlayState MediaPlayer::processState() {
    return static_cast<PlayState>(s_processState.load());
}

bool MediaPlayer::run() {
    if (!m_stream || m_stream->failed()) {
        diagnostic("\r\n*** Failed(%08lx) in Run()!\r\n", m_stream ? kOutputFailed : kNothingOpen);
        return false;
    }
    {
        std::lock_guard lock(m_mutex);
        m_running = true;
    }
    m_wake.notify_all();
    m_stream->setPaused(false);
    setState(Running);
    applyVolume();
    if (m_endAfterPause) {
        const std::uint64_t generation = *m_endAfterPause;
        m_endAfterPause.reset();
        QCoreApplication::postEvent(this, new PlayerEvent(kEndReached, generation));
    }
    return true;
}

void MediaPlayer::pause() {
    if (m_state != Running) {
        return;
    }
    if (m_stream->failed()) {
        diagnostic("\r\n*** Failed(%08lx) in Pause()!\r\n", kOutputFailed);
    }
    {
        std::lock_guard lock(m_mutex);
        m_running = false;
    }
    m_stream->setPaused(true);
    setState(Paused);
}

void MediaPlayer::stop() {
    if (m_state == Stopped || !m_stream) {
        return;
    }
    // What is queued but not heard is thrown away; the next run decodes from the position
    // where the sound stopped.
    {
        std::lock_guard lock(m_mutex);
        const std::int64_t at = positionLocked();
        m_running = false;
        m_seek = at;
        ++m_generation;
    }
    m_stream->setPaused(true);
    m_wake.notify_all();
    setState(Stopped);
}

void MediaPlayer::toggle() {
    if (m_state == Paused) {
        run();
    } else {
        pause();
    }
}

bool MediaPlayer::startAt(std::int64_t ms) {
    pause();
    seekTo(ms);
    return run();
}

void MediaPlayer::seekTo(std::int64_t ms) {
    if (!m_stream) {
        return;
    }
    ms = std::max<std::int64_t>(ms, 0);
    if (m_duration >= 0) {
        ms = std::min(ms, m_duration);
    }
    {
        std::lock_guard lock(m_mutex);
        m_seek = ms;
        ++m_generation;
    }
    m_wake.notify_all();
}

double MediaPlayer::volumeDb(int scale) {
    // Hundredths of a decibel, in whole numbers as the volume scale always gave them.
    const int hundredths = std::clamp(scale, 0, 100) * 5000 / 100 - 5000;
    return hundredths / 100.0;
}

void MediaPlayer::setVolume(int scale) {
    m_volume = std::clamp(scale, 0, 100);
    m_muted = false;
    applyVolume();
}

void MediaPlayer::mute() {
    m_muted = true;
    applyVolume();
}

void MediaPlayer::setRepeat(bool on) {
    m_repeat = on;
}

void MediaPlayer::setPreview(bool on) {
    m_preview = on;
    applyVolume();
}

void MediaPlayer::applyVolume() {
    if (!m_stream) {
        return;
    }
    if (m_stream->failed()) {
        diagnostic("Failed in pBA->put_Volume!  hr=0x%x\r\n", static_cast<unsigned>(kOutputFailed));
        return;
    }
    if (m_muted || !m_preview) {
        m_stream->setMuted(true);
        return;
    }
    m_stream->setMuted(false);
    m_stream->setVolumeDb(volumeDb(m_volume));
}

void MediaPlayer::setTap(const AudioFormat& format, TapHandler handler) {
    m_tapHandler = std::move(handler);
    {
        std::lock_guard lock(m_mutex);
        m_tapFormat = format;
        m_tapChanged = true;
    }
    m_wake.notify_all();
}

void MediaPlayer::clearTap() {
    m_tapHandler = nullptr;
    {
        std::lock_guard lock(m_mutex);
        m_tapFormat.reset();
        m_tapChanged = true;
    }
    m_wake.notify_all();
}

std::int64_t MediaPlayer::positionLocked() const {
    if (m_seek) {
        return *m_seek;
    }
    if (!m_stream || m_segments.empty()) {
        return 0;
    }
    const std::int64_t played = m_stream->playedMicroseconds();
    auto segment = m_segments.rbegin();
    while (segment != m_segments.rend() - 1 && segment->streamUs > played) {
        ++segment;
    }
    const std::int64_t content =
        segment->contentUs + std::max<std::int64_t>(0, played - segment->streamUs);
    return content / 1000;
}

std::int64_t MediaPlayer::position() const {
    std::lock_guard lock(m_mutex);
    return positionLocked();
}

std::int64_t MediaPlayer::sliderScrolled(int position, bool endOfDrag) {
    if (!m_dragging) {
        m_dragging = true;
        m_dragState = m_state;
        pause();
    }
    std::int64_t target = this->position();
    if (m_duration >= 0) {
        target = static_cast<std::int64_t>(std::clamp(position, 0, 100)) * m_duration / 100;
        seekTo(target);
    }
    if (endOfDrag) {
        m_dragging = false;
        if (m_dragState == Running) {
            run();
        } else if (m_dragState == Stopped) {
            stop();
        }
    }
    return target;
}

std::string MediaPlayer::formatDuration(std::int64_t ms) {
    if (ms < 0) {
        return "<00:00.000>";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02lldm:%02d.%03ds", static_cast<long long>(ms / 60000),
                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
    return buffer;
}

std::string MediaPlayer::durationText(const std::string& path, std::int64_t* ms) {
    MediaFile file;
    std::int64_t length = -1;
    if (file.open(path) == MediaError::None) {
        length = file.durationMs();
    }
    if (ms != nullptr) {
        *ms = length;
    }
    return formatDuration(length);
}

bool MediaPlayer::event(QEvent* e) {
    const auto type = e->type();
    if (type == kTapReady) {
        handleTapBlocks(static_cast<PlayerEvent*>(e)->tag());
        return true;
    }
    if (type == kEndReached) {
        onEndOfStream(static_cast<PlayerEvent*>(e)->tag());
        return true;
    }
    if (type == kStreamFailed) {
        onStreamFailed(static_cast<PlayerEvent*>(e)->tag());
        return true;
    }
    return QObject::event(e);
}

void MediaPlayer::handleTapBlocks(std::uint64_t openId) {
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (openId != m_openId) {
                return;
            }
        }
        TapBlock& block = m_tapBlocks[m_tapNext];
        if (!block.full.load(std::memory_order_acquire)) {
            return;
        }
        // The handler may stop or close the player: it gets its own copy to run.
        const TapHandler handler = m_tapHandler;
        if (handler) {
            handler(block.data.data(), block.length);
            ++m_tapDelivered;
        }
        {
            std::lock_guard lock(m_mutex);
            if (openId != m_openId) {
                return;
            }
            block.full.store(false, std::memory_order_release);
        }
        m_tapNext = (m_tapNext + 1) % m_tapBlocks.size();
        m_wake.notify_all();
    }
}

void MediaPlayer::onEndOfStream(std::uint64_t generation) {
    {
        std::lock_guard lock(m_mutex);
        if (generation != m_generation) {
            return;
        }
    }
    if (m_state == Paused) {
        // Paused right at the end: the end is reported when the player runs again.
        m_endAfterPause = generation;
        return;
    }
    if (m_state != Running) {
        return;
    }
    if (m_repeat) {
        seekTo(0);
        return;
    }
    stop();
    seekTo(0);
    emit endOfStream();
}

void MediaPlayer::onStreamFailed(std::uint64_t openId) {
    {
        std::lock_guard lock(m_mutex);
        if (openId != m_openId) {
            return;
        }
        m_running = false;
    }
    qCWarning(lcPlayer) << "the sound output failed while playing"
                        << QString::fromStdString(m_path);
    setState(Stopped);
    emit failed(QStringLiteral("the sound output failed"));
}

}  // namespace orvel
