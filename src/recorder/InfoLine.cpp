#include "recorder/InfoLine.h"

#include "recorder/RecorderView.h"

namespace orvel {

InfoLine::Kept::Kept(InfoLine& info, bool keep) : m_info(keep ? &info : nullptr) {
    if (m_info != nullptr) {
        m_line1 = info.m_line1;
        m_line2 = info.m_line2;
    }
}

InfoLine::Kept::~Kept() {
    if (m_info != nullptr) {
        m_info->show(m_line1, m_line2);
    }
}

InfoLine::InfoLine(RecorderView& view, const LanguageTable& language)
    : m_view(view), m_language(language) {}

void InfoLine::load() {
    m_waiting = m_language.OwnMessage(kWaitingKey, kCapacity).line1;
    if (m_waiting.empty()) {
        m_waiting = kRecordingText;  // a translation that leaves the first line empty
    }
}

void InfoLine::show(const std::string& line1, const std::string& line2) {
    m_line1 = line1;
    m_line2 = line2;
    m_view.showInfo(m_line1, m_line2);
}

void InfoLine::message(std::string_view key) {
    const LanguageTable::MessageLines text = lines(key);
    show(text.line1, text.line2);
}

LanguageTable::MessageLines InfoLine::lines(std::string_view key) const {
    return m_language.Message(key, kCapacity);
}

const std::string& InfoLine::recordingText(bool waiting) const {
    return waiting ? m_waiting : m_recording;
}

void InfoLine::follow(Sound sound) {
    if (m_line1 != m_recording && m_line1 != m_waiting) {
        return;  // a message stays until something else replaces it
    }
    switch (sound) {
        case Sound::Heard:
        case Sound::Awaited: {
            const std::string& text = recordingText(sound == Sound::Awaited);
            if (m_line1 != text) {
                show(text, m_line2);
            }
            break;
        }
        case Sound::Over:
            if (m_line1 == m_waiting) {
                show(kReadyText, "");
            }
            break;
        case Sound::Unchanged:
            break;
    }
}

}  // namespace orvel
