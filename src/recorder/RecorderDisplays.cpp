#include "recorder/RecorderDisplays.h"

#include "audio/CaptureEngine.h"
#include "playback/BackgroundMusic.h"
#include "recorder/DisplayTexts.h"
#include "recorder/PlaybackPosition.h"
#include "recorder/RecordedTime.h"
#include "recorder/RecorderView.h"

namespace orvel {

RecorderDisplays::RecorderDisplays(RecorderView& view, const CaptureEngine& engine,
                                   const BackgroundMusic& background, RecordedTime& time,
                                   const PlaybackPosition& playback)
    : m_view(view),
      m_engine(engine),
      m_background(background),
      m_time(time),
      m_playback(playback) {}

void RecorderDisplays::showTimes(bool playing) {
    m_view.showTimes(display::recordingText(m_engine.bytesWritten(), m_time.seconds()),
                     display::playbackText(m_playback.positionMs(playing), m_playback.lengthMs()),
                     m_playback.slider());
}

void RecorderDisplays::tick(bool recording, bool paused, bool signalMode, const AudioFormat& idle) {
    m_half = !m_half;
    if (m_half) {
        const bool waiting = signalMode && !m_engine.signalPresent();
        if (m_time.tick(paused, recording && waiting)) {
            showTimes(!recording);
        }
    }
    LevelFrame frame;
    if (recording) {
        const CaptureEngine::Levels levels = m_engine.levels();
        const std::vector<std::uint8_t>& block = m_engine.latestBlock();
        frame = m_levels.tick(levels.left, levels.right, m_engine.format(),
                              block.empty() ? nullptr : block.data(), block.size(),
                              m_engine.signalPresent());
    } else {
        const BackgroundMusic::Levels levels = m_background.levels();
        const std::vector<std::uint8_t>& block = m_background.latestBlock();
        frame =
            m_levels.tick(levels.left, levels.right, idle, block.empty() ? nullptr : block.data(),
                          block.size(), m_background.signalPresent());
    }
    m_view.showLevels(frame);
}

void RecorderDisplays::showClock(const QDateTime& now) {
    const QTime time = now.time();
    m_view.showClock(display::clockText(time.hour(), time.minute(), time.second()));
}

}  // namespace orvel
