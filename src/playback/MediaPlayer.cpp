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
#include "playback/PlayerDecoder.h"

Q_LOGGING_CATEGORY(lcPlayer, "orvel.player")

namespace orvel {

std::atomic<int> MediaPlayer::s_processState{MediaPlayer::Stopped};

namespace {

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

}  // namespace

MediaPlayer::MediaPlayer(StreamFactory factory, QObject* parent)
    : QObject(parent), m_factory(std::move(factory)) {}

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
        std::lock_guard lock(m_shared.mutex);
        m_shared.quit = false;
        m_shared.running = false;
        m_shared.seek.reset();
        ++m_shared.generation;
        openId = ++m_shared.openId;
        m_shared.segments.assign(1, PlayerShared::Segment{0, 0});
        m_shared.tapChanged = true;
        for (auto& block : m_shared.tapBlocks) {
            block.full = false;
            block.length = 0;
        }
    }
    setState(Stopped);
    applyVolume();
    PlayerDecoder::Events events;
    events.tapReady = [this](std::uint64_t id) {
        QCoreApplication::postEvent(this, new PlayerEvent(kTapReady, id));
    };
    events.endReached = [this](std::uint64_t generation) {
        QCoreApplication::postEvent(this, new PlayerEvent(kEndReached, generation));
    };
    events.streamFailed = [this](std::uint64_t id) {
        QCoreApplication::postEvent(this, new PlayerEvent(kStreamFailed, id));
    };
    m_thread = std::thread([this, openId, events = std::move(events)]() mutable {
        PlayerDecoder(m_shared, *m_file, *m_stream, m_outputFormat, openId, std::move(events))
            .run();
    });
    return MediaError::None;
}

void MediaPlayer::close() {
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_shared.mutex);
            m_shared.quit = true;
            m_shared.running = false;
            ++m_shared.openId;
        }
        m_shared.wake.notify_all();
        m_thread.join();
    }
    m_stream.reset();
    m_file.reset();
    m_duration = -1;
    m_dragging = false;
    {
        std::lock_guard lock(m_shared.mutex);
        m_shared.seek.reset();
        m_shared.segments.assign(1, PlayerShared::Segment{0, 0});
        for (auto& block : m_shared.tapBlocks) {
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
        std::lock_guard lock(m_shared.mutex);
        m_shared.running = true;
    }
    m_shared.wake.notify_all();
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
        std::lock_guard lock(m_shared.mutex);
        m_shared.running = false;
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
        std::lock_guard lock(m_shared.mutex);
        const std::int64_t at = positionLocked();
        m_shared.running = false;
        m_shared.seek = at;
        ++m_shared.generation;
    }
    m_stream->setPaused(true);
    m_shared.wake.notify_all();
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
        std::lock_guard lock(m_shared.mutex);
        m_shared.seek = ms;
        ++m_shared.generation;
    }
    m_shared.wake.notify_all();
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
    m_shared.repeat = on;
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
        std::lock_guard lock(m_shared.mutex);
        m_shared.tapFormat = format;
        m_shared.tapChanged = true;
    }
    m_shared.wake.notify_all();
}

void MediaPlayer::clearTap() {
    m_tapHandler = nullptr;
    {
        std::lock_guard lock(m_shared.mutex);
        m_shared.tapFormat.reset();
        m_shared.tapChanged = true;
    }
    m_shared.wake.notify_all();
}

std::int64_t MediaPlayer::positionLocked() const {
    if (m_shared.seek) {
        return *m_shared.seek;
    }
    if (!m_stream || m_shared.segments.empty()) {
        return 0;
    }
    const std::int64_t played = m_stream->playedMicroseconds();
    auto segment = m_shared.segments.rbegin();
    while (segment != m_shared.segments.rend() - 1 && segment->streamUs > played) {
        ++segment;
    }
    const std::int64_t content =
        segment->contentUs + std::max<std::int64_t>(0, played - segment->streamUs);
    return content / 1000;
}

std::int64_t MediaPlayer::position() const {
    std::lock_guard lock(m_shared.mutex);
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
            std::lock_guard lock(m_shared.mutex);
            if (openId != m_shared.openId) {
                return;
            }
        }
        PlayerShared::TapBlock& block = m_shared.tapBlocks[m_tapNext];
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
            std::lock_guard lock(m_shared.mutex);
            if (openId != m_shared.openId) {
                return;
            }
            block.full.store(false, std::memory_order_release);
        }
        m_tapNext = (m_tapNext + 1) % m_shared.tapBlocks.size();
        m_shared.wake.notify_all();
    }
}

void MediaPlayer::onEndOfStream(std::uint64_t generation) {
    {
        std::lock_guard lock(m_shared.mutex);
        if (generation != m_shared.generation) {
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
    if (m_shared.repeat) {
        seekTo(0);
        return;
    }
    stop();
    seekTo(0);
    emit endOfStream();
}

void MediaPlayer::onStreamFailed(std::uint64_t openId) {
    {
        std::lock_guard lock(m_shared.mutex);
        if (openId != m_shared.openId) {
            return;
        }
        m_shared.running = false;
    }
    qCWarning(lcPlayer) << "the sound output failed while playing"
                        << QString::fromStdString(m_path);
    setState(Stopped);
    emit failed(QStringLiteral("the sound output failed"));
}

}  // namespace orvel
