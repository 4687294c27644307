#include "recorder/RecorderParts.h"

#include "encoders/LameLibrary.h"

namespace orvel {

RecorderParts::RecorderParts(platform::SoundServer& server, const SettingsStore& settings)
    : m_server(server),
      m_settings(settings),
      m_devices(server),
      m_mixer(server, m_devices),
      m_player(MediaPlayer::streamsOf(server)),
      m_background(m_player) {
    m_language.Load(LanguageTable::LanguageFolder(settings), settings.readLanguage());
}

RecorderServices RecorderParts::services() {
    return RecorderServices{m_server,     m_devices,  m_mixer,    m_engine,  m_player,
                            m_background, m_settings, m_language, m_viewers, LameLibrary::shared(),
                            m_clock,      m_ticks,    {}};
}

}  // namespace orvel
