#include "recorder/PlaybackPosition.h"

#include <algorithm>

#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "playback/BackgroundSettings.h"
#include "playback/MediaPlayer.h"
#include "recorder/OutputNaming.h"

namespace orvel {

PlaybackPosition::PlaybackPosition(MediaPlayer& player, const SettingsStore& settings,
                                   const OutputNaming& naming)
    : m_player(player), m_settings(settings), m_naming(naming) {}

bool PlaybackPosition::chooseSource(int source) {
    if (source < 0 || source > 2) {
        return false;
    }
    m_source = source;
    MediaPlayer::durationText(file(), &m_durationMs);
    return true;
}

std::string PlaybackPosition::file() const {
    switch (m_source) {
        case 1:
            return BackgroundSettings::fromStore(m_settings).file;
        case 2:
            return m_settings.readText(setting::kPlayFile);
        default:
            return m_naming.fieldText();
    }
}

std::int64_t PlaybackPosition::start(const std::string& file) {
    m_divider = 0;
    MediaPlayer::durationText(file, &m_durationMs);
    return m_durationMs > 0 ? m_durationMs * m_slider / 100 : 0;
}

bool PlaybackPosition::follow() {
    m_divider = (m_divider + 1) % kFollowTicks;
    if (m_divider != 0 || m_player.dragging() || m_durationMs <= 0) {
        return false;
    }
    m_slider = static_cast<int>(
        std::clamp<std::int64_t>(m_player.position() * 100 / m_durationMs, 0, 100));
    return true;
}

void PlaybackPosition::slide(int position, bool endOfDrag, bool playing) {
    if (m_durationMs < 0) {
        MediaPlayer::durationText(file(), &m_durationMs);
    }
    if (m_durationMs <= 0) {
        m_slider = 0;  // nothing to seek in: the thumb goes back to the start
        return;
    }
    m_slider = std::clamp(position, 0, 100);
    if (playing) {
        m_player.sliderScrolled(m_slider, endOfDrag);
    }
}

void PlaybackPosition::reset() {
    m_source = 0;
    m_slider = 0;
}

std::int64_t PlaybackPosition::positionMs(bool playing) const {
    return playing ? m_player.position() : (m_durationMs * m_slider) / 100;
}

}  // namespace orvel
