#include "playback/BackgroundMusic.h"

#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include "audio/CaptureEngine.h"
#include "playback/MediaPlayer.h"

Q_LOGGING_CATEGORY(lcBackground, "orvel.background")

namespace orvel {

BackgroundMusic::BackgroundMusic(MediaPlayer& player, QObject* parent)
    : QObject(parent), m_player(player) {}

BackgroundMusic::~BackgroundMusic() {
    stop();
}

StartResult BackgroundMusic::startRecording(const BackgroundSettings& settings,
                                            CaptureEngine& engine, std::int64_t startMs) {
    stop();
    if (!engine.mixesBackground()) {
        return StartResult::Ok;
    }
    m_settings = settings.normalised();
    m_format = engine.format();
    m_engine = &engine;
    m_playbackMode = false;
    auto refuse = [&](const char* why) {
        qCWarning(lcBackground).noquote()
            << "background music not played:" << why << QString::fromStdString(m_settings.file);
        engine.endBackground();
        m_engine = nullptr;
        return StartResult::BackgroundError;
    };
    if (m_settings.file.empty()) {
        return refuse("no file chosen");
    }
    if (m_settings.file.size() > BackgroundSettings::kFileCapacity) {
        return refuse("the file name is too long");
    }
    m_player.setPreview(m_settings.preview);
    m_player.setRepeat(m_settings.action == BackgroundSettings::Repeat);
    const std::uint64_t run = ++m_run;
    m_player.setTap(m_format, [this, run](const std::uint8_t* data, std::size_t bytes) {
        if (run == m_run) {
            onBlock(data, bytes);
        }
    });
    const MediaError opened = m_player.open(m_settings.file);
    if (opened != MediaError::None) {
        m_player.clearTap();
        return refuse(std::string(mediaErrorText(opened)).c_str());
    }
    // The mix ratio is also the volume the background is heard at.
    m_player.setVolume(m_settings.scale);
    if (!m_player.startAt(startMs)) {
        m_player.clearTap();
        m_player.close();
        return refuse("the sound output failed");
    }
    m_active = true;
    m_blocks = 0;
    m_endConnection = connect(&m_player, &MediaPlayer::endOfStream, this, &BackgroundMusic::onEnd);
    m_failConnection = connect(&m_player, &MediaPlayer::failed, this, &BackgroundMusic::onFailed);
    // A recording that ends ends its background.
    m_engineConnection = connect(&engine, &CaptureEngine::finished, this, [this] { stop(); });
    return StartResult::Ok;
}

MediaError BackgroundMusic::startPlayback(const std::string& file, const AudioFormat& tapFormat,
                                          std::int64_t startMs) {
    stop();
    m_playbackMode = true;
    m_format = tapFormat;
    m_settings = BackgroundSettings{};
    m_settings.file = file;
    m_player.setPreview(true);
    m_player.setRepeat(false);
    const std::uint64_t run = ++m_run;
    m_player.setTap(tapFormat, [this, run](const std::uint8_t* data, std::size_t bytes) {
        if (run == m_run) {
            onBlock(data, bytes);
        }
    });
    const MediaError opened = m_player.open(file);
    if (opened != MediaError::None) {
        m_player.clearTap();
        m_playbackMode = false;
        return opened;
    }
    m_player.setVolume(100);
    if (!m_player.startAt(startMs)) {
        m_player.clearTap();
        m_player.close();
        m_playbackMode = false;
        return MediaError::NoOutput;
    }
    m_active = true;
    m_blocks = 0;
    m_levels = {};
    m_signal = false;
    m_latestBlock.clear();
    m_endConnection = connect(&m_player, &MediaPlayer::endOfStream, this, &BackgroundMusic::onEnd);
    m_failConnection = connect(&m_player, &MediaPlayer::failed, this, &BackgroundMusic::onFailed);
    return MediaError::None;
}

void BackgroundMusic::disconnectPlayer() {
    disconnect(m_endConnection);
    disconnect(m_failConnection);
    disconnect(m_engineConnection);
}

void BackgroundMusic::stop() {
    if (!m_active) {
        return;
    }
    m_active = false;
    ++m_run;
    disconnectPlayer();
    m_player.stop();
    m_player.clearTap();
    m_player.setRepeat(false);
    if (m_engine != nullptr) {
        m_engine->endBackground();
        m_engine = nullptr;
    }
}

void BackgroundMusic::pause() {
    if (m_active) {
        m_player.pause();
    }
}

void BackgroundMusic::resume() {
    if (m_active && m_player.state() == MediaPlayer::Paused) {
        m_player.run();
    }
}

bool BackgroundMusic::waitForFirstBlock(std::chrono::milliseconds timeout) {
    if (m_blocks > 0 || !m_active) {
        return m_blocks > 0;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &BackgroundMusic::firstBlock, &loop, &QEventLoop::quit);
    timer.start(timeout);
    loop.exec();
    return m_blocks > 0;
}

void BackgroundMusic::onBlock(const std::uint8_t* data, std::size_t bytes) {
    if (!m_active) {
        return;
    }
    if (m_playbackMode) {
        m_latestBlock.assign(data, data + bytes);
        m_signal = m_detector.detect(m_latestBlock.data(), m_latestBlock.size(), m_format);
        m_levels = {m_detector.leftAverage(), m_detector.rightAverage(), m_detector.strongSignal()};
    } else if (m_engine != nullptr) {
        m_engine->queueBackground(data, bytes);
    }
    if (++m_blocks == 1) {
        emit firstBlock();
    }
}

void BackgroundMusic::onEnd() {
    if (!m_active) {
        return;
    }
    const bool playback = m_playbackMode;
    const int action = m_settings.action;
    stop();
    if (playback) {
        emit playbackFinished();
    } else if (action == BackgroundSettings::StopRecording) {
        emit stopRecordingRequested();
    } else {
        emit backgroundEnded();
    }
}

void BackgroundMusic::onFailed(const QString& reason) {
    if (!m_active) {
        return;
    }
    qCWarning(lcBackground) << "background music ended:" << reason;
    const bool playback = m_playbackMode;
    stop();
    if (playback) {
        emit playbackFinished();
    } else {
        emit backgroundEnded();
    }
}

}  // namespace orvel
